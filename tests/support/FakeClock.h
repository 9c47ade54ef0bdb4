#pragma once

#include <vector>

#include "controller/Timer.h"

class FakeTimer;

// Virtual time in milliseconds. Advance fires every tick that falls due on the way, in time
// order; ticks due at the same instant fire in the order the timers were created.
class FakeClock {
 public:
  long long Now() const { return now_; }
  void Advance(long long milliseconds);

 private:
  friend class FakeTimer;
  long long now_ = 0;
  std::vector<FakeTimer*> timers_;
};

class FakeTimer : public Timer {
 public:
  explicit FakeTimer(FakeClock& clock);
  ~FakeTimer() override;

  void SetInterval(int milliseconds) override;
  int Interval() const override { return interval_; }
  void SetEnabled(bool enabled) override;
  bool Enabled() const override { return enabled_; }

  int Ticks() const { return ticks_; }

 private:
  friend class FakeClock;
  FakeClock& clock_;
  int interval_ = 0;
  bool enabled_ = false;
  long long due_ = 0;
  int ticks_ = 0;
};
