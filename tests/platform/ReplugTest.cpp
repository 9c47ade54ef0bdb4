// A device that goes away and comes back, as USB adapters do: COM1 is a symbolic link (like the
// /dev/serial/by-id/... links) to a pseudo terminal; unplugging hangs that terminal up, plugging
// back in points the link at a new one, which the test says is the same adapter or another.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "LogLines.h"
#include "QtRig.h"
#include "SeamedLink.h"
#include "hold/HoldButton.h"
#include "platform/TrafficLog.h"

namespace {

class Replug : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    link.identities[QString::fromStdString(device->SlavePath())] = kAdapter;
    PointAt(device->SlavePath());
    form.Load();
    ASSERT_TRUE(window.fatals.empty());
  }

  void PointAt(const std::string& target) {
    QFile::remove(com1);
    ASSERT_EQ(::symlink(target.c_str(), com1.toLocal8Bit().constData()), 0);
  }
  // The adapter is pulled: the terminal hangs up and the link leads nowhere.
  void Unplug() {
    device->HangUp();
    ASSERT_TRUE(WaitUntil([&] { return link.IsLost(); }));
    PointAt(dir.filePath(QStringLiteral("gone")).toStdString());
  }
  // Plugged back in: a new terminal behind the same link, standing for `who`.
  void PlugIn(const QString& who = kAdapter) {
    device = std::make_unique<Pty>();
    link.identities[QString::fromStdString(device->SlavePath())] = who;
    PointAt(device->SlavePath());
  }
  void Run(const std::function<void()>& handler, OnFailure onFailure = OnFailure::Warn) {
    form.Dispatch.Run(onFailure, handler);
  }
  void Send(const std::string& command) {
    Run([&] { form.exchange.Send(command); });
  }
  void PressZoom() {
    Run([&] { form.hold.Press(*FindHoldButton(std::string_view("Command15"))); });
  }
  speed_t Speed() const {
    termios t{};
    const int fd = ::open(device->SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    tcgetattr(fd, &t);
    ::close(fd);
    return cfgetospeed(&t);
  }

  static inline const QString kAdapter = QStringLiteral("USB 0403:6001");
  QTemporaryDir dir;
  QString com1 = dir.filePath(QStringLiteral("COM1"));
  std::unique_ptr<Pty> device = std::make_unique<Pty>();
  FakeClock clock;
  FakeTimer timer1{clock}, timer2{clock}, timer3{clock}, timer4{clock};
  FakeWindow window;
  SeamedLink link{PortMap{com1, QStringLiteral("/nonexistent/com2")}};
  Form1 form{link, Timers{timer1, timer2, timer3, timer4}, window};
};

TEST_F(Replug, ClickAfterReplugSendsOnTheNewDeviceWithNoBoxAndTheLogSaysSo) {
  TrafficLog log([this] { return link.PortName(); });
  ASSERT_EQ(log.Open(dir.filePath(QStringLiteral("traffic.log"))), std::nullopt);
  log.Watch(link);
  form.exchange.AddObserver(log);
  Unplug();
  PlugIn();
  Send("C00");
  EXPECT_EQ(device->Read(4), "C00\r");
  EXPECT_TRUE(window.warnings.empty()) << window.warnings.front();
  EXPECT_TRUE(link.IsOpen());
  EXPECT_FALSE(link.IsLost());
  EXPECT_EQ(LogEvents(dir.filePath(QStringLiteral("traffic.log")), "COM1 (" + com1.toStdString() + ")"),
            (std::vector<std::string>{"lost", "reopened", "TXD  C 0 0 CR "}));
}

TEST_F(Replug, WhileUnpluggedOneClickGivesOneTrueBoxAndComReopensOnceTheDeviceIsBack) {
  Unplug();
  const double before = CpuSeconds();
  QTest::qWait(1000);
  EXPECT_LT(CpuSeconds() - before, 0.3) << "the event loop spins while the device is away";

  Send("C00");
  ASSERT_EQ(window.warnings.size(), 1u);
  const std::string& box = window.warnings[0];
  EXPECT_NE(box.find(com1.toStdString()), std::string::npos) << box;  // the path as given
  EXPECT_NE(box.find("hung up or was unplugged"), std::string::npos) << box;
  EXPECT_NE(box.find("Reconnect the device, then click again; once it is back, choosing the port"), std::string::npos)
      << box;
  EXPECT_EQ(box.find("ioctl"), std::string::npos) << box;
  EXPECT_EQ(form.State.TxFrame, "C00\r");  // the handler got as far as the write

  PlugIn();
  Run([&] { form.linkSettings.Command33_Click(); });
  Run([&] { form.linkSettings.Option1_Click(); });
  EXPECT_TRUE(link.IsOpen());
  EXPECT_FALSE(form.Panel.Frame8Visible);
  Send("C01");
  EXPECT_EQ(device->Read(4), "C01\r");
  EXPECT_EQ(window.warnings.size(), 1u);
}

