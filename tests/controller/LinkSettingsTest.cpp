#include <gtest/gtest.h>

#include <vector>

#include "CoreRig.h"

namespace {

using Calls = std::vector<std::string>;

class LinkSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { rig.Start(); }
  void Warn(void (LinkSettings::*handler)()) {
    rig.form.Dispatch.Run(OnFailure::Warn, [&] { (rig.form.linkSettings.*handler)(); });
  }
  void OrEnd(void (LinkSettings::*handler)()) {
    rig.form.Dispatch.Run(OnFailure::EndProgram, [&] { (rig.form.linkSettings.*handler)(); });
  }
  CoreRig rig;
  PanelState& panel = rig.form.Panel;
};

TEST_F(LinkSettingsTest, ComShowsTheFrameAndTimer3HidesItOnceFiveSecondsLater) {
  Warn(&LinkSettings::Command33_Click);
  EXPECT_TRUE(panel.Frame8Visible);
  rig.clock.Advance(4999);
  EXPECT_TRUE(panel.Frame8Visible);
  rig.clock.Advance(1);
  EXPECT_FALSE(panel.Frame8Visible);
  EXPECT_FALSE(rig.timer3.Enabled());
  rig.clock.Advance(20000);
  EXPECT_EQ(rig.timer3.Ticks(), 1);
}

TEST_F(LinkSettingsTest, SpeedChangeOnAnOpenPortOnlyAppliesTheSettings) {
  Warn(&LinkSettings::Command33_Click);
  rig.clock.Advance(1000);
  OrEnd(&LinkSettings::Option10_Click);
  EXPECT_EQ(rig.link.calls, Calls{"SetLineSettings 9600,N,8,1"});
  EXPECT_TRUE(rig.link.open);
  EXPECT_EQ(rig.form.State.CommSettings, "9600,N,8,1");
  EXPECT_FALSE(panel.Frame8Visible);
  EXPECT_EQ(panel.SpeedOption, 10);

  // The option does not stop Timer3: it still runs out and stops itself.
  EXPECT_TRUE(rig.timer3.Enabled());
  rig.clock.Advance(4000);
  EXPECT_FALSE(rig.timer3.Enabled());
  EXPECT_EQ(rig.timer3.Ticks(), 1);

  OrEnd(&LinkSettings::Option9_Click);
  EXPECT_EQ(rig.link.settings, "19200,N,8,1");
}

TEST_F(LinkSettingsTest, SpeedChangeOnAClosedPortStillAppliesTheSettings) {
  rig.link.open = false;
  OrEnd(&LinkSettings::Option10_Click);
  EXPECT_EQ(rig.link.calls, Calls{"SetLineSettings 9600,N,8,1"});
  EXPECT_TRUE(rig.window.fatals.empty());
}

TEST_F(LinkSettingsTest, SpeedFailureShowsTheDescriptionAndEndsTheProgram) {
  panel.Frame8Visible = true;
  rig.link.failures["SetLineSettings"] = "speed refused";
  OrEnd(&LinkSettings::Option10_Click);
  EXPECT_EQ(rig.window.fatals, Calls{"speed refused"});
  EXPECT_EQ(rig.form.State.CommSettings, "9600,N,8,1");  // done before the failing step
  EXPECT_TRUE(panel.Frame8Visible);
}

TEST_F(LinkSettingsTest, SpeedAndPortGroupsAreIndependent) {
  Warn(&LinkSettings::Option2_Click);
  EXPECT_EQ(panel.PortOption, 2);
  EXPECT_EQ(panel.SpeedOption, 9);
  OrEnd(&LinkSettings::Option10_Click);
  EXPECT_EQ(panel.PortOption, 2);
  EXPECT_EQ(panel.SpeedOption, 10);
}

}  // namespace
