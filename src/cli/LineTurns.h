#pragma once

#include <deque>
#include <functional>

#include "cli/Fiber.h"

// One held line, lent to one hand's exchange at a time (a frame and its reply window, or a
// step of a hold), in the order the hands asked. Each hand's run is a fiber of its own (see
// Fiber): between two of its exchanges it gives the line back and asks again, so several runs go
// forward side by side, an exchange each in turn, and every reply reaches the hand that asked.
class LineTurns {
 public:
  // Waits until the line is this hand's, after every hand that asked before; then `onTake`.
  void Take() {
    Fiber* me = Fiber::Current();
    waiting_.push_back(me);
    Fiber::WaitUntil([this, me] { return !taken_ && waiting_.front() == me; });
    waiting_.pop_front();
    taken_ = true;
    if (onTake) onTake();
  }
  // `onGive`, then the line goes to the next hand waiting.
  void Give() {
    if (onGive) onGive();
    taken_ = false;
    if (!waiting_.empty() && waiting_.front() != nullptr) waiting_.front()->Wake();
  }

  // What the holder does as a hand takes its line and gives it back: the window lends its line
  // once its own exchange is over, and takes it back.
  std::function<void()> onTake;
  std::function<void()> onGive;

 private:
  std::deque<Fiber*> waiting_;  // none stands for a hand on the event loop's own stack
  bool taken_ = false;
};
