// Hold buttons in the real window: which input starts, ends or never starts a hold.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

#include "WindowTest.h"

namespace {

class HoldInputTest : public WindowTest {
 protected:
  QPushButton* Button(const char* name) { return Find<QPushButton>(name); }
  std::uint8_t HoldCode() { return window.Core().State.HoldCode; }
};

TEST_F(HoldInputTest, AnyMouseButtonStartsAHoldAndItsReleaseEndsIt) {
  for (Qt::MouseButton mouse : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
    QTest::mousePress(Button("Command15"), mouse);
    EXPECT_EQ(HoldCode(), 7) << mouse;
    EXPECT_EQ(pty.Read(4), "C47\r") << mouse;
    QTest::mouseRelease(Button("Command15"), mouse);
    EXPECT_EQ(HoldCode(), 0) << mouse;
  }
}

TEST_F(HoldInputTest, KeyboardOnAHoldButtonSendsNothing) {
  Button("Command6")->setFocus();
  QTest::keyClick(Button("Command6"), Qt::Key_Space);
  QTest::keyClick(Button("Command6"), Qt::Key_Return);
  EXPECT_EQ(pty.Read(1, 300), "");
  EXPECT_EQ(HoldCode(), 0);
}

TEST_F(HoldInputTest, LosingTheWindowDuringAHoldEndsIt) {
  QTest::mousePress(Button("Command61"), Qt::LeftButton);
  ASSERT_EQ(HoldCode(), 24);
  QWidget other;
  other.show();
  QApplication::setActiveWindow(&other);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  EXPECT_EQ(HoldCode(), 0);
  pty.Read(64, 300);  // whatever went out before the switch
  EXPECT_EQ(pty.Read(1, 400), "") << "the hold kept repeating";
}

TEST_F(HoldInputTest, OneShotButtonsSendOnClick) {
  QTest::mouseClick(Button("Command88"), Qt::LeftButton);
  EXPECT_EQ(pty.Read(17), "CF SHUTTER CLOSE\r");
  Button("Command17")->setFocus();
  QTest::keyClick(Button("Command17"), Qt::Key_Space);  // a click from the keyboard is a click
  EXPECT_EQ(pty.Read(4), "C00\r");
}

}  // namespace
