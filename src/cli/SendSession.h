#pragma once

#include <QEventLoop>
#include <QTimer>
#include <functional>
#include <optional>
#include <string>

#include "cli/ConsoleWindow.h"
#include "cli/ReplyGate.h"
#include "cli/SendReport.h"
#include "cli/SendRequest.h"
#include "panel/Form1.h"
#include "platform/QtTimer.h"

class Fiber;

// The panel's core on a real port and real timers, driven one command at a time instead of by
// clicks. Needs a QCoreApplication; each exchange runs the event loop until it is over.
class SendSession {
 public:
  // `port` is the chosen device's link; bytes that answer no command go to `onLate`.
  SendSession(SerialLink& port, std::function<void(const LateBytes&)> onLate);
  SendSession(const SendSession&) = delete;
  SendSession& operator=(const SendSession&) = delete;
  ~SendSession();

  // Chooses the port, the speed and the address, opens the port and lets the line settle; the
  // reason when it could not be opened.
  std::optional<std::string> Start(const SendRequest& request);

  struct Outcome {
    enum class End {
      Over,         // the reply is complete, cut, or its wait is over; a broadcast has left
      NotSent,      // the frame could not be written: `why`, and `lost` if the device went away
      Lost,         // the device went away during the wait
      Unsent,       // a broadcast's frame was still waiting to leave when its window ended
      Failed,       // the link reported a failure during the wait: `why`
      Interrupted,  // Interrupt() ended the wait, or came before the frame was written
    };
    End end = End::Over;
    bool written = false;
    SentCommand sent;  // what was sent and what came, when written
    std::string why;
    bool lost = false;
  };
  // Sends `command` (the text for the line; `given` is how the operator wrote it) as the panel
  // would and waits until its reply is complete or its wait is over.
  Outcome Ask(const std::string& given, const std::string& command);

  // At the end of a run: waits for replies still owed (reporting them as late), at most `ms` or
  // the longest reply window a sender sets if that is longer, so that they do not meet the next
  // run; then reports whatever else came.
  void Finish(int ms);

  // Tells `observer` of the traffic of every exchange.
  void AddObserver(TrafficObserver& observer) { form_.exchange.AddObserver(observer); }

  // Ends the wait in progress and any later one at once: the run is being stopped.
  void Interrupt();

 private:
  void Transmit(const std::string& command);
  void Watch();
  void Poll();
  // Runs the event loop until `done` holds (checked after every core event and every few ms).
  void WaitUntil(const std::function<bool()>& done);

  QtTimer timer1_, timer2_, timer3_, timer4_;
  SerialLink& port_;
  ReplyGate gate_;
  ConsoleWindow window_;
  Form1 form_;
  bool broadcast_ = false;
  std::optional<int> timeoutMs_;
  bool interrupted_ = false;
  const HoldButton* held_ = nullptr;  // pressed by the command in progress, released after its wait

  // The wait in progress.
  QEventLoop* loop_ = nullptr;
  Fiber* fiber_ = nullptr;  // waiting in a fiber instead of a nested loop
  bool waiting_ = false;
  std::function<bool()> done_;
  std::string reply_;  // the receive buffer as the last event left it
};
