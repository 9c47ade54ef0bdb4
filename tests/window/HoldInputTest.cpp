// Hold buttons in the real window: which input starts, ends or never starts a hold.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <functional>

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

TEST_F(HoldInputTest, QuickDoubleClickPressesTwice) {
  QPushButton* focusPlus = Button("Command36");
  QTest::mousePress(focusPlus, Qt::LeftButton);
  QTest::mouseRelease(focusPlus, Qt::LeftButton);
  QTest::mouseDClick(focusPlus, Qt::LeftButton);  // the second press arrives as a double click
  QTest::mouseRelease(focusPlus, Qt::LeftButton);
  EXPECT_EQ(pty.Read(8), "C4B\rC4B\r");
  EXPECT_EQ(HoldCode(), 0);
}

TEST_F(HoldInputTest, KeyboardOnAHoldButtonSendsNothing) {
  Button("Command6")->setFocus();
  QTest::keyClick(Button("Command6"), Qt::Key_Space);
  QTest::keyClick(Button("Command6"), Qt::Key_Return);
  EXPECT_EQ(pty.Read(1, 300), "");
  EXPECT_EQ(HoldCode(), 0);
}

// A motor must not keep running once the mouse can no longer release its button: the hold ends
// as its release would, with the D.Zoom steps where they apply.
TEST_F(HoldInputTest, LosingTheFocusOrTheWindowDuringAHoldEndsItAsAReleaseWould) {
  Unfold();
  QWidget other;  // another application's window
  struct Ending {
    const char* how;
    std::function<void()> act;
  };
  const Ending endings[] = {
      {"Tab moves the focus on", [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); }},
      {"a click in the command box takes the focus", [&] { QTest::mouseClick(Find("Text1"), Qt::LeftButton); }},
      {"another window becomes active",
       [&] {
         other.show();
         other.activateWindow();
         ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
       }},
  };
  struct Held {
    const char* button;
    std::uint8_t code;
    int repeatAfter;  // Timer1's interval once the hold has ended
    std::uint8_t padAfter;
  };
  const Held helds[] = {{"Command15", 7, 105, 0}, {"Command48", 17, 5, 3}};
  const Timers timers = window.Core().WindowTimers();
  for (const Ending& ending : endings) {
    for (const Held& held : helds) {
      SCOPED_TRACE(std::string(held.button) + ": " + ending.how);
      window.activateWindow();
      ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
      window.Core().State.CursorPadMode = 0;
      QTest::mousePress(Button(held.button), Qt::LeftButton);
      ASSERT_EQ(HoldCode(), held.code);
      ASSERT_EQ(QApplication::focusWidget(), Button(held.button));
      ending.act();
      EXPECT_EQ(HoldCode(), 0);
      EXPECT_FALSE(timers.Timer1.Enabled()) << "the hold kept repeating";
      EXPECT_FALSE(timers.Timer2.Enabled());
      EXPECT_EQ(timers.Timer1.Interval(), held.repeatAfter);
      EXPECT_EQ(timers.Timer2.Interval(), 500);
      EXPECT_EQ(timers.Timer4.Interval(), 1000);
      EXPECT_EQ(window.Core().State.CursorPadMode, held.padAfter);
      QTest::mouseRelease(Button(held.button), Qt::LeftButton);
    }
  }
}

// Every button's mouse click is checked on the line by ButtonWire.
TEST_F(HoldInputTest, OneShotButtonSendsOnSpaceFromTheKeyboard) {
  Button("Command17")->setFocus();
  QTest::keyClick(Button("Command17"), Qt::Key_Space);  // a click from the keyboard is a click
  EXPECT_EQ(pty.Read(4), "C00\r");
}

}  // namespace
