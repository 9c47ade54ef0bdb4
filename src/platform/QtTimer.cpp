#include "platform/QtTimer.h"

QtTimer::QtTimer() {
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { Tick(); });
}

// QTimer itself restarts an active timer when its interval is set, as the contract wants.
void QtTimer::SetInterval(int milliseconds) { timer_.setInterval(pinned_ > 0 ? pinned_ : milliseconds); }

void QtTimer::Pin(int milliseconds) {
  pinned_ = milliseconds;
  timer_.setInterval(milliseconds);
}

int QtTimer::Interval() const { return timer_.interval(); }

void QtTimer::SetEnabled(bool enabled) {
  // QTimer::start() would restart a running timer; enabling one must not.
  if (enabled && !timer_.isActive()) {
    timer_.start();
  } else if (!enabled) {
    timer_.stop();
  }
}

bool QtTimer::Enabled() const { return timer_.isActive(); }
