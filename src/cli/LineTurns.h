#pragma once

#include <deque>
#include <functional>

// The runs of every hand on one holder's line (scripts, PJLink clients), one whole run at a time,
// in the order they were asked for. A run waits for its replies in a nested event loop, where
// other hands come and ask: they wait, and are taken once the run before them is over.
class LineTurns {
 public:
  void Ask(std::function<void()> run) {
    waiting_.push_back(std::move(run));
    if (running_) return;
    running_ = true;
    while (!waiting_.empty()) {
      const std::function<void()> next = std::move(waiting_.front());
      waiting_.pop_front();
      next();
    }
    running_ = false;
  }
  bool Busy() const { return running_; }

 private:
  std::deque<std::function<void()>> waiting_;
  bool running_ = false;
};
