// Port and speed selection through the real QSerialPort adapter, COM1 and COM2 on two pseudo
// terminals.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include "QtRig.h"
#include "SeamedLink.h"

namespace {

struct TwoPorts : ::testing::Test {
  void SetUp() override {
    form.Load();
    ASSERT_TRUE(window.fatals.empty());
  }
  void Send(const std::string& command) {
    form.Dispatch.Run(OnFailure::Warn, [&] { form.exchange.Send(command); });
  }
  void Handle(void (LinkSettings::*handler)(), OnFailure onFailure = OnFailure::Warn) {
    form.Dispatch.Run(onFailure, [&] { (form.linkSettings.*handler)(); });
  }
  static speed_t Speed(const Pty& pty) {
    termios t{};
    const int fd = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    tcgetattr(fd, &t);
    ::close(fd);
    return cfgetospeed(&t);
  }

  Pty com1, com2;
  FakeClock clock;
  FakeTimer timer1{clock}, timer2{clock}, timer3{clock}, timer4{clock};
  FakeWindow window;
  SeamedLink link{PortMap{QString::fromStdString(com1.SlavePath()), QString::fromStdString(com2.SlavePath())}};
  Form1 form{link, Timers{timer1, timer2, timer3, timer4}, window};
};

TEST_F(TwoPorts, FramesGoToThePortLastSelected) {
  Send("C00");
  EXPECT_EQ(com1.Read(4), "C00\r");
  Handle(&LinkSettings::Option2_Click);
  ASSERT_TRUE(window.warnings.empty());
  Send("C01");
  EXPECT_EQ(com2.Read(4), "C01\r");
  EXPECT_EQ(com1.Read(1, 200), "");
  Handle(&LinkSettings::Option1_Click);
  Send("C05");
  EXPECT_EQ(com1.Read(4), "C05\r");
  EXPECT_EQ(com2.Read(1, 200), "");
}

TEST_F(TwoPorts, SpeedChangeKeepsTheSameOpenPort) {
  Handle(&LinkSettings::Option2_Click);
  EXPECT_EQ(Speed(com2), static_cast<speed_t>(B19200));
  Handle(&LinkSettings::Option10_Click, OnFailure::EndProgram);
  EXPECT_TRUE(window.fatals.empty());
  EXPECT_EQ(Speed(com2), static_cast<speed_t>(B9600));
  Send("C00");
  EXPECT_EQ(com2.Read(4), "C00\r");
  // A port chosen later opens at the speed chosen last.
  Handle(&LinkSettings::Option1_Click);
  EXPECT_EQ(Speed(com1), static_cast<speed_t>(B9600));
}

// COM1's device hangs up in the middle of its open, so its line settings fail: that choice fails
// with one box and leaves the port closed, and no click finds its way to COM2 after it.
TEST_F(TwoPorts, DeviceLostWhileItOpensFailsThatChoiceAndNoFrameGoesToTheOtherPort) {
  Handle(&LinkSettings::Option2_Click);
  link.onOpened = [&] { com1.HangUp(); };
  Handle(&LinkSettings::Option1_Click);
  QTest::qWait(100);  // whatever the port queued during the open
  EXPECT_FALSE(link.IsOpen() || link.IsLost());
  Send("CR0");
  EXPECT_EQ(com2.Read(1, 300), "");
  ASSERT_EQ(window.warnings.size(), 2u);
  EXPECT_NE(window.warnings[0].find("while it was being opened"), std::string::npos) << window.warnings[0];
  EXPECT_NE(window.warnings[1].find("is not open"), std::string::npos) << window.warnings[1];
}

// The failed choice says the next one opens the port, and it does: no restart.
TEST_F(TwoPorts, VanishedComTwoIsReportedAndChoosingComOneOpensIt) {
  com2.HangUp();
  Handle(&LinkSettings::Option2_Click);
  ASSERT_EQ(window.warnings.size(), 1u);
  EXPECT_EQ(window.warnings[0].find("start it again"), std::string::npos) << window.warnings[0];
  EXPECT_FALSE(link.IsOpen());
  Handle(&LinkSettings::Option1_Click);
  EXPECT_TRUE(link.IsOpen());
  Send("C00");
  EXPECT_EQ(com1.Read(4), "C00\r");
  EXPECT_EQ(window.warnings.size(), 1u);
}

}  // namespace
