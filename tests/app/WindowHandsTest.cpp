// The window as the holder of its port: a script's run goes through it, on a session of its own,
// while the operator's click made in one of its exchanges waits for that exchange to end and goes
// out before the next, and what was typed stays.
#include "WindowHands.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QLineEdit>
#include <algorithm>
#include <memory>
#include <vector>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "QtRig.h"
#include "launcher/SimProcess.h"
#include "platform/LinkByDevice.h"
#include "platform/TrafficLog.h"
#include "window/MainWindow.h"

namespace {

// The window on the simulator, holding its port in a login session of the test's own, with a log.
struct HeldWindow {
  explicit HeldWindow(const QStringList& simArgs) : sim(simArgs) {
    ::chmod(QFile::encodeName(runtime.path()).constData(), 0700);
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    window.KeepLog(log, log.Open(runtime.filePath(QStringLiteral("traffic.log"))));
    hands.Listen();
    window.Load();
    window.show();
  }
  ~HeldWindow() { qunsetenv("XDG_RUNTIME_DIR"); }

  QTemporaryDir runtime;
  SimProcess sim;
  LinkByDevice link{PortMap{sim.Path(), QStringLiteral("/nonexistent/com2")}};
  TrafficLog log{[this] { return link.PortName(); }};
  MainWindow window{link};
  WindowHands hands{window, link, &log};
};

TEST(WindowHands, AScriptGoesThroughTheWindowWhichKeepsItsOwnTextAndClicks) {
  HeldWindow held({"--reply-delay", "150"});
  SimProcess& sim = held.sim;
  MainWindow& window = held.window;
  auto* text = qobject_cast<QLineEdit*>(window.Control(QStringLiteral("Text1")));
  QTest::keyClicks(text, QStringLiteral("CF IMAGE REAL"));

  QProcess script;
  script.start(QStringLiteral(PROJECTOR_PANEL), {"--com1", sim.Path(), "--json", "--send", "power-on", "--send", "status"});
  const auto frames = [&sim] { return sim.Log().count(QRegularExpression(QStringLiteral("rx \"[^\"]*\""))); };
  // The run is served inside the event loop: the operator clicks OFF in the script's turn, as the
  // first frame has gone out.
  QTimer watch;
  bool clicked = false;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (clicked || frames() != 1) return;
    clicked = true;
    QTest::mouseClick(window.Control(QStringLiteral("Command18")), Qt::LeftButton);
  });
  watch.start(5);
  ASSERT_TRUE(WaitUntil([&] { return script.state() == QProcess::NotRunning; }, 30000));
  EXPECT_TRUE(clicked);
  const QString out = QString::fromLatin1(script.readAllStandardOutput());
  EXPECT_EQ(script.exitCode(), 0) << script.readAllStandardError().toStdString();
  EXPECT_TRUE(out.contains(QStringLiteral(R"("command":"status")"))) << out.toStdString();
  ASSERT_TRUE(WaitUntil([&] { return frames() == 3; }, 10000));
  // The operator's OFF between the script's two exchanges, not inside one.
  const QStringList received = sim.Log().split(QLatin1Char('\n')).filter(QStringLiteral("rx "));
  EXPECT_EQ(received, (QStringList{R"(projector-sim: rx "C00\r")", R"(projector-sim: rx "C01\r")",
                                   R"(projector-sim: rx "CR0\r")"}));
  EXPECT_EQ(text->text(), QStringLiteral("CF IMAGE REAL"));
  QFile logged(held.runtime.filePath(QStringLiteral("traffic.log")));
  ASSERT_TRUE(logged.open(QIODevice::ReadOnly));
  const QString lines = QString::fromLatin1(logged.readAll());
  EXPECT_EQ(lines.count(QRegularExpression(QStringLiteral(" script [0-9]+ TXD "))), 2) << lines.toStdString();
  EXPECT_TRUE(lines.contains(QStringLiteral(") TXD  C 0 1 CR "))) << lines.toStdString();  // the window's own
}

// Three scripts at once, twelve queries each, on a projector that answers late, while the operator
// clicks OFF: each script gets its own replies in its own order, and the projector's log has every
// frame once, a script's twelve one after the other, the clicks between whole exchanges.
TEST(WindowHands, ThreeScriptsAndTheOperatorEachGetTheirOwnReplies) {
  HeldWindow held({"--reply-delay", "50", "--lamp-hours", "4321"});
  SimProcess& sim = held.sim;
  MainWindow& window = held.window;
  QStringList args{"--com1", sim.Path(), "--json"};
  for (int i = 0; i < 6; ++i) args << "--send" << "status" << "--send" << "lamp-hours";
  std::vector<std::unique_ptr<QProcess>> scripts;
  for (int i = 0; i < 3; ++i) {
    scripts.push_back(std::make_unique<QProcess>());
    scripts.back()->start(QStringLiteral(PROJECTOR_PANEL), args);
  }
  QTimer clicks;
  int clicked = 0;
  QObject::connect(&clicks, &QTimer::timeout, [&] {
    if (clicked < 4) ++clicked, QTest::mouseClick(window.Control(QStringLiteral("Command18")), Qt::LeftButton);
  });
  clicks.start(150);
  ASSERT_TRUE(WaitUntil([&] {
    return std::all_of(scripts.begin(), scripts.end(), [](const auto& p) { return p->state() == QProcess::NotRunning; });
  }, 60000));
  ASSERT_TRUE(WaitUntil([&] { return clicked == 4 && !window.LineInUse(); }, 10000));
  for (const auto& script : scripts) {
    EXPECT_EQ(script->exitCode(), 0) << script->readAllStandardError().toStdString();
    const QStringList lines = QString::fromLatin1(script->readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 12);
    for (int i = 0; i < 12; ++i) {
      EXPECT_TRUE(lines[i].contains(i % 2 == 0 ? R"("command":"status")" : R"("command":"lamp-hours")")) << i;
      EXPECT_EQ(lines[i].contains(R"("value":4321)"), i % 2 == 1) << lines[i].toStdString();
    }
  }
  // Every frame once: 36 of the scripts (status 0, lamp hours 3), one OFF (1) for each click. The
  // scripts' exchanges take turns, so their frames interleave as they came.
  QString frames;
  for (const QString& entry : sim.Log().split('\n').filter(QStringLiteral("rx "))) {
    frames += entry.contains("CR3") ? '3' : entry.contains("C01") ? '1' : '0';
  }
  EXPECT_EQ(frames.count('1'), 4) << frames.toStdString();
  EXPECT_EQ(frames.count('0'), 18) << frames.toStdString();
  EXPECT_EQ(frames.count('3'), 18) << frames.toStdString();
  // A run of a second and more each: they went side by side, not one after the other.
  EXPECT_NE(QString(frames).remove('1'), QString("030303030303").repeated(3)) << frames.toStdString();
}

}  // namespace
