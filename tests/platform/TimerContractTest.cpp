// One contract for every timer the core runs on: the fake clock of the core tests and the
// QTimer adapter of the program.
#include <gtest/gtest.h>

#include <QTest>

#include "FakeClock.h"
#include "platform/QtTimer.h"

namespace {

struct FakeTimerDriver {
  FakeClock clock;
  FakeTimer timer{clock};
  void Wait(int milliseconds) { clock.Advance(milliseconds); }
};

// Real time, with margins of at least 100 ms around every expected tick.
struct QtTimerDriver {
  QtTimer timer;
  void Wait(int milliseconds) { QTest::qWait(milliseconds); }
};

template <typename Driver>
class TimerContract : public ::testing::Test {
 protected:
  TimerContract() {
    driver.timer.SetTickHandler([this] { ++ticks; });
  }
  Timer& timer() { return driver.timer; }
  void Wait(int milliseconds) { driver.Wait(milliseconds); }
  Driver driver;
  int ticks = 0;
};

using Drivers = ::testing::Types<FakeTimerDriver, QtTimerDriver>;
TYPED_TEST_SUITE(TimerContract, Drivers);

TYPED_TEST(TimerContract, TicksOnceEveryIntervalWhileEnabled) {
  this->timer().SetInterval(300);
  this->timer().SetEnabled(true);
  this->Wait(1050);  // due at 300, 600, 900
  EXPECT_EQ(this->ticks, 3);
  EXPECT_TRUE(this->timer().Enabled());
}

TYPED_TEST(TimerContract, EnablingARunningTimerDoesNotRestartItsPeriod) {
  this->timer().SetInterval(400);
  this->timer().SetEnabled(true);
  this->Wait(200);
  this->timer().SetEnabled(true);
  this->Wait(300);  // at 500: ticked at 400; a restart would have moved it to 600
  EXPECT_EQ(this->ticks, 1);
}

TYPED_TEST(TimerContract, SettingTheIntervalOfARunningTimerRestartsItsPeriod) {
  this->timer().SetInterval(400);
  this->timer().SetEnabled(true);
  this->Wait(300);
  this->timer().SetInterval(400);
  this->Wait(200);  // at 500: the old period would have ticked at 400
  EXPECT_EQ(this->ticks, 0);
  this->Wait(300);  // at 800: the new period ticked at 700
  EXPECT_EQ(this->ticks, 1);
}

TYPED_TEST(TimerContract, SettingTheIntervalOfAStoppedTimerOnlyStoresIt) {
  this->timer().SetInterval(400);
  this->timer().SetInterval(200);
  this->Wait(300);
  EXPECT_EQ(this->ticks, 0);
  EXPECT_FALSE(this->timer().Enabled());
  EXPECT_EQ(this->timer().Interval(), 200);
  this->timer().SetEnabled(true);
  this->Wait(300);
  EXPECT_EQ(this->ticks, 1);
}

TYPED_TEST(TimerContract, ATimerThatStopsItselfTicksOnce) {
  this->timer().SetTickHandler([this] {
    ++this->ticks;
    this->timer().SetEnabled(false);
  });
  this->timer().SetInterval(200);
  this->timer().SetEnabled(true);
  this->Wait(900);
  EXPECT_EQ(this->ticks, 1);
  EXPECT_FALSE(this->timer().Enabled());
}

}  // namespace
