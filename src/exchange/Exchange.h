#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "controller/ControllerState.h"
#include "controller/PanelView.h"
#include "controller/SerialLink.h"
#include "controller/Timer.h"
#include "exchange/ReceiveLine.h"

// The command exchange: every frame goes out through Hyouji in mode 1, every received text is
// shown and decoded through Hyouji in mode 2, and Timer2/Timer4 bound each exchange.
class Exchange {
 public:
  static constexpr std::uint8_t kTransmit = 1;
  static constexpr std::uint8_t kReceived = 2;
  // The most the receive buffer keeps; the monitor could never show more. A device that babbles
  // while no reply window is open would otherwise grow it without end.
  static constexpr std::size_t kRxBufferLimit = 32767;

  Exchange(ControllerState& state, SerialLink& link, Timers timers, PanelState& panel)
      : state_(state), link_(link), timers_(timers), panel_(panel) {}

  // The transmit path's common end: TxFrame := prefix + command + CR, then Hyouji in mode 1.
  // The sender sets its intervals before this call.
  void Send(const std::string& command);

  // Mode 1 writes the frame and shows it on the "TXD" line; any other mode shows the rendered
  // text on the "RXD" line and decodes it. For the receive buffer itself only the characters
  // added since the last call are rendered.
  void Hyouji(const std::string& text, const std::uint8_t& mode);

  void MSComm1_OnComm();
  void Timer2_Timer();
  void Timer4_Timer();

 private:
  static constexpr std::size_t kNotFollowing = static_cast<std::size_t>(-1);

  void ShowReceiveBuffer();
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
};
