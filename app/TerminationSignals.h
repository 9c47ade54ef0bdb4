#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <functional>

// SIGTERM, SIGINT and SIGHUP (a logout, Ctrl+C in the starting terminal, a service manager)
// become one call of `onSignal` on the event loop, where the port can be closed properly. A
// second signal while that is under way ends the process at once, by the signal's own default
// action, so a hung ending can still be stopped. A signal ignored when the program started
// (nohup, a background job) stays ignored.
//
// One instance at a time: the signal handlers are process-wide.
class TerminationSignals : public QObject {
  Q_OBJECT

 public:
  explicit TerminationSignals(std::function<void()> onSignal, QObject* parent = nullptr);
  ~TerminationSignals() override;
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

 private:
  void OnReadable();

  std::function<void()> onSignal_;
  int fds_[2] = {-1, -1};  // [0] read by the event loop, [1] written by the handler
  QSocketNotifier* notifier_ = nullptr;
};
