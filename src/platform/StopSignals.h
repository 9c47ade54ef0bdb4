#pragma once

#include <QSocketNotifier>
#include <csignal>
#include <functional>
#include <memory>

// SIGTERM, SIGINT and SIGHUP (a service manager, Ctrl+C in the starting terminal, a logout): the
// first becomes one call of `onSignal` on the event loop, where the port can be closed properly
// and the run can say what it had done; a second one while that is under way ends the process at
// once by the signal's own default action, so a hung ending can still be stopped. A signal
// ignored when the program started (nohup, a background job) stays ignored.
//
// One instance at a time: the handlers are process-wide.
class StopSignals {
 public:
  explicit StopSignals(std::function<void()> onSignal);
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // The signal caught, or 0.
  int Caught() const;

 private:
  std::function<void()> onSignal_;
  int fds_[2] = {-1, -1};  // [0] read on the event loop, [1] written by the handler
  std::unique_ptr<QSocketNotifier> notifier_;
};

// While one lives, SIGPIPE is ignored: a closed standard output becomes a failed write the run
// reports, not a death that leaves the port's lock file behind.
class NoPipeSignal {
 public:
  NoPipeSignal();
  ~NoPipeSignal();
  NoPipeSignal(const NoPipeSignal&) = delete;
  NoPipeSignal& operator=(const NoPipeSignal&) = delete;

 private:
  struct sigaction before_ {};
};

// "SIGTERM" for SIGTERM and the others caught here.
const char* SignalName(int signal);
