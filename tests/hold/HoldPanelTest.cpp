#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "CoreRig.h"
#include "commands/CommandCatalogue.h"
#include "hold/HoldButton.h"

namespace {

class HoldPanelTest : public ::testing::Test {
 protected:
  void SetUp() override { rig.Start(); }

  void Press(const char* control) {
    const HoldButton* b = FindHoldButton(std::string_view(control));
    ASSERT_NE(b, nullptr) << control;
    rig.form.Dispatch.Run(OnFailure::Warn, [&] { rig.form.hold.Press(*b); });
  }
  void Release(const char* control) {
    const HoldButton* b = FindHoldButton(std::string_view(control));
    ASSERT_NE(b, nullptr) << control;
    rig.form.Dispatch.Run(OnFailure::Warn, [&] { rig.form.hold.Release(*b); });
  }
  void Click(const char* control) {
    rig.form.Dispatch.Run(OnFailure::Warn, [&] { rig.form.commands.Click(*FindCommand(control)); });
  }
  // Press, hold for `ms`, release; returns the number of frames `frame` that went out.
  int Hold(const char* control, int ms, const std::string& frame) {
    rig.link.wire.clear();
    Press(control);
    rig.clock.Advance(ms);
    Release(control);
    return Count(frame);
  }
  int Count(const std::string& frame) const {
    int n = 0;
    for (std::size_t at = rig.link.wire.find(frame); at != std::string::npos; at = rig.link.wire.find(frame, at + 1)) ++n;
    return n;
  }
  CoreRig rig;
};

TEST_F(HoldPanelTest, ZoomHeldHalfASecondSendsThePressAndOneFrameEvery105Ms) {
  EXPECT_EQ(Hold("Command15", 500, "C47\r"), 1 + 4);  // repeats at 105, 210, 315, 420
  EXPECT_EQ(rig.link.wire, "C47\rC47\rC47\rC47\rC47\r");
}

TEST_F(HoldPanelTest, AClickShorterThanThePeriodSendsOneFrame) {
  EXPECT_EQ(Hold("Command36", 104, "C4B\r"), 1);
}

TEST_F(HoldPanelTest, SelectRepeatsEvery500MsWhateverTheCursorPadMode) {
  rig.form.State.CursorPadMode = 3;
  EXPECT_EQ(Hold("Command6", 1000, "C3F\r"), 1 + 2);
}

TEST_F(HoldPanelTest, CursorPadRepeatsAtTheIntervalTimer1WasLastGiven) {
  // Right after start-up: 200 ms, intervals untouched.
  EXPECT_EQ(Hold("Command5", 1000, "C3C\r"), 1 + 5);
  EXPECT_EQ(rig.timer2.Interval(), 500);

  // After a D.Zoom release: every 5 ms with 5 / 5.
  Hold("Command48", 10, "C30\r");
  EXPECT_EQ(rig.form.State.CursorPadMode, 3);
  Press("Command7");
  EXPECT_EQ(rig.timer2.Interval(), 5);
  EXPECT_EQ(rig.timer4.Interval(), 5);
  rig.clock.Advance(50);
  Release("Command7");
  EXPECT_EQ(Count("C3D\r"), 1 + 10);

  // After "A-PC Adj": every 200 ms with 150 / 190.
  Click("Command13");
  rig.link.wire.clear();
  Press("Command9");
  EXPECT_EQ(rig.timer2.Interval(), 150);
  EXPECT_EQ(rig.timer4.Interval(), 190);
  rig.clock.Advance(400);
  Release("Command9");
  EXPECT_EQ(Count("C3B\r"), 1 + 2);

  // After a lens-shift hold: 105 ms, whatever the mode says.
  Hold("Command59", 10, "C5D\r");
  EXPECT_EQ(Hold("Command8", 315, "C3A\r"), 1 + 3);
}

TEST_F(HoldPanelTest, ReleaseEndsTheExchangeWithoutAMissingReplyNotice) {
  Press("Command15");
  rig.clock.Advance(50);
  rig.form.State.RxBuffer = "0";
  rig.form.Panel.Label22 = " Power ON";
  Release("Command15");
  EXPECT_EQ(rig.form.Panel.Label11, "");
  EXPECT_EQ(rig.form.Panel.Label12, "");
  EXPECT_EQ(rig.form.Panel.Label22, " Power ON");
  EXPECT_EQ(rig.form.State.RxBuffer, "");
  EXPECT_EQ(rig.form.State.AwaitingReply, 1);  // untouched
  EXPECT_FALSE(rig.timer2.Enabled());
  EXPECT_EQ(rig.timer2.Interval(), 500);
  EXPECT_EQ(rig.timer4.Interval(), 1000);

  rig.clock.Advance(999);
  EXPECT_EQ(rig.form.Panel.Label12, "");  // no " X X X X"
  EXPECT_EQ(rig.form.Panel.Label22, " Power ON");
  rig.clock.Advance(1);
  EXPECT_EQ(rig.form.Panel.Label22, "");
}

TEST_F(HoldPanelTest, ATickWithNothingHeldSendsNothingAndKeepsRunning) {
  rig.timer1.SetEnabled(true);
  rig.clock.Advance(1000);
  EXPECT_EQ(rig.link.wire, "");
  EXPECT_TRUE(rig.timer1.Enabled());
}

TEST_F(HoldPanelTest, SecondPressReplacesTheHoldAndTheFirstReleaseEndsIt) {
  Press("Command15");  // left button on Zoom +
  Press("Command50");  // right button on Keystone up, still holding
  rig.link.wire.clear();
  rig.clock.Advance(250);
  EXPECT_EQ(rig.link.wire, "C8E\r");
  Release("Command15");
  rig.clock.Advance(1000);
  EXPECT_EQ(rig.link.wire, "C8E\r");
  Release("Command50");  // a release with nothing held still runs in full
  EXPECT_EQ(rig.form.State.HoldCode, 0);
}

TEST_F(HoldPanelTest, PrefixChangedDuringAHoldAppliesFromTheNextRepetition) {
  Press("Command15");
  rig.form.State.AddressPrefix = "A002";
  rig.clock.Advance(105);
  EXPECT_EQ(rig.link.wire, "C47\rA002C47\r");
}

TEST_F(HoldPanelTest, LineLostDuringAHoldIsReportedOnceAndStopsTheRepetition) {
  Press("Command15");
  rig.link.open = false;
  rig.clock.Advance(2000);
  EXPECT_EQ(rig.window.warnings.size(), 1u);
  EXPECT_FALSE(rig.timer1.Enabled());
}

TEST_F(HoldPanelTest, LosingTheMouseEndsTheHoldAsAReleaseWould) {
  Press("Command48");  // D.Zoom: its release also arms the fast cursor pad
  rig.form.hold.EndHoldWithoutRelease();
  EXPECT_EQ(rig.form.State.HoldCode, 0);
  EXPECT_FALSE(rig.timer1.Enabled());
  EXPECT_EQ(rig.form.State.CursorPadMode, 3);
  rig.link.wire.clear();
  rig.clock.Advance(1000);
  EXPECT_EQ(rig.link.wire, "");

  rig.form.Panel.Label11 = "kept";
  rig.form.hold.EndHoldWithoutRelease();  // nothing held: nothing to end
  EXPECT_EQ(rig.form.Panel.Label11, "kept");
}

TEST_F(HoldPanelTest, RepetitionsWaitWhileTheLineStillHoldsOutput) {
  Press("Command15");
  rig.link.outputPending = true;
  rig.link.wire.clear();
  rig.clock.Advance(420);
  EXPECT_EQ(rig.link.wire, "");
  EXPECT_TRUE(rig.timer1.Enabled());
  rig.link.outputPending = false;
  rig.clock.Advance(105);
  EXPECT_EQ(rig.link.wire, "C47\r");
}

TEST_F(HoldPanelTest, FastRepeatOnASlowLineNeverQueuesFramesBehindTheRelease) {
  rig.link.DrainAt(rig.clock, 1.0);  // 9600 baud: about 1 ms a byte
  rig.form.State.AddressPrefix = "A001";
  Hold("Command48", 10, "A001C30\r");  // D.Zoom release: cursor pad at 5 ms
  rig.link.wire.clear();
  Press("Command5");
  rig.clock.Advance(500);
  Release("Command5");
  EXPECT_LE(rig.link.PendingBytes(), 8.0);  // at most the one frame on its way
  const int sent = Count("A001C3C\r");
  EXPECT_GE(sent, 40);   // still as fast as the line allows
  EXPECT_LE(sent, 64);   // not one frame every 5 ms
}

}  // namespace
