#include "platform/QtSerialLink.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "QtRig.h"

namespace {

TEST(QtSerialLink, AddressedQueryLeavesAsExactlyEightBytes) {
  QtRig rig;
  rig.form.Load();
  ASSERT_TRUE(rig.window.fatals.empty());
  rig.form.State.AddressPrefix = "A001";
  rig.Send("CR0");
  EXPECT_EQ(rig.pty.Read(8), std::string("\x41\x30\x30\x31\x43\x52\x30\x0D"));
  EXPECT_EQ(rig.pty.Read(1, 200), "");  // nothing more
  EXPECT_EQ(rig.form.Panel.Label11, " A 0 0 1 C R 0 CR ");
}

TEST(QtSerialLink, ReplyInTwoPiecesArrivesInTwoEventsAndDecodesWhenComplete) {
  QtRig rig;
  rig.form.Load();
  rig.Send("CR0");
  rig.pty.Read(4);

  rig.pty.Write("0");
  ASSERT_TRUE(WaitUntil([&] { return rig.form.Panel.Label12 == " 0 "; }));
  EXPECT_EQ(rig.form.State.RxBuffer, "0");
  EXPECT_EQ(rig.form.Panel.Label22, "");

  rig.pty.Write("0\r");
  ASSERT_TRUE(WaitUntil([&] { return rig.form.Panel.Label12 == " 0 0 CR "; }));
  EXPECT_EQ(rig.form.Panel.Label22, " Power ON");
}

TEST(QtSerialLink, LineSettingsApplyToTheOpenPortWithoutReopeningIt) {
  QtRig rig;
  rig.form.Load();
  rig.link.SetLineSettings("9600,N,8,1");
  EXPECT_TRUE(rig.link.IsOpen());
  termios t{};
  const int fd = ::open(rig.pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  tcgetattr(fd, &t);
  ::close(fd);
  EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B9600));
  EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
}

// What the next click does with the lost port is in ReplugTest.cpp: it opens the same path
// again, which there leads to a new terminal.
TEST(QtSerialLink, VanishedDeviceClosesThePortWithoutSpinningAndCountsAsLost) {
  QtRig rig;
  rig.form.Load();
  ASSERT_TRUE(rig.link.IsOpen());
  EXPECT_FALSE(rig.link.IsLost());

  rig.pty.HangUp();
  ASSERT_TRUE(WaitUntil([&] { return !rig.link.IsOpen(); }));
  EXPECT_TRUE(rig.link.IsLost());
  const double before = CpuSeconds();
  QTest::qWait(1000);
  EXPECT_LT(CpuSeconds() - before, 0.3) << "the event loop spins on a dead port";
  EXPECT_TRUE(rig.window.warnings.empty());  // nothing is said until the operator acts

  rig.link.Close();  // the operator's close ends the loss
  EXPECT_FALSE(rig.link.IsLost());
}

// A frame the device does not take is told once, naming the frame and the port, and the port is
// lost: at once when the device went before the click (nothing drawn), or later when the frame
// waited for a stopped line (drawn). A frame that waited and then left is no failure.
TEST(QtSerialLink, AFrameThatDoesNotReachTheDeviceIsToldOnce) {
  const struct {
    bool stopped, resumes;
    const char* txd;
    std::size_t boxes;
  } cases[] = {{false, false, "", 1}, {true, false, " C 0 0 CR ", 1}, {true, true, " C 0 0 CR ", 0}};
  for (const auto& c : cases) {
    QtRig rig;
    rig.form.Load();
    if (c.stopped) ::tcflow(rig.pty.SlaveFd(), TCOOFF);
    if (!c.stopped) rig.pty.HangUp();
    rig.Send("C00");
    EXPECT_EQ(rig.form.Panel.Label11, c.txd);
    EXPECT_EQ(rig.window.warnings.empty(), c.stopped);
    if (c.resumes) ::tcflow(rig.pty.SlaveFd(), TCOON);
    EXPECT_EQ(rig.pty.Read(c.resumes ? 4 : 0), c.resumes ? "C00\r" : "");
    rig.pty.HangUp();
    ASSERT_TRUE(WaitUntil([&] { return rig.link.IsLost(); }));
    QTest::qWait(100);
    const std::string told = "\"C00\" did not reach COM1 (" + rig.pty.SlavePath() + ")";
    ASSERT_EQ(rig.window.warnings.size(), c.boxes) << c.txd;
    for (const std::string& box : rig.window.warnings) EXPECT_NE(box.find(told), std::string::npos) << box;
  }
}

// Who a device is does not depend on the name it was reached by; two devices are never one.
TEST(DeviceIdentity, FollowsLinksAndTellsTwoTerminalsApart) {
  Pty first, second;
  QTemporaryDir dir;
  const QString link = dir.filePath(QStringLiteral("link"));
  ASSERT_EQ(::symlink(first.SlavePath().c_str(), QFile::encodeName(link).constData()), 0);
  const DeviceIdentity identity = IdentifyDevice(QString::fromStdString(first.SlavePath()));
  EXPECT_EQ(IdentifyDevice(link), identity);
  EXPECT_NE(IdentifyDevice(QString::fromStdString(second.SlavePath())), identity);
  EXPECT_FALSE(IdentifyDevice(dir.filePath(QStringLiteral("none"))).Present());
}

