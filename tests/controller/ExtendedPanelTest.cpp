#include <gtest/gtest.h>

#include "CoreRig.h"

namespace {

const std::string kShowData = "データを表示する";
const std::string kHideData = "データを表示しない";

class ExtendedPanelTest : public ::testing::Test {
 protected:
  void SetUp() override { rig.Start(); }
  void CtrlH() { Do([&] { heights().Form_KeyDown(72, 2); }); }
  void DoubleClick() { Do([&] { heights().Image1_DblClick(); }); }
  void Command34() { Do([&] { heights().Command34_Click(); }); }
  void Do(const std::function<void()>& handler) { rig.form.Dispatch.Run(OnFailure::Warn, handler); }
  ExtendedPanel& heights() { return rig.form.extendedPanel; }

  void Expect(int height, int unlocked, bool visible, const std::string& caption, const char* where) {
    EXPECT_EQ(rig.form.Panel.OuterHeight, height) << where;
    EXPECT_EQ(rig.form.State.PanelUnlocked, unlocked) << where;
    EXPECT_EQ(rig.form.Panel.Command34Visible, visible) << where;
    if (visible) {
      EXPECT_EQ(rig.form.Panel.Command34Caption, caption) << where;
    }
  }
  CoreRig rig;
};

TEST_F(ExtendedPanelTest, WalksTheStateTableOfTheFourHeights) {
  Expect(5350, 0, false, "", "start");
  DoubleClick();
  Expect(5350, 0, false, "", "double-click before Ctrl+H");
  CtrlH();
  Expect(7200, 1, true, "CLOSE", "service");
  CtrlH();
  Expect(7200, 1, true, "CLOSE", "service again");
  DoubleClick();
  Expect(9100, 1, true, "CLOSE", "full");
  DoubleClick();
  Expect(9100, 1, true, "CLOSE", "full again");
  CtrlH();
  Expect(7200, 1, true, "CLOSE", "full -> service");
  Command34();
  Expect(5350, 0, true, kShowData, "service -> compact");
  DoubleClick();
  Expect(5350, 0, true, kShowData, "double-click after Command34");
  Command34();
  Expect(6645, 0, true, kHideData, "compact -> data view");
  DoubleClick();
  Expect(6645, 0, true, kHideData, "double-click in data view");
  Command34();
  Expect(5350, 0, true, kShowData, "data view -> compact");
  CtrlH();
  DoubleClick();
  Command34();
  Expect(5350, 0, true, kShowData, "full -> compact");
  Command34();
  CtrlH();
  Expect(7200, 1, true, "CLOSE", "data view -> service");
}

TEST_F(ExtendedPanelTest, OnlyCtrlAloneWithHOpensTheServiceView) {
  const struct {
    int key, shift;
  } ignored[] = {{72, 3}, {72, 4}, {72, 6}, {72, 0}, {71, 2}, {72, 7}};
  for (const auto& k : ignored) {
    Do([&] { heights().Form_KeyDown(k.key, k.shift); });
    EXPECT_EQ(rig.form.Panel.OuterHeight, 5350) << k.key << "/" << k.shift;
  }
  Do([&] { heights().Form_KeyDown(72, 2 | 8); });  // bits beyond Shift, Ctrl and Alt do not count
  EXPECT_EQ(rig.form.Panel.OuterHeight, 7200);
}

TEST_F(ExtendedPanelTest, Command34PostponesTheHidingOfAnOpenSettingsFrame) {
  Do([&] { rig.form.linkSettings.Command33_Click(); });
  CtrlH();
  rig.clock.Advance(4000);
  Command34();
  rig.clock.Advance(4999);
  EXPECT_TRUE(rig.form.Panel.Frame8Visible);
  rig.clock.Advance(1);
  EXPECT_FALSE(rig.form.Panel.Frame8Visible);
  EXPECT_FALSE(rig.timer3.Enabled());
}

}  // namespace
