#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "CoreRig.h"
#include "controller/PortSelection.h"

namespace {

using Calls = std::vector<std::string>;

class PortSelectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rig.Start();
    rig.form.Panel.Frame8Visible = true;  // the operator opened the settings frame
  }
  void ChooseCom1() { rig.form.Dispatch.Run(OnFailure::Warn, [&] { rig.form.linkSettings.Option1_Click(); }); }
  void ChooseCom2() { rig.form.Dispatch.Run(OnFailure::Warn, [&] { rig.form.linkSettings.Option2_Click(); }); }
  CoreRig rig;
};

TEST_F(PortSelectionTest, SwitchToAnExistingPortReopensItThereAndHidesTheFrame) {
  ChooseCom2();
  EXPECT_EQ(rig.link.calls, (Calls{"IsOpen", "Close", "SetPortNumber 2", "Open"}));
  EXPECT_TRUE(rig.link.open);
  EXPECT_EQ(rig.link.port, 2);
  EXPECT_FALSE(rig.form.Panel.Frame8Visible);
  EXPECT_EQ(rig.form.Panel.PortOption, 2);
  EXPECT_TRUE(rig.window.warnings.empty());
}

TEST_F(PortSelectionTest, MissingPortWarnsFallsBackAndLeavesThePortClosedAndTheFrameShown) {
  rig.link.missingPorts = {2};
  ChooseCom2();
  EXPECT_EQ(rig.link.calls, (Calls{"IsOpen", "Close", "SetPortNumber 2", "Open", "SetPortNumber 1"}));
  // The box says what follows: the next choice opens the port.
  EXPECT_EQ(rig.window.warnings, Calls{std::string("COM2 does not exist ") + kClosedUntilChosen});
  EXPECT_FALSE(rig.link.open);
  EXPECT_EQ(rig.link.port, 1);
  EXPECT_TRUE(rig.form.Panel.Frame8Visible);
  EXPECT_EQ(rig.form.Panel.PortOption, 2);  // the clicked option stays shown as selected

  // Choosing COM1 now opens it, closed as the failure left it.
  rig.link.calls.clear();
  ChooseCom1();
  EXPECT_EQ(rig.link.calls, (Calls{"IsOpen", "SetPortNumber 1", "Open"}));
  EXPECT_TRUE(rig.link.open);
  EXPECT_FALSE(rig.form.Panel.Frame8Visible);
  EXPECT_EQ(rig.window.warnings.size(), 1u);
}

// A port refused until a device is chosen for it is not said to wait for a new start.
TEST_F(PortSelectionTest, ARefusedPortIsToldWithoutTheRestartAdvice) {
  rig.link.refusals["Open"] = "another device is there now";
  ChooseCom2();
  EXPECT_EQ(rig.window.warnings, Calls{"another device is there now"});
}

TEST_F(PortSelectionTest, FailingCloseStillChoosesThePortButDoesNotReopen) {
  rig.link.failures["Close"] = "close failed";
  ChooseCom2();
  EXPECT_EQ(rig.link.calls, (Calls{"IsOpen", "Close", "SetPortNumber 2", "SetPortNumber 1"}));
  EXPECT_EQ(rig.window.warnings, Calls{"close failed"});  // the port may still be open: no word on a closed one
  EXPECT_TRUE(rig.form.Panel.Frame8Visible);
}

TEST_F(PortSelectionTest, TheFirstFailureIsTheOneReported) {
  rig.link.failures["Close"] = "close failed";
  rig.link.failures["SetPortNumber"] = "no such port";
  ChooseCom2();
  EXPECT_EQ(rig.window.warnings.front(), "close failed");
}

// A device named for the selected port opens whatever state the port was in (a port selection on
// a closed port would only choose it); the old device is closed before the port stands for the new.
// One that fails gives the port its old device back, open again, with no fallback to the other port.
TEST_F(PortSelectionTest, AChosenDeviceOpensAfterTheOldOneClosedWhateverTheState) {
  const struct {
    const char* name;
    std::function<void(FakeLink&)> before;
    Calls calls;
    Calls warnings;
  } table[] = {
      {"open", [](FakeLink&) {}, {"IsOpen", "Close", "Device", "SetPortNumber 2", "Open"}, {}},
      {"closed by a failure", [](FakeLink& l) { l.open = false; }, {"IsOpen", "Device", "SetPortNumber 2", "Open"}, {}},
      {"lost", [](FakeLink& l) { l.open = false; l.lost = true; },
       {"IsOpen", "Close", "Device", "SetPortNumber 2", "Open"}, {}},
      {"the new device missing", [](FakeLink& l) { l.missingPorts = {2}; },
       {"IsOpen", "Close", "Device", "SetPortNumber 2", "Open", "Close", "Old device", "Open"},
       {"COM2 does not exist The panel stays on /dev/old."}},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.name);
    CoreRig core;
    core.Start();
    core.form.Panel.Frame8Visible = true;
    row.before(core.link);
    core.link.calls.clear();
    const DeviceSwitch change{[&] { core.link.calls.push_back("Device"); },
                              [&] {
                                core.link.calls.push_back("Old device");
                                core.link.missingPorts.clear();
                              },
                              "/dev/old"};
    const bool opened = OpenChosenDevice(core.link, core.form.Dispatch, core.form.Panel, 2, change);
    EXPECT_EQ(core.link.calls, row.calls);
    EXPECT_EQ(core.window.warnings, row.warnings);
    EXPECT_EQ(opened, row.warnings.empty());
    EXPECT_TRUE(core.link.open);
    EXPECT_EQ(core.form.Panel.Frame8Visible, !opened);
  }
}

}  // namespace
