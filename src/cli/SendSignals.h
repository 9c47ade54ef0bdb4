#pragma once

#include <QSocketNotifier>
#include <functional>
#include <memory>

// SIGINT, SIGTERM and SIGHUP during a run of --send: the first is noted and `onSignal` runs on
// the event loop, so the run can stop between two steps, close its port and say what it had
// done; a second one ends the process by its default action, so a stuck run can still be
// stopped. A signal ignored when the program started (nohup) stays ignored.
//
// SIGPIPE is ignored for as long as this lives: a closed standard output becomes a failed write
// the run reports, not a death that leaves the port's lock file behind.
//
// One instance at a time: the handlers are process-wide.
class SendSignals {
 public:
  explicit SendSignals(std::function<void()> onSignal);
  ~SendSignals();
  SendSignals(const SendSignals&) = delete;
  SendSignals& operator=(const SendSignals&) = delete;

  // The signal caught, or 0.
  int Caught() const;

 private:
  std::function<void()> onSignal_;
  int fds_[2] = {-1, -1};  // [0] read on the event loop, [1] written by the handler
  std::unique_ptr<QSocketNotifier> notifier_;
};

// "SIGTERM" for SIGTERM and the others caught here.
const char* SignalName(int signal);
