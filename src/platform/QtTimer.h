#pragma once

#include <QTimer>

#include "controller/Timer.h"

// A window timer on a QTimer. Precise, because a coarse 105 ms timer fires every 100 ms.
class QtTimer : public Timer {
 public:
  QtTimer();

  void SetInterval(int milliseconds) override;
  int Interval() const override;
  void SetEnabled(bool enabled) override;
  bool Enabled() const override;

  // From now on every interval set is `milliseconds`: an interval the operator chose outlasts
  // the ones the buttons set.
  void Pin(int milliseconds);

 private:
  QTimer timer_;
  int pinned_ = 0;  // 0: not pinned
};
