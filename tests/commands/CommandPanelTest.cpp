#include <gtest/gtest.h>

#include <string>

#include "CoreRig.h"
#include "commands/CommandCatalogue.h"

// Every button's frame and intervals: ButtonWire (window) and SenderSteps (order, failures).
namespace {

class CommandPanelTest : public ::testing::Test {
 protected:
  void SetUp() override { rig.Start(); }
  void Click(const char* control) {
    const PanelCommand* entry = FindCommand(control);
    ASSERT_NE(entry, nullptr) << control;
    rig.form.Dispatch.Run(OnFailure::Warn, [&] { rig.form.commands.Click(*entry); });
  }
  CoreRig rig;
};

TEST_F(CommandPanelTest, EveryFrameCarriesThePrefixChosenAtTheClick) {
  rig.form.State.AddressPrefix = "A003";
  Click("Command17");
  EXPECT_EQ(rig.link.wire, "A003C00\r");
  rig.form.State.AddressPrefix = "A001";
  Click("Command44");
  EXPECT_EQ(rig.form.State.TxFrame, "A001CR0\r");
  rig.link.Receive("00\r");
  EXPECT_EQ(rig.form.Panel.Label22, " Power ON");
}

TEST_F(CommandPanelTest, LongWaitIntervalsOutlastTheExchange) {
  Click("Command63");  // input grid: 5000 / 5500
  Click("Command17");  // plain: keeps them
  EXPECT_EQ(rig.timer2.Interval(), 5000);
  EXPECT_EQ(rig.timer4.Interval(), 5500);
  rig.clock.Advance(4999);
  EXPECT_EQ(rig.timer2.Ticks(), 0);
  rig.clock.Advance(1);
  EXPECT_EQ(rig.timer2.Ticks(), 1);

  Click("Command63");
  Click("Command10");  // picture mode: the last value set wins, not the larger
  EXPECT_EQ(rig.timer2.Interval(), 2000);
  EXPECT_EQ(rig.timer4.Interval(), 2500);
}

TEST_F(CommandPanelTest, TwoClicksSendTwoFramesEvenWhileAReplyIsAwaited) {
  Click("Command17");
  Click("Command17");
  EXPECT_EQ(rig.link.wire, "C00\rC00\r");
}

}  // namespace
