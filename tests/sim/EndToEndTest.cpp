// The panel's core with the real serial adapter against the simulated projector: two processes
// and a real pseudo terminal. The panel's timers run on a fake clock, so only the line is real.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <QFile>
#include <regex>

#include "FakeClock.h"
#include "FakeWindow.h"
#include "Pty.h"
#include "QtRig.h"
#include "SimTemperatures.h"
#include "BoxWatcher.h"
#include "Ser2net.h"
#include "launcher/SimProcess.h"
#include "panel/Form1.h"
#include "platform/LinkByDevice.h"
#include "platform/QtSerialLink.h"
#include "window/MainWindow.h"

namespace {

// How the panel reaches the simulator's line: directly, or through ser2net on a loopback port.
enum class Via { Direct, Rfc2217, Raw };
const Via kEveryLine[] = {Via::Direct, Via::Rfc2217, Via::Raw};

const char* Shown(Via via) { return via == Via::Direct ? "direct" : via == Via::Rfc2217 ? "rfc2217://" : "socket://"; }

std::unique_ptr<Ser2net> Server(Via via, const QString& device) {
  if (via == Via::Direct) return nullptr;
  return std::make_unique<Ser2net>(device, via == Via::Rfc2217 ? Ser2net::Kind::Rfc2217 : Ser2net::Kind::Raw);
}

struct SimRig {
  explicit SimRig(const QStringList& args, Via via = Via::Direct) : sim(args), server(Server(via, sim.Path())) {
    form.Load();
  }

  void Send(const std::string& command) {
    form.Dispatch.Run(OnFailure::Warn, [&] { form.exchange.Send(command); });
  }

  // One exchange: sends, waits for the reply's CR, and returns the panel as it stood then. The
  // reply time-out and the display clearing then run, so the next exchange starts afresh.
  PanelState Ask(const std::string& command) {
    Send(command);
    EXPECT_TRUE(WaitUntil([&] { return form.State.RxBuffer.find('\r') != std::string::npos; }, 5000))
        << "no reply to " << command;
    const PanelState seen = form.Panel;
    clock.Advance(1000);
    return seen;
  }

  // Waits until the simulator has logged receiving this frame.
  bool Received(const std::string& frame) {
    const QString entry = QStringLiteral("rx \"%1\\r\"").arg(QString::fromStdString(frame));
    return WaitUntil([&] { return sim.Log().contains(entry); }, 5000);
  }

