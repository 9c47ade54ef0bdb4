// A port whose device went away, seen from the core: who may open it again and what is shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "CoreRig.h"
#include "controller/PortSelection.h"
#include "commands/CommandCatalogue.h"
#include "hold/HoldButton.h"

namespace {

using Calls = std::vector<std::string>;

class LostPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rig.Start();
    rig.link.open = false;
    rig.link.lost = true;  // the device hung up under an open port
  }
  void Run(const std::function<void()>& handler, OnFailure onFailure = OnFailure::Warn) {
    rig.form.Dispatch.Run(onFailure, handler);
  }
  int Reopens() const { return static_cast<int>(std::count(rig.link.calls.begin(), rig.link.calls.end(), "Reopen")); }

  CoreRig rig;
};

struct Sender {
  const char* name;
  std::function<void(Form1&)> send;
  const char* frame;
};

const std::vector<Sender>& Senders() {
  static const std::vector<Sender> senders{
      {"one-shot button", [](Form1& f) { f.commands.Click(*FindCommand("Command17")); }, "C00\r"},
      {"hold press", [](Form1& f) { f.hold.Press(*FindHoldButton(std::string_view("Command15"))); }, "C47\r"},
      {"SEND", [](Form1& f) { f.Panel.Text1 = "CR0"; f.freeText.Command95_Click(); }, "CR0\r"},
  };
  return senders;
}

TEST_F(LostPortTest, EverySenderReopensTheDeviceOnceAndSendsWithoutABox) {
  for (const Sender& sender : Senders()) {
    rig.link.open = false;
    rig.link.lost = true;
    rig.link.calls.clear();
    rig.link.wire.clear();
    Run([&] { sender.send(rig.form); });
    EXPECT_EQ(Reopens(), 1) << sender.name;
    EXPECT_EQ(rig.link.wire, sender.frame) << sender.name;
    EXPECT_TRUE(rig.link.open) << sender.name;
    EXPECT_FALSE(rig.link.lost) << sender.name;
    EXPECT_TRUE(rig.window.warnings.empty()) << sender.name;
    Run([&] { rig.form.hold.EndHoldWithoutRelease(); });
  }
}

TEST_F(LostPortTest, EverySenderWhoseReopenFailsShowsOneBoxAndTheNextClickTriesAgain) {
  rig.link.missingPorts = {1};
  for (const Sender& sender : Senders()) {
    rig.window.warnings.clear();
    rig.link.calls.clear();
    Run([&] { sender.send(rig.form); });
    EXPECT_EQ(Reopens(), 1) << sender.name;
    EXPECT_EQ(rig.window.warnings.size(), 1u) << sender.name;
    EXPECT_TRUE(rig.link.lost) << sender.name;  // still lost: the next click tries again
    EXPECT_FALSE(rig.timer1.Enabled()) << sender.name;
  }
  EXPECT_EQ(rig.link.wire, "");
  rig.link.missingPorts.clear();
  Run([&] { Senders()[0].send(rig.form); });
  EXPECT_EQ(rig.link.wire, "C00\r");
}

TEST_F(LostPortTest, RepeatTickNeverReopensStopsRepeatingAndWarnsOnce) {
  // The hold began on a healthy line; the device then went away under it.
  rig.link.open = true;
  rig.link.lost = false;
  Run([&] { rig.form.hold.Press(*FindHoldButton(std::string_view("Command15"))); });
  rig.link.open = false;
  rig.link.lost = true;
  rig.link.calls.clear();
  rig.link.wire.clear();

  rig.clock.Advance(105 * 20);  // twenty ticks' worth with the device back in place
  EXPECT_EQ(Reopens(), 0);
  EXPECT_EQ(rig.link.wire, "");
  EXPECT_TRUE(rig.link.lost);
  EXPECT_FALSE(rig.timer1.Enabled());
  EXPECT_EQ(rig.window.warnings.size(), 1u);

  // The next press may.
  Run([&] { rig.form.hold.Press(*FindHoldButton(std::string_view("Command15"))); });
  EXPECT_EQ(Reopens(), 1);
  EXPECT_EQ(rig.link.wire, "C47\r");
}

