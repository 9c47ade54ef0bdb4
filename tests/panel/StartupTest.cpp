#include <gtest/gtest.h>

#include <vector>

#include "CoreRig.h"

namespace {

using Calls = std::vector<std::string>;

TEST(Startup, OpensComOneThenReselectsItAndSendsNothing) {
  CoreRig rig;
  rig.form.Load();
  EXPECT_EQ(rig.link.calls, (Calls{"SetPortNumber 1", "SetLineSettings 19200,N,8,1", "Open", "IsOpen", "Close",
                                   "SetPortNumber 1", "Open"}));
  EXPECT_TRUE(rig.link.open);
  EXPECT_EQ(rig.link.wire, "");
  EXPECT_TRUE(rig.window.warnings.empty());
  EXPECT_TRUE(rig.window.fatals.empty());
}

TEST(Startup, LeavesTheRecordTimersAndPanelAsDesigned) {
  CoreRig rig;
  rig.form.State.CursorPadMode = 0;
  rig.form.Load();
  const ControllerState& s = rig.form.State;
  EXPECT_EQ(s.HoldCode, 0);
  EXPECT_EQ(s.AwaitingReply, 0);
  EXPECT_EQ(s.CursorPadMode, 0);
  EXPECT_EQ(s.TxFrame, "");
  EXPECT_EQ(s.RxBuffer, "");
  EXPECT_EQ(s.PressureReading, 0);
  EXPECT_EQ(s.PanelUnlocked, 0);
  EXPECT_EQ(s.ManualCommand, "");
  EXPECT_EQ(s.CommSettings, "19200,N,8,1");
  EXPECT_EQ(s.AddressPrefix, "");

  const int intervals[] = {200, 500, 5000, 1000};
  const FakeTimer* timers[] = {&rig.timer1, &rig.timer2, &rig.timer3, &rig.timer4};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(timers[i]->Interval(), intervals[i]) << "Timer" << i + 1;
    EXPECT_FALSE(timers[i]->Enabled()) << "Timer" << i + 1;
  }

  EXPECT_EQ(rig.form.Panel.PortOption, 1);
  EXPECT_FALSE(rig.form.Panel.Frame8Visible);
  EXPECT_FALSE(rig.form.Panel.Command34Visible);
  EXPECT_EQ(rig.form.Panel.OuterHeight, 5350);
}

TEST(Startup, CentresForTheFullDesignHeightBeforeShortening) {
  CoreRig rig;
  rig.form.Load();
  EXPECT_EQ(rig.window.centredFor, std::vector<int>{9100});
  EXPECT_EQ(rig.form.Panel.OuterHeight, 5350);
}

TEST(Startup, FailureShowsTheDescriptionAndEndsAtThatStep) {
  struct Case {
    const char* failing;
    Calls calls;
  };
  const Case cases[] = {
      {"SetPortNumber", {"SetPortNumber 1"}},
      {"SetLineSettings", {"SetPortNumber 1", "SetLineSettings 19200,N,8,1"}},
      {"Open", {"SetPortNumber 1", "SetLineSettings 19200,N,8,1", "Open"}},
  };
  for (const Case& c : cases) {
    CoreRig rig;
    rig.link.failures[c.failing] = "COM1 could not be opened: the device does not exist.";
    rig.form.Load();
    EXPECT_EQ(rig.link.calls, c.calls) << c.failing;
    EXPECT_EQ(rig.window.fatals, Calls{"COM1 could not be opened: the device does not exist."}) << c.failing;
    EXPECT_TRUE(rig.window.warnings.empty()) << c.failing;
  }
}

TEST(Startup, FailedReopenWarnsAndFallsBackToComTwo) {
  CoreRig rig;
  rig.link.failures["Close"] = "close failed";
  rig.form.Load();
  EXPECT_TRUE(rig.window.fatals.empty());
  EXPECT_EQ(rig.window.warnings, Calls{"close failed"});
  EXPECT_EQ(rig.link.calls.back(), "SetPortNumber 2");
  EXPECT_EQ(rig.link.port, 2);
}

TEST(Exit, EndClosesThePortThenEndsTheProgram) {
  CoreRig rig;
  rig.Start();
  rig.form.Dispatch.Run(OnFailure::EndProgram, [&] { rig.form.Command16_Click(); });
  EXPECT_EQ(rig.link.calls, Calls{"Close"});
  EXPECT_FALSE(rig.link.open);
  EXPECT_TRUE(rig.window.ended);
}

}  // namespace
