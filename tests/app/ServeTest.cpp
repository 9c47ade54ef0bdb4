// --serve holds the line and serves its user's scripts: a handed-over --send prints and returns
// what a direct one does, a stranger is not served, and SIGTERM leaves the port free.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include "ProgramRun.h"
#include "Ser2net.h"
#include "launcher/SimProcess.h"

namespace {

TEST(Serve, HoldsTheLineAndServesItsUsersScriptsAsADirectRunWould) {
  const Session session;
  const QTemporaryDir& runtime = session.runtime;
  const QProcessEnvironment& environment = session.environment;
  SimProcess sim({});
  const QStringList line{QStringLiteral("--com1"), sim.Path()};
  const QStringList table[] = {
      {"--send", "status", "--send", "lamp-hours"},
      {"--json", "--send", "pc-type", "--send", "orientation", "--send", "CR PRESSURE"},
      {"--address", "002", "--timeout", "100", "--send", "status"},  // a frame for another projector
      {"--send", "warm-up-now"},                                     // refused before anything is sent
  };
  std::vector<ProgramRun> direct;
  for (const QStringList& args : table) direct.push_back(RunPanel(line + args, environment));

  QProcess holder;
  const QString log = runtime.filePath(QStringLiteral("traffic.log"));
  Serve(holder, session, QStringList{QStringLiteral("--log"), log} + line);
  const QDir door(runtime.path() + QStringLiteral("/projector-panel"));
  ASSERT_EQ(door.entryList(QDir::System), QStringList{QStringLiteral("holder-%1").arg(holder.processId())});
  for (std::size_t i = 0; i < std::size(table); ++i) {
    SCOPED_TRACE(table[i].join(QLatin1Char(' ')).toStdString());
    const ProgramRun handed = RunPanel(line + table[i], environment);
    EXPECT_EQ(handed.out, direct[i].out);
    EXPECT_EQ(handed.err, direct[i].err);
    EXPECT_EQ(handed.exitCode, direct[i].exitCode);
  }
  // The line's speed is the holder's.
  const ProgramRun faster = RunPanel(line + QStringList{"--speed", "9600", "--send", "status"}, environment);
  EXPECT_EQ(faster.exitCode, 2);
  EXPECT_NE(faster.err.find("is held by projector-panel (process " + std::to_string(holder.processId()) +
                            ") at 19200 baud; --speed 9600 would change the line under it"),
            std::string::npos)
      << faster.err;
  // Another user reaches neither the door nor the port.
  if (::geteuid() == 0) {
    QProcess stranger;
    stranger.setProcessEnvironment(environment);
    stranger.start(QStringLiteral("setpriv"), QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", PROJECTOR_PANEL} +
                                                  line + QStringList{"--send", "status"});
    ASSERT_TRUE(stranger.waitForFinished(30000));
    EXPECT_EQ(stranger.exitCode(), 1) << stranger.readAllStandardError().toStdString();
    EXPECT_EQ(stranger.readAllStandardOutput(), QByteArray());
  }
  EXPECT_EQ(RunPanel(line + table[0], environment).out, direct[0].out);
  // The holder's log has every handed frame, naming the hand.
  QFile logged(log);
  ASSERT_TRUE(logged.open(QIODevice::ReadOnly));
  const QString text = QString::fromLatin1(logged.readAll());
  EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral(" script [0-9]+ TXD  C R 3 CR \n")))) << text.toStdString();
  EXPECT_EQ(text.count(QStringLiteral(" TXD ")), 8) << text.toStdString();  // the refused runs sent nothing
  logged.close();

  // A window started on the port borrows the line and serves the scripts; once it has gone, the
  // holder has the line again.
  QProcessEnvironment offscreen = environment;
  offscreen.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  QProcess window;
  window.setProcessEnvironment(offscreen);
  window.start(QStringLiteral(PROJECTOR_PANEL), line);
  ASSERT_TRUE(window.waitForStarted());
  for (int i = 0; i < 1500 && LockFileOf(window.processId()).empty(); ++i) QThread::msleep(20);
  ASSERT_FALSE(LockFileOf(window.processId()).empty());
  EXPECT_EQ(RunPanel(line + table[0], environment).out, direct[0].out);
  window.terminate();
  ASSERT_TRUE(window.waitForFinished(30000));
  EXPECT_EQ(window.exitCode(), 0);
  for (int i = 0; i < 1500 && LockFileOf(holder.processId()).empty(); ++i) QThread::msleep(20);
  EXPECT_EQ(RunPanel(line + table[0], environment).out, direct[0].out);

  ::kill(static_cast<pid_t>(holder.processId()), SIGTERM);
  ASSERT_TRUE(holder.waitForFinished(30000));
  EXPECT_EQ(holder.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(holder.exitCode(), 0) << holder.readAllStandardError().toStdString();
  EXPECT_EQ(door.entryList(QDir::System), QStringList());
  EXPECT_EQ(RunPanel(line + table[0], environment).exitCode, 0);  // the port is free for a direct run
}