// Another device has taken the path: it gets nothing unasked, and the box says how to use it on
// purpose. The operator's port selection opens whatever is there, and a later loss remembers that.
TEST_F(Replug, ADifferentDeviceAtThePathGetsNothingUntilTheOperatorChoosesThePort) {
  const QString other = QStringLiteral("USB 067b:2303");
  Unplug();
  PlugIn(other);
  Send("CR0");
  EXPECT_EQ(device->Read(1, 300), "");
  EXPECT_TRUE(link.IsLost());
  ASSERT_EQ(window.warnings.size(), 1u);
  for (const char* says : {"Nothing was sent", "a different one", "choose COM1 again with COM", "--com1"}) {
    EXPECT_NE(window.warnings[0].find(says), std::string::npos) << says << " not in: " << window.warnings[0];
  }
  Run([&] { form.linkSettings.Option1_Click(); });
  Send("CR0");
  EXPECT_EQ(device->Read(4), "CR0\r");
  Unplug();
  PlugIn(other);
  Send("C00");
  EXPECT_EQ(device->Read(4), "C00\r");
  EXPECT_EQ(window.warnings.size(), 1u);
}

TEST_F(Replug, SpeedChosenAsTheDeviceHangsUpWarnsOnceAndIsTheSpeedOfTheReopen) {
  device->HangUp();  // the click lands before the event loop has seen the hang-up
  Run([&] { form.linkSettings.Option10_Click(); }, OnFailure::EndProgram);
  EXPECT_TRUE(window.fatals.empty()) << window.fatals.front();
  ASSERT_EQ(window.warnings.size(), 1u);
  EXPECT_NE(window.warnings[0].find("kept"), std::string::npos) << window.warnings[0];
  EXPECT_TRUE(link.IsLost());
  QTest::qWait(100);  // the port's own late error report adds nothing
  EXPECT_EQ(window.warnings.size(), 1u);

  PlugIn();
  Send("C00");
  EXPECT_EQ(device->Read(4), "C00\r");
  EXPECT_EQ(Speed(), static_cast<speed_t>(B9600));
}

TEST_F(Replug, RepeatTicksLeaveTheDeviceClosedAndTheNextPressOpensIt) {
  PressZoom();
  EXPECT_EQ(device->Read(4), "C47\r");
  device->HangUp();
  ASSERT_TRUE(WaitUntil([&] { return link.IsLost(); }));
  PlugIn();
  clock.Advance(105 * 5);
  EXPECT_EQ(device->Read(1, 300), "");
  EXPECT_TRUE(link.IsLost());
  EXPECT_EQ(window.warnings.size(), 1u);

  PressZoom();
  EXPECT_EQ(device->Read(4), "C47\r");
}

// Without a seam: a pseudo terminal's number passes to the next terminal opened once the lost one
// is gone, at the same path with the same device number. Only its node is new, and that is enough
// for the panel to send it nothing.
TEST(ReplugRealNodes, ATerminalThatTookTheLostOnesNumberGetsNothing) {
  auto lost = std::make_unique<Pty>();
  const std::string path = lost->SlavePath();
  FakeClock clock;
  FakeTimer timer1{clock}, timer2{clock}, timer3{clock}, timer4{clock};
  FakeWindow window;
  QtSerialLink link{PortMap{QString::fromStdString(path), QStringLiteral("/nonexistent/com2")}};
  Form1 form{link, Timers{timer1, timer2, timer3, timer4}, window};
  form.Load();
  ASSERT_TRUE(window.fatals.empty());
  lost->HangUp();
  ASSERT_TRUE(WaitUntil([&] { return link.IsLost(); }));
  lost.reset();
  // The lowest free number is taken: the lost one's, unless a test beside this one took it first.
  std::vector<std::unique_ptr<Pty>> opened;
  for (int i = 0; i < 20 && (opened.empty() || opened.back()->SlavePath() != path); ++i) {
    opened.push_back(std::make_unique<Pty>());
  }
  if (opened.back()->SlavePath() != path) GTEST_SKIP() << path << " went to another program";
  form.Dispatch.Run(OnFailure::Warn, [&] { form.exchange.Send("C00"); });
  EXPECT_EQ(opened.back()->Read(1, 300), "");
  EXPECT_TRUE(link.IsLost());
  ASSERT_EQ(window.warnings.size(), 1u);
  EXPECT_NE(window.warnings[0].find("a different one"), std::string::npos) << window.warnings[0];
}

}  // namespace