// A USB adapter is itself wherever it is plugged in, told by what the kernel says of it: the same
// adapter under a new ttyUSB number is the same device, another of the same make is not, nor is
// the other port of a dual adapter; one without a serial number is known by its USB socket.
TEST(DeviceIdentity, KnowsAUsbAdapterByVendorProductSerialNumberAndInterface) {
  QTemporaryDir root;
  const auto make = [&root](const QString& file, const QByteArray& text = {}) {
    QDir().mkpath(QFileInfo(root.filePath(file)).path());
    QFile f(root.filePath(file));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
  };
  const struct {
    const char* tty;
    const char* usb;  // the USB device's folder under sys/devices
    const char* serial;
    const char* interface;  // its number, also the last digit of the interface's folder
  } adapters[] = {{"ttyUSB0", "usb1/1-1", "A50285BI", "0"}, {"ttyUSB1", "usb1/1-2", "A50285BJ", "0"},
                  {"ttyUSB2", "usb1/1-1", "A50285BI", "0"}, {"ttyUSB3", "usb1/1-1", "A50285BI", "1"},
                  {"ttyUSB4", "usb1/1-3", "", "0"},         {"ttyUSB5", "usb1/1-4", "", "0"},
                  {"ttyUSB6", "usb1/1-3", "", "0"}};
  for (const auto& a : adapters) {
    const QString usb = QStringLiteral("sys/devices/%1").arg(QLatin1String(a.usb));
    const QString port = usb + QStringLiteral("/1-1:1.") + a.interface;
    make(usb + "/idVendor", "0403\n");
    make(usb + "/idProduct", "6001\n");
    if (*a.serial != 0) make(usb + "/serial", QByteArray(a.serial) + "\n");
    make(port + "/bInterfaceNumber", QByteArray("0") + a.interface + "\n");
    make(port + "/" + a.tty + "/uevent");
    make(QStringLiteral("dev/%1").arg(QLatin1String(a.tty)));
    QDir().mkpath(root.filePath(QStringLiteral("sys/class/tty/%1").arg(QLatin1String(a.tty))));
    ASSERT_TRUE(QFile::link(root.filePath(port + "/" + a.tty),
                            root.filePath(QStringLiteral("sys/class/tty/%1/device").arg(QLatin1String(a.tty)))));
  }
  const auto identity = [&root](const char* tty) {
    return IdentifyDevice(root.filePath(QStringLiteral("dev/%1").arg(QLatin1String(tty))), root.filePath("sys"));
  };
  EXPECT_EQ(identity("ttyUSB0").text, QStringLiteral("USB 0403:6001 serial number \"A50285BI\" interface 00"));
  EXPECT_EQ(identity("ttyUSB2"), identity("ttyUSB0"));  // plugged back in under another number
  EXPECT_NE(identity("ttyUSB1"), identity("ttyUSB0"));
  EXPECT_NE(identity("ttyUSB3"), identity("ttyUSB0"));  // the adapter's other port
  EXPECT_EQ(identity("ttyUSB6"), identity("ttyUSB4"));  // back in the same socket
  EXPECT_NE(identity("ttyUSB5"), identity("ttyUSB4"));
}

TEST(QtSerialLink, ErrorTextsNameTheDeviceByItsWholePathAndSayWhatToDo) {
  // QSerialPort's own name of a device under /dev drops the "/dev/".
  for (const char* path : {"/nonexistent/ttyUSB7", "/dev/serial/by-id/usb-none-if00-port0"}) {
    QtSerialLink link(PortMap{QString::fromLatin1(path), QStringLiteral("/dev/ttyS1")});
    try {
      link.Open();
      FAIL() << "opened a missing device";
    } catch (const LinkError& error) {
      const std::string text = error.what();
      EXPECT_NE(text.find(std::string("COM1 (") + path + ")"), std::string::npos) << text;
      EXPECT_NE(text.find("does not exist"), std::string::npos) << text;
      EXPECT_NE(text.find("--com1"), std::string::npos) << text;
    }
  }
  QtSerialLink link(PortMap{QStringLiteral("/nonexistent/ttyUSB7"), QStringLiteral("/dev/ttyS1")});
  try {
    link.Write("C00\r");
    FAIL() << "wrote to a closed port";
  } catch (const LinkError& error) {
    EXPECT_NE(std::string(error.what()).find("not open"), std::string::npos) << error.what();
  }
  EXPECT_THROW(link.SetLineSettings("19200,X,8,1"), LinkError);
  EXPECT_THROW(link.SetPortNumber(3), LinkError);
}

}  // namespace