// A network serial device has no lock file: a --send on it asks the holders of this user which
// has it open. Garbage at the door is dropped and changes nothing.
TEST(Serve, ANetworkPortIsFoundAmongTheHoldersAndGarbageIsDropped) {
  const Session session;
  const QTemporaryDir& runtime = session.runtime;
  const QProcessEnvironment& environment = session.environment;
  SimProcess sim({});
  const Ser2net server(sim.Path(), Ser2net::Kind::Raw);
  const QStringList line{QStringLiteral("--com1"), server.Url()};
  const QStringList status{QStringLiteral("--send"), QStringLiteral("status")};
  const ProgramRun direct = RunPanel(line + status, environment);
  QProcess holder;
  const QString log = runtime.filePath(QStringLiteral("traffic.log"));
  Serve(holder, session, QStringList{QStringLiteral("--log"), log} + line);
  // A request that never comes whole holds nobody back, and is dropped in its time.
  QLocalSocket stalled;
  stalled.connectToServer(session.Door(holder.processId()));
  ASSERT_TRUE(stalled.waitForConnected(5000));
  stalled.write("PPH1\x40");
  stalled.flush();
  QLocalSocket garbage;
  garbage.connectToServer(session.Door(holder.processId()));
  ASSERT_TRUE(garbage.waitForConnected(5000));
  garbage.write("GET / HTTP/1.0\r\n\r\n");
  EXPECT_TRUE(garbage.waitForDisconnected(5000));
  const ProgramRun handed = RunPanel(line + status, environment);
  EXPECT_EQ(handed.out, direct.out);
  EXPECT_EQ(handed.exitCode, 0) << handed.err;
  QFile logged(log);
  ASSERT_TRUE(logged.open(QIODevice::ReadOnly));
  EXPECT_TRUE(QString::fromLatin1(logged.readAll()).contains(QRegularExpression(QStringLiteral(" script [0-9]+ TXD "))));
  EXPECT_TRUE(stalled.waitForDisconnected(10000));
  // A script that leaves mid-run loses its answers, not its exchanges: the run goes on to its end,
  // and the holder's log has every one.
  QProcess leaving;
  leaving.setProcessEnvironment(environment);
  QStringList forty;
  for (int i = 0; i < 40; ++i) forty << QStringLiteral("--send") << QStringLiteral("CR3");
  leaving.start(QStringLiteral(PROJECTOR_PANEL), line + forty);
  const auto lampQueries = [&logged] {
    logged.seek(0);
    return QString::fromLatin1(logged.readAll()).count(QStringLiteral(" TXD  C R 3 CR "));
  };
  for (int i = 0; i < 1000 && lampQueries() == 0; ++i) QThread::msleep(5);
  leaving.kill();
  for (int i = 0; i < 1000 && lampQueries() < 40; ++i) QThread::msleep(10);
  EXPECT_EQ(lampQueries(), 40);
  holder.terminate();
  ASSERT_TRUE(holder.waitForFinished(30000));
}

// A holder killed outright leaves its lock file and its door behind: nobody answers there, and a
// --send runs direct.
TEST(Serve, AHolderThatDiedLeavesThePortToADirectRun) {
  const Session session;
  const QProcessEnvironment& environment = session.environment;
  SimProcess sim({});
  const QStringList line{QStringLiteral("--com1"), sim.Path()};
  QProcess holder;
  Serve(holder, session, line);
  ASSERT_FALSE(LockFileOf(holder.processId()).empty());
  holder.kill();
  ASSERT_TRUE(holder.waitForFinished(30000));
  const ProgramRun run = RunPanel(line + QStringList{QStringLiteral("--send"), QStringLiteral("status")}, environment);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out.rfind("TXD  C R 0 CR \n", 0), 0u) << run.out;
}

// With --com2 the holder holds both ports, and a run for COM2 is served on COM2.
TEST(Serve, HoldsComTwoWhenItIsNamed) {
  const Session session;
  const QProcessEnvironment& environment = session.environment;
  SimProcess one({}), two({"--lamp-hours", "4321"});
  const QStringList line{QStringLiteral("--com1"), one.Path(), QStringLiteral("--com2"), two.Path()};
  QProcess holder;
  Serve(holder, session, line);
  const ProgramRun run = RunPanel(line + QStringList{"--port", "2", "--send", "lamp-hours"}, environment);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("STATUS  0 4 3 2 1 CR  Hour Use"), std::string::npos) << run.out;
  for (int i = 0; i < 200 && !two.Log().contains(QStringLiteral("rx ")); ++i) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  EXPECT_TRUE(two.Log().contains(QStringLiteral("rx \"CR3\\r\""))) << two.Log().toStdString();
  EXPECT_FALSE(one.Log().contains(QStringLiteral("rx "))) << one.Log().toStdString();
  holder.terminate();
  ASSERT_TRUE(holder.waitForFinished(30000));
  EXPECT_EQ(holder.exitCode(), 0);
}

}  // namespace
