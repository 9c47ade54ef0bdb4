// Every sending button of the real window on a real line: the bytes that leave, the "TXD" line,
// and the intervals the click, press and release leave behind, against tests/fixtures/buttons.txt.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <array>

#include "Fixture.h"
#include "WindowTest.h"

namespace {

using Intervals = std::array<int, 4>;  // Timer1, Timer2, Timer4, then CursorPadMode

// Distinctive values set before each button, so that "left as it was" can be told from a setting.
// (The mode is always written out in the fixture.)
constexpr Intervals kBefore{3001, 3002, 3004, 0};

// A fixture field "T1 T2 T4 mode"; "-" keeps the interval of `was`.
Intervals Expected(const std::string& field, const Intervals& was) {
  const auto words = Words(field);
  Intervals out{};
  for (std::size_t i = 0; i < 4; ++i) out[i] = words.at(i) == "-" ? was[i] : std::stoi(words.at(i));
  return out;
}

// The "TXD" line of a frame of printable characters: a blank, then every character and a blank.
std::string Shown(const std::string& frame) {
  std::string shown = " ";
  for (char c : frame) shown += c == '\r' ? std::string("CR ") : std::string{c, ' '};
  return shown;
}

class ButtonWire : public WindowTest {
 protected:
  Intervals Now() {
    const Timers t = window.Core().WindowTimers();
    return {t.Timer1.Interval(), t.Timer2.Interval(), t.Timer4.Interval(), window.Core().State.CursorPadMode};
  }
  std::string Line(const char* label) { return Find<QLabel>(label)->text().toStdString(); }
};

TEST_F(ButtonWire, EveryButtonSendsItsFrameShowsItAndLeavesItsIntervals) {
  Unfold();
  const auto rows = ReadFixture("buttons.txt");
  ASSERT_EQ(rows.size(), 58u + 19u);
  Form1& core = window.Core();
  const Timers timers = core.WindowTimers();
  for (const auto& [option, prefix] : {std::pair{"Option3", ""}, std::pair{"Option7", "A003"}}) {
    auto* address = Find<QRadioButton>(option);
    QTest::mouseClick(address, Qt::LeftButton, {}, QPoint(5, address->height() / 2));
    ASSERT_EQ(core.State.AddressPrefix, prefix);
    for (const auto& row : rows) {
      SCOPED_TRACE(row.at(0) + " with the prefix \"" + prefix + "\"");
      auto* button = Find<QPushButton>(row.at(0).c_str());
      ASSERT_NE(button, nullptr);
      EXPECT_EQ(button->accessibleName().toStdString(), row.at(2));
      const bool hold = row.at(1) == "hold";
      const std::string frame = prefix + row.at(3) + "\r";

      timers.Timer1.SetEnabled(false);
      timers.Timer1.SetInterval(kBefore[0]);
      timers.Timer2.SetInterval(kBefore[1]);
      timers.Timer4.SetInterval(kBefore[2]);
      core.State.CursorPadMode = static_cast<std::uint8_t>(std::stoi(row.at(4)));
      if (hold) {
        QTest::mousePress(button, Qt::LeftButton);
      } else {
        QTest::mouseClick(button, Qt::LeftButton);
      }
      // Looked at before the event loop runs again: a 5 ms display clearing would empty the line.
      EXPECT_EQ(Line("Label11"), Shown(frame));
      EXPECT_EQ(core.State.TxFrame, frame);
      const Intervals pressed = Expected(row.at(5), kBefore);
      EXPECT_EQ(Now(), pressed);
      EXPECT_EQ(timers.Timer1.Enabled(), hold) << "the repeat timer runs only while a button is held";
      EXPECT_TRUE(timers.Timer2.Enabled());
      EXPECT_TRUE(timers.Timer4.Enabled());

      if (hold) {
        core.State.RxBuffer = "00\r";  // a reply on its way: the release drops it and its line
        core.Panel.Label12 = " 0 0 CR ";
        QTest::mouseRelease(button, Qt::LeftButton);
        EXPECT_EQ(Now(), Expected(row.at(6), pressed));
        EXPECT_EQ(core.State.HoldCode, 0);
        EXPECT_FALSE(timers.Timer1.Enabled());
        EXPECT_FALSE(timers.Timer2.Enabled()) << "no missing-reply notice after a hold";
        EXPECT_TRUE(timers.Timer4.Enabled());
        EXPECT_EQ(core.State.RxBuffer, "");
        EXPECT_EQ(Line("Label11"), "");
        EXPECT_EQ(Line("Label12"), "");
      }
      EXPECT_EQ(pty.Read(frame.size()), frame);
    }
  }
  EXPECT_EQ(pty.Read(1, 200), "") << "more went out than one frame a button";
}

}  // namespace
