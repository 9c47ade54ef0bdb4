#pragma once

#include <functional>

// One timer of the window. A single semantics for every implementation:
// - enabling a timer that already runs does not restart its period;
// - changing the interval of a running timer restarts the period with the new interval;
// - changing the interval of a stopped timer only stores it.
class Timer {
 public:
  virtual ~Timer() = default;

  virtual void SetInterval(int milliseconds) = 0;
  virtual int Interval() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;

  void SetTickHandler(std::function<void()> handler) { onTick_ = std::move(handler); }

 protected:
  void Tick() {
    if (onTick_) onTick_();
  }

 private:
  std::function<void()> onTick_;
};

// The window's four timers: repeat, reply time-out, settings frame, display clearing.
struct Timers {
  Timer& Timer1;
  Timer& Timer2;
  Timer& Timer3;
  Timer& Timer4;
};
