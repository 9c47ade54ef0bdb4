#include <gtest/gtest.h>

#include <set>
#include <string>

#include "CoreRig.h"
#include "commands/CommandCatalogue.h"

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

// Written from the panel's captions and the projector's command list, not from the table.
TEST_F(CommandPanelTest, ButtonsPutTheirCommandsOnTheWire) {
  struct Case {
    const char* control;
    const char* wire;
  };
  const Case cases[] = {
      {"Command17", "C00\r"},                 // POWER ON
      {"Command18", "C01\r"},                 // POWER OFF
      {"Command53", "C08\r"},                 // input mode 4
      {"Command31", "C0F\r"},                 // "Nopmal"
      {"Command88", "CF SHUTTER CLOSE\r"},    // SHUTTER "ON"
      {"Command89", "CF SHUTTER OPEN\r"},
      {"Command42", "CF IMAGE CUSTOM4\r"},    // "CUSTAM4"
      {"Command58", "CF AUTOLAMPCONTRL ECO\r"},
      {"Command63", "CF INPUT1 DIGITAL\r"},   // "DVI"
      {"Command72", "CF INPUT2 ANALOG\r"},    // "RGB"
      {"Command82", "CF INPUT3 YPBPR\r"},     // "YPbPr"
      {"Command84", "CF INPUT3 S-VIDEO\r"},
      {"Command38", "CR9\r"},                 // "PC type"
      {"Command12", "CRA\r"},                 // "SETTING 2"
      {"Command3", "C1E\r"},                  // DISPLAY CLEAR
      {"Command98", "CF FANSPEED NOR\r"},
  };
  for (const Case& c : cases) {
    rig.link.wire.clear();
    Click(c.control);
    EXPECT_EQ(rig.link.wire, c.wire) << c.control;
    EXPECT_EQ(rig.form.State.TxFrame, c.wire) << c.control;
  }
}

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

TEST_F(CommandPanelTest, CatalogueHas58DistinctControlsAndCommands) {
  std::set<std::string_view> controls;
  std::set<std::string_view> commands;
  for (const PanelCommand& entry : kCommandCatalogue) {
    controls.insert(entry.control);
    commands.insert(entry.command);
    EXPECT_GE(entry.command.size(), 3u) << entry.control;
    EXPECT_LE(entry.command.size(), 24u) << entry.control;
  }
  EXPECT_EQ(controls.size(), 58u);
  EXPECT_EQ(commands.size(), 58u);
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

TEST_F(CommandPanelTest, MenuOnAndAutoPcAdjustArmTheCursorPadWithoutStartingIt) {
  for (const char* control : {"Command23", "Command13"}) {
    rig.timer1.SetInterval(5);
    rig.form.State.CursorPadMode = 3;
    Click(control);
    EXPECT_EQ(rig.form.State.CursorPadMode, 1) << control;
    EXPECT_EQ(rig.timer1.Interval(), 200) << control;
    EXPECT_FALSE(rig.timer1.Enabled()) << control;
  }
}

TEST_F(CommandPanelTest, TwoClicksSendTwoFramesEvenWhileAReplyIsAwaited) {
  Click("Command17");
  Click("Command17");
  EXPECT_EQ(rig.link.wire, "C00\rC00\r");
}

TEST_F(CommandPanelTest, FailedTransmitKeepsTheIntervalsAndTheFrame) {
  rig.link.open = false;
  Click("Command65");
  EXPECT_EQ(rig.timer2.Interval(), 5000);
  EXPECT_EQ(rig.form.State.TxFrame, "CF INPUT1 VIDEO\r");
  EXPECT_EQ(rig.window.warnings.size(), 1u);
}

}  // namespace
