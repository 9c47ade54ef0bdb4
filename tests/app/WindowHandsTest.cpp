// The window as the holder of its port: a script's run goes through it, on a session of its own,
// while the operator's click made meanwhile waits and goes out after it, and what was typed stays.
#include "WindowHands.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QLineEdit>
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

TEST(WindowHands, AScriptGoesThroughTheWindowWhichKeepsItsOwnTextAndClicks) {
  QTemporaryDir runtime;
  ASSERT_EQ(::chmod(QFile::encodeName(runtime.path()).constData(), 0700), 0);
  qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
  SimProcess sim({"--reply-delay", "150"});
  LinkByDevice link(PortMap{sim.Path(), QStringLiteral("/nonexistent/com2")});
  TrafficLog log([&link] { return link.PortName(); });
  MainWindow window(link);
  window.KeepLog(log, log.Open(runtime.filePath(QStringLiteral("traffic.log"))));
  WindowHands hands(window, link, &log);
  hands.Listen();
  window.Load();
  window.show();
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
  // The operator's OFF after the script's two frames, not between them.
  const QStringList received = sim.Log().split(QLatin1Char('\n')).filter(QStringLiteral("rx "));
  EXPECT_EQ(received, (QStringList{R"(projector-sim: rx "C00\r")", R"(projector-sim: rx "CR0\r")",
                                   R"(projector-sim: rx "C01\r")"}));
  EXPECT_EQ(text->text(), QStringLiteral("CF IMAGE REAL"));
  QFile logged(runtime.filePath(QStringLiteral("traffic.log")));
  ASSERT_TRUE(logged.open(QIODevice::ReadOnly));
  const QString lines = QString::fromLatin1(logged.readAll());
  EXPECT_EQ(lines.count(QRegularExpression(QStringLiteral(" script [0-9]+ TXD "))), 2) << lines.toStdString();
  EXPECT_TRUE(lines.contains(QStringLiteral(") TXD  C 0 1 CR "))) << lines.toStdString();  // the window's own
  qunsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
