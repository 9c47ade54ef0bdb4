#include "FakeClock.h"

#include <algorithm>

void FakeClock::Advance(long long milliseconds) {
  const long long target = now_ + milliseconds;
  for (;;) {
    FakeTimer* next = nullptr;
    for (FakeTimer* timer : timers_) {
      if (!timer->enabled_ || timer->interval_ <= 0 || timer->due_ > target) continue;
      if (next == nullptr || timer->due_ < next->due_) next = timer;
    }
    if (next == nullptr) break;
    now_ = next->due_;
    next->due_ += next->interval_;
    ++next->ticks_;
    next->Tick();
  }
  now_ = target;
}

FakeTimer::FakeTimer(FakeClock& clock) : clock_(clock) { clock_.timers_.push_back(this); }

FakeTimer::~FakeTimer() { std::erase(clock_.timers_, this); }

void FakeTimer::SetInterval(int milliseconds) {
  interval_ = milliseconds;
  if (enabled_) due_ = clock_.now_ + interval_;
}

void FakeTimer::SetEnabled(bool enabled) {
  if (enabled && !enabled_) due_ = clock_.now_ + interval_;
  enabled_ = enabled;
}