TEST_F(LostPortTest, PortSelectionOpensALostPortAsIfItHadBeenOpen) {
  const struct {
    const char* name;
    bool open, lost;
    void (LinkSettings::*choose)();
    Calls calls;
    bool openAfter;
  } cases[] = {
      {"open, COM1", true, false, &LinkSettings::Option1_Click, {"IsOpen", "Close", "SetPortNumber 1", "Open"}, true},
      {"lost, COM1", false, true, &LinkSettings::Option1_Click, {"IsOpen", "Close", "SetPortNumber 1", "Open"}, true},
      {"lost, COM2", false, true, &LinkSettings::Option2_Click, {"IsOpen", "Close", "SetPortNumber 2", "Open"}, true},
      // The window's port is meant to be open: a choice opens it where a failed one left it closed.
      {"closed, COM1", false, false, &LinkSettings::Option1_Click, {"IsOpen", "SetPortNumber 1", "Open"}, true},
  };
  for (const auto& c : cases) {
    rig.link.open = c.open;
    rig.link.lost = c.lost;
    rig.link.calls.clear();
    Run([&] { (rig.form.linkSettings.*c.choose)(); });
    EXPECT_EQ(rig.link.calls, c.calls) << c.name;
    EXPECT_EQ(rig.link.open, c.openAfter) << c.name;
    EXPECT_FALSE(rig.link.lost) << c.name;
    EXPECT_TRUE(rig.window.warnings.empty()) << c.name;
  }
}

TEST_F(LostPortTest, SpeedLostAsTheDeviceHangsUpWarnsWhileARefusedSpeedEndsTheProgram) {
  const struct {
    const char* name;
    bool deviceWentAway;
    std::size_t warnings, fatals;
  } cases[] = {
      {"device went away", true, 1, 0},
      {"speed refused", false, 0, 1},
  };
  for (const auto& c : cases) {
    CoreRig fresh;
    fresh.Start();
    (c.deviceWentAway ? fresh.link.losses : fresh.link.failures)["SetLineSettings"] = "no line";
    fresh.form.Dispatch.Run(OnFailure::EndProgram, [&] { fresh.form.linkSettings.Option10_Click(); });
    EXPECT_EQ(fresh.window.warnings.size(), c.warnings) << c.name;
    EXPECT_EQ(fresh.window.fatals.size(), c.fatals) << c.name;
    EXPECT_EQ(fresh.form.State.CommSettings, "9600,N,8,1") << c.name;
  }
}

TEST(PortSelectionFallback, FailingFallbackAddsNoSecondBox) {
  const struct {
    const char* name;
    Calls failing;
    std::string box;
  } cases[] = {
      {"choice and fallback", {"SetPortNumber"}, std::string("SetPortNumber failed ") + kClosedUntilChosen},
      {"close, choice and fallback", {"Close", "SetPortNumber"}, "Close failed"},
  };
  for (const auto& c : cases) {
    CoreRig rig;
    rig.Start();
    rig.form.Panel.Frame8Visible = true;
    for (const std::string& operation : c.failing) rig.link.failures[operation] = operation + " failed";
    rig.form.Dispatch.Run(OnFailure::Warn, [&] { rig.form.linkSettings.Option2_Click(); });
    EXPECT_EQ(rig.window.warnings, Calls{c.box}) << c.name;
    EXPECT_TRUE(rig.form.Panel.Frame8Visible) << c.name;
  }
}

// A failure the link learns of after the operation returned reaches the operator as one warning,
// and never as a second box over one already open.
TEST(LinkNotice, IsOneWarningNeverStacked) {
  CoreRig rig;
  rig.Start();
  rig.window.whileWarningShown = [&rig] { rig.link.Notice("second"); };
  rig.link.Notice("first");
  EXPECT_EQ(rig.window.warnings, Calls{"first"});
}

}  // namespace
