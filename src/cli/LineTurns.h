#pragma once

#include <QObject>
#include <QTimer>
#include <deque>
#include <functional>

// The runs of every hand on one holder's line (scripts, PJLink clients), one whole run at a time,
// in the order they were asked for. A run waits for its replies in a nested event loop, where
// other hands come and ask: they wait, and are taken once the run before them is over. Each run
// starts from the event loop itself, never inside the signal of the socket that asked: a run's
// nested loop may delete another hand's socket, which must not be on the stack then.
class LineTurns {
 public:
  void Ask(std::function<void()> run) {
    waiting_.push_back(std::move(run));
    Schedule();
  }
  bool Busy() const { return running_ || !waiting_.empty(); }

 private:
  void Schedule() {
    if (running_ || scheduled_ || waiting_.empty()) return;
    scheduled_ = true;
    QTimer::singleShot(0, &context_, [this] {
      scheduled_ = false;
      const std::function<void()> next = std::move(waiting_.front());
      waiting_.pop_front();
      running_ = true;
      next();
      running_ = false;
      Schedule();
    });
  }

  QObject context_;  // no run starts once the turns are gone
  std::deque<std::function<void()>> waiting_;
  bool running_ = false;
  bool scheduled_ = false;
};