  SimProcess sim;
  std::unique_ptr<Ser2net> server;
  FakeClock clock;
  FakeTimer timer1{clock}, timer2{clock}, timer3{clock}, timer4{clock};
  FakeWindow window;
  LinkByDevice link{PortMap{server ? server->Url() : sim.Path(), QStringLiteral("/nonexistent/com2")}};
  Form1 form{link, Timers{timer1, timer2, timer3, timer4}, window};
};

TEST(WithSimulator, StandsByThenPowersOnAfterTheCountDown) {
  SimRig rig({"--warmup-ms", "1500"});
  ASSERT_TRUE(rig.window.fatals.empty());
  EXPECT_EQ(rig.Ask("CR0").Label22, " Stand by");
  EXPECT_EQ(rig.Ask("C00").Label12, " ACK CR ");
  EXPECT_EQ(rig.Ask("CR0").Label22, " Count down");
  std::string status;
  ASSERT_TRUE(WaitUntil([&] { return (status = rig.Ask("CR0").Label22) != " Count down"; }, 8000));
  EXPECT_EQ(status, " Power ON");
}

TEST(WithSimulator, EveryStatusQueryDecodesDirectlyAndThroughANetworkServer) {
  const std::string temperatures = SimTemperatureLinePattern();
  const struct {
    const char* command;  // sent before the query when not empty
    const char* query;
    std::string shown;    // a pattern of the whole STATUS line
  } cases[] = {
      {"", "CR0", " Stand by"},
      {"", "CR1", " Input mode 1"},
      {"", "CR4", " Normally"},
      {"", "CR3", " 0 4 3 2 1 CR  Hour Use"},
      {"", "CR6", temperatures},
      {"", "CRA", " Stand by"},
      {"", "CR9", " P J - Q 8 CR "},
      {"", "CR PRESSURE", "101[1-5] hPa"},
      {"", "CR7", " All OFF : 2 Lamp mode"},
      {"C00", "CR0", " Power ON"},
      {"C07", "CR1", " Input mode 3"},
      {"C0D", "CRA", " Video mute ON"},
      {"C0E", "CRA", " Video & Audio mute OFF"},
      {"", "CR7", " No1,2 ON  : 2 Lamp mode"},
  };
  for (const Via via : kEveryLine) {
    SCOPED_TRACE(Shown(via));
    SimRig rig({"--warmup-ms", "0", "--lamp-hours", "4321"}, via);
    ASSERT_TRUE(rig.window.fatals.empty()) << rig.window.fatals[0];
    for (const auto& c : cases) {
      if (*c.command != '\0') {
        EXPECT_EQ(rig.Ask(c.command).Label12, " ACK CR ") << c.command;
      }
      const std::string shown = rig.Ask(c.query).Label22;
      EXPECT_TRUE(std::regex_match(shown, std::regex(c.shown))) << c.query << ": \"" << shown << '"';
    }
    EXPECT_TRUE(rig.window.warnings.empty());
  }
}

TEST(WithSimulator, SplitReplyDecodesOnlyOnceTheKeyIsComplete) {
  SimRig rig({"--split", "--split-gap", "200"});
  rig.Send("CR0");
  std::vector<std::pair<std::string, std::string>> seen;  // RXD and STATUS as they changed
  ASSERT_TRUE(WaitUntil([&] {
    const auto now = std::pair{rig.form.Panel.Label12, rig.form.Panel.Label22};
    if (seen.empty() || seen.back() != now) seen.push_back(now);
    return now.first == " 8 0 CR ";
  }, 5000));
  ASSERT_GE(seen.size(), 3u);
  EXPECT_EQ(seen[1], (std::pair<std::string, std::string>{" 8 ", ""}));
  EXPECT_EQ(seen.back().second, " Stand by");
}

TEST(WithSimulator, DelayedReplyArrivesLate) {
  SimRig rig({"--reply-delay", "600"});
  rig.Send("CR0");
  ASSERT_TRUE(rig.Received("CR0"));
  QTest::qWait(150);
  EXPECT_EQ(rig.form.State.RxBuffer, "");
  EXPECT_TRUE(WaitUntil([&] { return rig.form.Panel.Label22 == " Stand by"; }, 5000));
}

TEST(WithSimulator, SilentProjectorShowsNoReplyAfterTheTimeOut) {
  SimRig rig({"--silent"});
  rig.Send("CR0");
  ASSERT_TRUE(rig.Received("CR0"));
  QTest::qWait(200);
  EXPECT_EQ(rig.form.Panel.Label12, "");
  rig.clock.Advance(500);
  EXPECT_EQ(rig.form.Panel.Label12, " X X X X");
}

// What the next click does is in ReplugTest.cpp: it opens the same path again, which here could
// already be another test's new terminal of the same number.
TEST(WithSimulator, HangUpLeavesThePanelResponsiveWithThePortLost) {
  SimRig rig({"--hangup-after", "2"});
  EXPECT_EQ(rig.Ask("CR0").Label22, " Stand by");
  EXPECT_EQ(rig.Ask("CR1").Label22, " Input mode 1");  // the last frame is still answered
  ASSERT_TRUE(WaitUntil([&] { return !rig.link.IsOpen(); }, 5000));
  QProcess& sim = rig.sim.Process();
  EXPECT_TRUE(WaitUntil([&] { return sim.state() == QProcess::NotRunning; }, 5000));
  EXPECT_EQ(sim.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(sim.exitCode(), 0);

  const double before = CpuSeconds();
  QTest::qWait(500);
  EXPECT_LT(CpuSeconds() - before, 0.25) << "the event loop spins on the dead line";
  EXPECT_TRUE(rig.link.IsLost());
  EXPECT_TRUE(rig.window.warnings.empty());
}

TEST(WithSimulator, GarbageOnTheLineShowsUnknownBytesAndBreaksNothing) {
  SimRig rig({"--garbage", "--warmup-ms", "0"});
  for (const char* query : {"CR0", "CR1", "CR3", "CR4", "CR6", "CR7", "CR9", "CRA", "CR PRESSURE", "C00"}) {
    EXPECT_NE(rig.Ask(query).Label12.find("? "), std::string::npos) << query;
  }
  EXPECT_EQ(rig.sim.Process().state(), QProcess::Running);
  EXPECT_TRUE(rig.link.IsOpen());
  EXPECT_TRUE(rig.window.warnings.empty());
}

TEST(WithSimulator, OnlyFramesForItsAddressAreAnswered) {
  SimRig rig({"--address", "002", "--warmup-ms", "0"});
  const struct {
    const char* prefix;
    bool answered;
  } cases[] = {{"", true}, {"A002", true}, {"A001", false}, {"A003", false}, {"AFFF", false}};
  for (const auto& c : cases) {
    rig.form.State.AddressPrefix = c.prefix;
    if (c.answered) {
      EXPECT_EQ(rig.Ask("CR0").Label22, " Stand by") << c.prefix;
      continue;
    }
    rig.Send("CR0");
    ASSERT_TRUE(rig.Received(std::string(c.prefix) + "CR0"));
    QTest::qWait(150);
    rig.clock.Advance(500);
    EXPECT_EQ(rig.form.Panel.Label12, " X X X X") << c.prefix;
    rig.clock.Advance(500);
  }
}

TEST(WithSimulator, EveryProjectorActsOnABroadcastButOnlyTheAddressedOneOnItsOwn) {
  SimRig rig({"--address", "002", "--warmup-ms", "0", "--cooldown-ms", "0"});
  for (const char* frame : {"AFFFC00", "A001C01"}) {
    rig.form.State.AddressPrefix = std::string(frame, 4);
    rig.Send(frame + 4);
    ASSERT_TRUE(rig.Received(frame));
    rig.clock.Advance(1000);
  }
  rig.form.State.AddressPrefix = "A002";
  EXPECT_EQ(rig.Ask("CR0").Label22, " Power ON");
}

// The far end of the test's own pseudo terminal stands in for a serial device.
TEST(WithSimulator, AttachesToAGivenDevice) {
  Pty cable;
  const QString device = QString::fromStdString(cable.SlavePath());
  SimProcess sim({QStringLiteral("--device"), device});
  EXPECT_EQ(sim.Path(), device);
  cable.Write("CR0\r");
  EXPECT_EQ(cable.Read(3, 5000), "80\r");
}

// The speed the device's line is set to now, as its termios say.
speed_t DeviceSpeed(const QString& path) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
  termios settings{};
  const bool read = fd >= 0 && ::tcgetattr(fd, &settings) == 0;
  if (fd >= 0) ::close(fd);
  return read ? ::cfgetospeed(&settings) : B0;
}

// The rules of the serial link, kept through a real ser2net in each of its two kinds.
TEST(WithSimulator, ThroughANetworkServerTheLinkKeepsItsRules) {
  const struct {
    const char* name;
    QStringList simArgs;
    std::vector<Via> vias;
    void (*check)(SimRig&);
  } cases[] = {
      {"a speed change reaches the device", {}, {Via::Rfc2217}, [](SimRig& rig) {
         const auto choose = [&rig](void (LinkSettings::*option)()) {
           rig.form.Dispatch.Run(OnFailure::EndProgram, [&] { (rig.form.linkSettings.*option)(); });
         };
         choose(&LinkSettings::Option10_Click);
         EXPECT_EQ(DeviceSpeed(rig.sim.Path()), B9600);
         EXPECT_EQ(rig.Ask("CR0").Label22, " Stand by");
         choose(&LinkSettings::Option9_Click);
         EXPECT_EQ(DeviceSpeed(rig.sim.Path()), B19200);
         EXPECT_TRUE(rig.window.fatals.empty() && rig.window.warnings.empty());
       }},
      {"the speed of a raw port is the server's, and it says so once", {}, {Via::Raw}, [](SimRig& rig) {
         for (void (LinkSettings::*option)() : {&LinkSettings::Option10_Click, &LinkSettings::Option9_Click,
                                                 &LinkSettings::Option10_Click}) {
           rig.form.Dispatch.Run(OnFailure::EndProgram, [&] { (rig.form.linkSettings.*option)(); });
         }
         EXPECT_EQ(DeviceSpeed(rig.sim.Path()), B19200);
         ASSERT_EQ(rig.window.warnings.size(), 1u);
         EXPECT_NE(rig.window.warnings[0].find("the server's own setting rules"), std::string::npos);
         EXPECT_TRUE(rig.window.fatals.empty());
         EXPECT_EQ(rig.Ask("CR0").Label22, " Stand by");
       }},
      {"a 0xFF byte in a reply arrives once", {"--ff-before-cr"}, {Via::Rfc2217, Via::Raw}, [](SimRig& rig) {
         const PanelState seen = rig.Ask("CR0");
         EXPECT_EQ(seen.Label12, " 8 0 ? CR ");
         EXPECT_EQ(seen.Label22, " Stand by");
       }},
      {"a killed server is a lost port; once it is back the next click goes through", {}, {Via::Rfc2217, Via::Raw},
       [](SimRig& rig) {
         EXPECT_EQ(rig.Ask("CR0").Label22, " Stand by");
         rig.server->Kill();
         ASSERT_TRUE(WaitUntil([&] { return rig.link.IsLost(); }, 5000));
         rig.Send("CR0");  // the server is still away: one warning that names it
         ASSERT_EQ(rig.window.warnings.size(), 1u);
         const std::string server = "127.0.0.1 port " + std::to_string(rig.server->Port());
         EXPECT_NE(rig.window.warnings[0].find("connecting again failed: nothing accepts connections at " + server),
                   std::string::npos) << rig.window.warnings[0];
         rig.server->Restart();
         {
           const SerialLink::NoReopen tick(rig.link);  // a repeat tick never connects
           EXPECT_THROW(rig.link.Write("CR0\r"), LinkLost);
         }
         EXPECT_TRUE(rig.link.IsLost());
         EXPECT_EQ(rig.Ask("CR0").Label22, " Stand by");
         EXPECT_EQ(rig.window.warnings.size(), 1u);
       }},
  };
  for (const auto& c : cases) {
    for (const Via via : c.vias) {
      SCOPED_TRACE(std::string(c.name) + " (" + Shown(via) + ")");
      SimRig rig(QStringList{"--warmup-ms", "0"} + c.simArgs, via);
      ASSERT_TRUE(rig.window.fatals.empty()) << rig.window.fatals[0];
      c.check(rig);
    }
  }
}

// The real window on a network port, driven by mouse clicks: STATUS, then COM and 9600.
TEST(WithSimulator, TheWindowWorksThroughANetworkServer) {
  for (const Via via : {Via::Rfc2217, Via::Raw}) {
    SCOPED_TRACE(Shown(via));
    SimProcess sim({});
    const std::unique_ptr<Ser2net> server = Server(via, sim.Path());
    const BoxWatcher boxes;
    LinkByDevice link(PortMap{server->Url(), QStringLiteral("/nonexistent/com2")});
    MainWindow window(link);
    window.Load();
    ASSERT_FALSE(window.Failed());
    window.show();
    const auto click = [&window](const char* name) {
      QTest::mouseClick(window.Control(QString::fromLatin1(name)), Qt::LeftButton);
    };
    click("Command44");
    EXPECT_TRUE(WaitUntil([&] { return window.Core().Panel.Label22 == " Stand by"; }, 5000));
    click("Command33");
    click("Option10");
    EXPECT_EQ(DeviceSpeed(sim.Path()), via == Via::Rfc2217 ? B9600 : B19200);
    EXPECT_EQ(boxes.texts.size(), via == Via::Rfc2217 ? 0 : 1);  // the raw port's speed is the server's
    EXPECT_TRUE(link.IsOpen());
  }
}

// Real clicks on the window: TEMP clicked 0.15 s after L-TIME, whose reply came at once and whose
// window is still open, shows what TEMP alone shows, with the simulator answering as it does.
TEST(WithSimulator, ATemperatureClickedInTheLampHoursWindowReadsAsItsOwn) {
  SimProcess sim({});
  QtSerialLink link(PortMap{sim.Path(), QStringLiteral("/nonexistent/com2")});
  MainWindow window(link);
  window.Load();
  ASSERT_FALSE(window.Failed());
  window.show();
  const auto click = [&window](const char* name) {
    QTest::mouseClick(window.Control(QString::fromLatin1(name)), Qt::LeftButton);
  };
  const PanelState& panel = window.Core().Panel;
  const auto temperatures = [&] {
    return WaitUntil([&] { return panel.Label12.ends_with("CR ") && panel.Label12 != " 0 1 2 3 4 CR "; }, 5000);
  };
  click("Command54");
  ASSERT_TRUE(temperatures());
  const std::string alone = panel.Label22;
  ASSERT_TRUE(WaitUntil([&] { return !window.Core().WindowTimers().Timer2.Enabled(); }, 5000));
  click("Command46");
  ASSERT_TRUE(WaitUntil([&] { return panel.Label12 == " 0 1 2 3 4 CR "; }, 5000));
  QTest::qWait(150);
  ASSERT_TRUE(window.Core().WindowTimers().Timer2.Enabled());  // L-TIME's window is still open
  click("Command54");
  ASSERT_TRUE(temperatures());
  EXPECT_EQ(panel.Label22, alone);
  EXPECT_EQ(panel.Label12.find(" 0 1 2 3 4"), std::string::npos) << panel.Label12;
}

}  // namespace
