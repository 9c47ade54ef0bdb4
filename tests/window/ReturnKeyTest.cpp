// The keyboard on a focused button, through real key events in the offscreen window.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "WindowTest.h"

namespace {

class KeyOnAButton : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    Unfold();
  }
  QPushButton* Focus(const char* control) {
    auto* button = Find<QPushButton>(control);
    button->setFocus();
    EXPECT_EQ(QApplication::focusWidget(), button) << control;
    return button;
  }
};

TEST_F(KeyOnAButton, ReturnOrSpaceClicksAOneShotButtonAndNeitherMovesAHoldButton) {
  const struct {
    const char* control;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    std::string frame;  // empty: nothing may go out
  } cases[] = {
      {"Command17", Qt::Key_Return, Qt::NoModifier, "C00\r"},     // "ON"
      {"Command44", Qt::Key_Enter, Qt::KeypadModifier, "CR0\r"},  // "STATUS", keypad Enter
      {"Command17", Qt::Key_Space, Qt::NoModifier, "C00\r"},
      {"Command95", Qt::Key_Return, Qt::NoModifier, "C05\r"},     // "SEND" with C05 typed
      {"Command17", Qt::Key_Return, Qt::ControlModifier, ""},     // not plain Return
      {"Command15", Qt::Key_Return, Qt::NoModifier, ""},          // "Zoom" "+"
      {"Command15", Qt::Key_Space, Qt::NoModifier, ""},
      {"Command6", Qt::Key_Enter, Qt::KeypadModifier, ""},        // cursor pad "SELECT"
      {"Command5", Qt::Key_Return, Qt::NoModifier, ""},           // cursor pad "↑"
  };
  Find<QLineEdit>("Text1")->setText(QStringLiteral("C05"));
  for (const auto& c : cases) {
    QTest::keyClick(Focus(c.control), c.key, c.modifiers);
    if (c.frame.empty()) {
      EXPECT_EQ(pty.Read(1, 200), "") << c.control;
    } else {
      EXPECT_EQ(pty.Read(c.frame.size()), c.frame) << c.control;
    }
    EXPECT_EQ(window.Core().State.HoldCode, 0) << c.control;
  }
}

// Held down, the key repeats as pairs of release and press: the click comes once, when it is let
// go, so a box the click opens is not dismissed by the repeats of a key still down.
TEST_F(KeyOnAButton, ReturnHeldDownClicksOnceWhenLetGo) {
  QPushButton* on = Focus("Command17");
  const auto key = [on](QEvent::Type type, bool repeat) {
    QKeyEvent event(type, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), repeat);
    QApplication::sendEvent(on, &event);
  };
  for (bool repeat : {false, true, true, true}) {
    if (repeat) key(QEvent::KeyRelease, true);
    key(QEvent::KeyPress, repeat);
  }
  EXPECT_EQ(pty.Read(1, 200), "");
  key(QEvent::KeyRelease, false);
  EXPECT_EQ(pty.Read(4), "C00\r");
  EXPECT_EQ(pty.Read(1, 300), "");
}

}  // namespace
