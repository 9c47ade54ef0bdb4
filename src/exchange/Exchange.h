#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "controller/ControllerState.h"
#include "controller/PanelView.h"
#include "controller/SerialLink.h"
#include "controller/Timer.h"
#include "controller/TrafficObserver.h"
#include "exchange/ReceiveLine.h"
#include "exchange/ReplyDecoders.h"

// The command exchange: every frame goes out through Hyouji in mode 1, every received text is
// shown and decoded through Hyouji in mode 2, and Timer2/Timer4 bound each exchange.
class Exchange {
 public:
  static constexpr std::uint8_t kTransmit = 1;
  static constexpr std::uint8_t kReceived = 2;
  // The most the receive buffer keeps; the monitor could never show more. A device that babbles
  // while no reply window is open would otherwise grow it without end.
  static constexpr std::size_t kRxBufferLimit = 32767;
  // Follows the "STATUS" text of a reply that came after its window had ended.
  static constexpr const char* kLateMark = " (late)";

  Exchange(ControllerState& state, SerialLink& link, Timers timers, PanelState& panel)
      : state_(state), link_(link), timers_(timers), panel_(panel) {}

  // The transmit path's common end: TxFrame := prefix + command + CR, then Hyouji in mode 1.
  // The sender sets its intervals before this call.
  void Send(const std::string& command);

  // Mode 1 writes the frame and shows it on the "TXD" line; any other mode shows the rendered
  // text on the "RXD" line and decodes it. For the receive buffer itself only the characters
  // added since the last call are rendered.
  void Hyouji(const std::string& text, const std::uint8_t& mode);

  // What the answer to a command looks like: who knows the buttons tells, so that a reply still
  // owed by one frame is told from the next frame's own.
  void SetShapeOf(std::function<ReplyShape(std::string_view command)> shapeOf) { shapeOf_ = std::move(shapeOf); }

  // Tells `observer` of every exchange from now on; it must outlive this exchange.
  void AddObserver(TrafficObserver& observer) { observers_.push_back(&observer); }

  void MSComm1_OnComm();
  // Timer2's tick: the reply window has run out. Timer2_Timer is the window's end, also when a
  // caller ends it early.
  void ReplyWindowElapsed();
  void Timer2_Timer();
  void Timer4_Timer();

 private:
  static constexpr std::size_t kNotFollowing = static_cast<std::size_t>(-1);

  // The frame before the one that went out now had its reply window open and its reply not
  // whole: what comes next may still be the rest of it.
  struct Owed {
    std::string command;
    ReplyShape shape;
    bool started = false;  // part of it came before the new frame: the rest, up to CR, is its
    std::string line;      // not started: what came so far, to be told apart at its CR
  };

  // Closes the reply of the frame before `frame`, so that the new one starts empty.
  void FinishPreviousReply(const std::string& frame);
  // Takes from `input` what belongs to the owed reply and books it as late; returns the rest.
  std::string SortOwed(std::string input);
  void BookLate(std::string_view bytes);
  // The owed reply will not be told apart any more (a newer frame is owed, or its window ended).
  void GiveUpOwed();
  void ShowReceiveBuffer();
  // Tells the observers what the receive event that added the buffer's bytes from `from` on,
  // rendered on the line from `lineFrom` on, brought.
  void TellReceived(std::size_t from, std::size_t lineFrom);
  void RestartReceiveLine();
  // Brings a monitor line to `line`. While it still holds what this exchange left there, the
  // line's first `followed` characters, only the rest is appended.
  static void Follow(std::string& label, std::size_t& followed, const std::string& line);

  ControllerState& state_;
  SerialLink& link_;
  Timers timers_;
  PanelState& panel_;
  ReceiveLine rxLine_;
  std::size_t label12Followed_ = kNotFollowing;
  std::size_t label22Followed_ = kNotFollowing;
  std::vector<TrafficObserver*> observers_;
  std::function<ReplyShape(std::string_view)> shapeOf_;
  std::optional<Owed> owed_;
  std::string lastFrame_;
  std::string lastCommand_;
  std::size_t replyFrom_ = 0;       // where the reply to the last frame starts in the buffer
  bool windowEnded_ = false;        // the last frame's reply window is over: what comes is late
  StatusWrite statusWrite_ = StatusWrite::Kept;  // what the last decoding did to "STATUS"
};
