#include "window/MainWindow.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <functional>

#include "BoxWatcher.h"
#include "LogLines.h"
#include "QtRig.h"
#include "WindowTest.h"

namespace {

TEST(MainWindow, HasItsTitleFixedWidthAndTheThreeMonitorLines) {
  Pty pty;
  QtSerialLink link(PortMap{QString::fromStdString(pty.SlavePath()), QString()});
  MainWindow window(link);
  window.Load();
  ASSERT_FALSE(window.Failed());
  EXPECT_EQ(window.windowTitle(), QStringLiteral("VESK   Q8    CONTROL   Ver.1.41 BASE"));
  EXPECT_EQ(window.width(), 633);
  EXPECT_EQ(window.minimumWidth(), window.maximumWidth());
  EXPECT_EQ(window.height(), 332);  // 5350 outer less the 370-twip frame, at 15 twips a pixel
  for (const char* name : {"Label11", "Label12", "Label22"}) {
    EXPECT_NE(window.findChild<QLabel*>(QString::fromLatin1(name)), nullptr) << name;
  }
}

TEST(MainWindow, ShowsWhatTheCoreSendsAndReceives) {
  Pty pty;
  QtSerialLink link(PortMap{QString::fromStdString(pty.SlavePath()), QString()});
  MainWindow window(link);
  window.Load();
  window.Core().Dispatch.Run(OnFailure::Warn, [&] { window.Core().exchange.Send("CR0"); });
  auto* txd = window.findChild<QLabel*>(QStringLiteral("Label11"));
  EXPECT_EQ(txd->text(), QStringLiteral(" C R 0 CR "));
  EXPECT_EQ(pty.Read(4), "CR0\r");
  pty.Write("80\r");
  auto* status = window.findChild<QLabel*>(QStringLiteral("Label22"));
  EXPECT_TRUE(WaitUntil([&] { return status->text() == QStringLiteral(" Stand by"); }));
}

TEST(MainWindow, StartUpWithoutComOneShowsWhyAndFails) {
  BoxWatcher boxes;
  QtSerialLink link(PortMap{QStringLiteral("/nonexistent/ttyS0"), QString()});
  MainWindow window(link);
  window.Load();
  EXPECT_TRUE(window.Failed());
  ASSERT_EQ(boxes.texts.size(), 1);
  EXPECT_TRUE(boxes.texts[0].contains(QStringLiteral("/nonexistent/ttyS0")));
  EXPECT_EQ(boxes.icons[0], QMessageBox::Critical);
}

TEST(MainWindow, FailedSendIsReportedInOneWarningBox) {
  BoxWatcher boxes;
  Pty pty;
  QtSerialLink link(PortMap{QString::fromStdString(pty.SlavePath()), QString()});
  MainWindow window(link);
  window.Load();
  link.Close();
  window.Core().Dispatch.Run(OnFailure::Warn, [&] { window.Core().exchange.Send("C00"); });
  ASSERT_EQ(boxes.texts.size(), 1);
  EXPECT_EQ(boxes.icons[0], QMessageBox::Warning);
  EXPECT_TRUE(boxes.texts[0].contains(QStringLiteral("not open")));
  EXPECT_EQ(window.Core().State.TxFrame, "C00\r");
}

TEST(MainWindow, ALogThatCannotBeOpenedIsToldOnceAtStartAndThePanelRuns) {
  BoxWatcher boxes;
  Pty pty;
  QtSerialLink link(PortMap{QString::fromStdString(pty.SlavePath()), QString()});
  TrafficLog log([&link] { return link.PortName(); });
  MainWindow window(link);
  window.KeepLog(log, log.Open(QStringLiteral("/nonexistent/traffic.log")));
  window.Load();
  EXPECT_FALSE(window.Failed());
  ASSERT_EQ(boxes.texts.size(), 1);
  EXPECT_TRUE(boxes.texts[0].startsWith(QStringLiteral("The traffic log /nonexistent/traffic.log could not be opened")));
  EXPECT_EQ(boxes.icons[0], QMessageBox::Warning);
}

// The compact panel hides the monitor: a click that got no answer says so beside the button.
class NoAnswerSign : public WindowTest {
 protected:
  QLabel* Balloon() { return window.Balloon(); }
  bool BalloonShown() { return Balloon()->isVisible(); }
  const Timers timers = window.Core().WindowTimers();
};

TEST_F(NoAnswerSign, ShowsBesideTheClickedButtonOnlyForNoReplyOrErrWhileRxdIsOutOfView) {
  const auto dataView = [&] {
    Unfold();
    QTest::mouseClick(Find("Command34"), Qt::LeftButton);
    QTest::mouseClick(Find("Command34"), Qt::LeftButton);
    ASSERT_EQ(window.height(), 418);
  };
  const std::string port = "COM1 (" + pty.SlavePath() + ")";
  const struct {
    const char* what;
    std::function<void()> view;
    const char* button;
    std::string answer;
    bool late;            // the answer comes after the window
    std::string balloon;  // none: empty; "...": begins so
    std::string status;   // the "STATUS" line then
  } cases[] = {
      {"no reply", [] {}, "Command17", "", false, "No reply from " + port + " within 150 ms", ""},
      {"refused", [] {}, "Command17", "ERR\r", false, "The projector answered ERR to C00", ""},
      {"acknowledged", [] {}, "Command17", "\x06\r", false, "", ""},
      {"answered late", [] {}, "Command17", "\x06\r", true, port + " answered after ...", ""},
      {"no reply in the data view", dataView, "Command17", "", false, "", ""},
      {"answered late in the data view", [] {}, "Command44", "00\r", true, "", " Power ON (late)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    c.view();
    timers.Timer2.SetInterval(150);
    timers.Timer4.SetInterval(5000);
    auto* on = Find(c.button);
    QTest::mouseClick(on, Qt::LeftButton);
    ASSERT_EQ(pty.Read(4).back(), '\r');
    ASSERT_TRUE(!c.late || WaitUntil([&] { return !timers.Timer2.Enabled(); }));
    pty.Write(c.answer);
    ASSERT_TRUE(WaitUntil([&] { return !timers.Timer2.Enabled(); }));
    ASSERT_TRUE(!c.late || WaitUntil([&] { return window.Core().State.RxBuffer == c.answer; }));
    QTest::qWait(50);
    EXPECT_EQ(window.Core().Panel.Label22, c.status);
    if (c.balloon.empty()) {
      EXPECT_FALSE(BalloonShown()) << Balloon()->text().toStdString();
      continue;
    }
    ASSERT_TRUE(BalloonShown());
    const std::string text = Balloon()->text().toStdString();
    if (c.balloon.ends_with("...")) {
      EXPECT_EQ(text.substr(0, c.balloon.size() - 3), c.balloon.substr(0, c.balloon.size() - 3));
      EXPECT_TRUE(text.ends_with(" ms")) << text;
    } else {
      EXPECT_EQ(text, c.balloon);
    }
    const QRect button(on->mapTo(&window, QPoint(0, 0)), on->size());
    EXPECT_GT(Balloon()->x(), button.right());
    EXPECT_TRUE(Balloon()->geometry().contains(Balloon()->x() + 1, button.center().y()));
  }
}

// --timeout: every button's reply window is the operator's, the lines half a second longer.
TEST_F(NoAnswerSign, AChosenReplyWaitOutlastsEveryButtonsOwn) {
  window.SetReplyWait(700);
  for (const char* button : {"Command17", "Command63", "Command4"}) {
    QTest::mouseClick(Find(button), Qt::LeftButton);
    EXPECT_EQ(timers.Timer2.Interval(), 700) << button;
    EXPECT_EQ(timers.Timer4.Interval(), 1200) << button;
  }
  ASSERT_TRUE(WaitUntil([&] { return !timers.Timer2.Enabled(); }));
  QTest::mouseClick(Find("Command17"), Qt::LeftButton);
  QTest::qWait(550);  // the plain window's 500 ms would be over before the answer
  pty.Write("\x06\r");
  ASSERT_TRUE(WaitUntil([&] { return window.Core().Panel.Label12 == " ACK CR "; }));
  EXPECT_FALSE(BalloonShown());
}

TEST_F(NoAnswerSign, AHeldButtonGivesOneBalloonPerHoldAndItGoesAtTheNextClick) {
  auto* zoom = Find("Command15");
  QTest::mousePress(zoom, Qt::LeftButton);
  ASSERT_TRUE(WaitUntil([&] { return BalloonShown(); }));
  Balloon()->hide();
  QTest::qWait(400);  // the repeated frames' windows run out again and again
  EXPECT_FALSE(BalloonShown());
  QTest::mouseRelease(zoom, Qt::LeftButton);
  QTest::mousePress(zoom, Qt::LeftButton);
  ASSERT_TRUE(WaitUntil([&] { return BalloonShown(); }));
  QTest::mouseRelease(zoom, Qt::LeftButton);
  QTest::mouseClick(Find("Command17"), Qt::LeftButton);
  EXPECT_FALSE(BalloonShown());
}

// Every exchange of the window on a line of its own, as the monitor shows it.
TEST_F(NoAnswerSign, TrafficLogHasALineForEachEvent) {
  QTemporaryDir dir;
  TrafficLog log([this] { return link.PortName(); });
  window.KeepLog(log, log.Open(dir.filePath(QStringLiteral("traffic.log"))));
  timers.Timer2.SetInterval(150);
  for (const bool late : {false, true}) {
    QTest::mouseClick(Find("Command17"), Qt::LeftButton);
    ASSERT_EQ(pty.Read(4), "C00\r");
    ASSERT_TRUE(!late || WaitUntil([&] { return !timers.Timer2.Enabled(); }));
    pty.Write("\x06\r");
    ASSERT_TRUE(WaitUntil([&] { return !window.Core().State.RxBuffer.empty(); }));
    ASSERT_TRUE(WaitUntil([&] { return !timers.Timer2.Enabled(); }));
  }
  EXPECT_EQ(LogEvents(dir.filePath(QStringLiteral("traffic.log")), "COM1 (" + pty.SlavePath() + ")"),
            (std::vector<std::string>{"TXD  C 0 0 CR ", "RXD  ACK CR ", "TXD  C 0 0 CR ", "no reply within 150 ms",
                                      "late  ACK CR "}));
}

}  // namespace
