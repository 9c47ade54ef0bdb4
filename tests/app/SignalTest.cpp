#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>

#include "Pty.h"
#include "ProgramRun.h"
#include "platform/DeviceSettings.h"

namespace {

// Polls `done` until it holds or `timeoutMs` passes; real processes, so generous margins.
template <typename Condition>
bool WaitFor(Condition done, int timeoutMs = 30000) {
  QElapsedTimer elapsed;
  elapsed.start();
  while (!done()) {
    if (elapsed.elapsed() > timeoutMs) return false;
    QThread::msleep(20);
  }
  return true;
}

// A logout, Ctrl+C or a service manager's stop ends the panel as "END" does: the port is closed
// (its lock file goes with it) and the program exits with status 0.
TEST(Program, ASignalClosesThePortAndEndsCleanly) {
  const struct {
    const char* name;
    int signal;
  } table[] = {{"SIGTERM", SIGTERM}, {"SIGINT", SIGINT}, {"SIGHUP", SIGHUP}};
  for (const auto& row : table) {
    SCOPED_TRACE(row.name);
    Pty line;
    QProcess panel;
    panel.setProcessEnvironment(Offscreen());
    panel.start(QStringLiteral(PROJECTOR_PANEL), {QStringLiteral("--com1"), QString::fromStdString(line.SlavePath())});
    ASSERT_TRUE(panel.waitForStarted());
    std::string lock;
    ASSERT_TRUE(WaitFor([&] { return !(lock = LockFileOf(panel.processId())).empty(); }))
        << "the panel never opened its port";
    ::kill(static_cast<pid_t>(panel.processId()), row.signal);
    ASSERT_TRUE(panel.waitForFinished(30000));
    EXPECT_EQ(panel.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(panel.exitCode(), 0) << panel.readAllStandardError().toStdString();
    EXPECT_FALSE(QFile::exists(QString::fromStdString(lock))) << lock;
  }
}

// A run of --send stopped by a signal, or finding its standard output closed, closes the port (its
// lock file goes with it), says what it had sent, and ends with a status a script can tell apart.
TEST(Program, SendStoppedBySignalOrClosedOutputClosesThePortAndSaysWhatWasSent) {
  const std::string notAwaited = "projector-panel: \"CR0\" was sent to COM1 (LINE), reply not awaited: stopped by ";
  const struct {
    const char* name;
    int signal;  // 0: the reader of its standard output has gone instead
    int exitCode;
    std::string err;
  } table[] = {
      {"SIGTERM", SIGTERM, 143, notAwaited + "SIGTERM; \"C00\" was not sent\n"},
      {"SIGINT", SIGINT, 130, notAwaited + "SIGINT; \"C00\" was not sent\n"},
      {"SIGHUP", SIGHUP, 129, notAwaited + "SIGHUP; \"C00\" was not sent\n"},
      {"closed output", 0, 141,
       "projector-panel: standard output was closed; the answer to \"CR0\" from COM1 (LINE) was not printed, and no "
       "later command was sent\n"},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.name);
    Pty line;
    QProcess panel, reader;
    if (row.signal == 0) panel.setStandardOutputProcess(&reader);
    panel.setProcessEnvironment(WithoutDisplay());
    panel.start(QStringLiteral(PROJECTOR_PANEL), {QStringLiteral("--com1"), QString::fromStdString(line.SlavePath()),
                                                  QStringLiteral("--send"), QStringLiteral("CR0"), QStringLiteral("--send"),
                                                  QStringLiteral("C00"), QStringLiteral("--timeout"), QStringLiteral("30000")});
    if (row.signal == 0) reader.start(QStringLiteral("true"), QStringList());
    ASSERT_TRUE(panel.waitForStarted());
    ASSERT_EQ(line.Read(4, 30000), "CR0\r") << "the frame never went out";
    const std::string lock = LockFileOf(panel.processId());
    ASSERT_FALSE(lock.empty()) << "no lock file while the port is open";
    if (row.signal == 0) {
      // The reader is gone: what the panel prints next meets a closed pipe.
      ASSERT_TRUE(reader.state() == QProcess::NotRunning || reader.waitForFinished(30000));
      line.Write("80\r");
    } else {
      ::kill(static_cast<pid_t>(panel.processId()), row.signal);
    }
    ASSERT_TRUE(panel.waitForFinished(30000));
    EXPECT_EQ(panel.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(panel.exitCode(), row.exitCode);
    std::string err = row.err;
    err.replace(err.find("LINE"), 4, line.SlavePath());
    EXPECT_EQ(panel.readAllStandardError().toStdString(), err);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(lock))) << lock;
    EXPECT_EQ(line.Read(1, 100), "") << "a command was sent after the run was stopped";
  }
}

// A path that exists but is no device is named as what it is, in the start-up error that the
// panel prints and shows; a signal then ends the waiting error box, and the status stays 1.
TEST(Program, StartUpErrorSaysTheDeviceIsAFolder) {
  QTemporaryDir folder;
  QProcess panel;
  panel.setProcessEnvironment(Offscreen());
  panel.start(QStringLiteral(PROJECTOR_PANEL), {QStringLiteral("--com1"), folder.path()});
  ASSERT_TRUE(panel.waitForStarted());
  std::string err;
  const std::string expected = "projector-panel: COM1 (" + folder.path().toStdString() + ") could not be opened: " +
                               folder.path().toStdString() + " is a directory, not a serial device.";
  const bool shown = WaitFor([&] {
    panel.waitForReadyRead(50);
    err += panel.readAllStandardError().toStdString();
    return err.find(expected) != std::string::npos;
  });
  EXPECT_TRUE(shown) << err;
  ::kill(static_cast<pid_t>(panel.processId()), SIGTERM);
  ASSERT_TRUE(panel.waitForFinished(30000));
  EXPECT_EQ(panel.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(panel.exitCode(), 1);
}

// The program starts on the device saved in the window (settings in a temporary XDG folder),
// unless the command line names another, which is not saved. A saved device that has gone is named
// in the start-up failure, whose box offers the chooser, and in --send's failure.
TEST(Program, StartsOnTheSavedDeviceUnlessTheCommandLineNamesAnother) {
  QTemporaryDir config;
  const QString file = config.path() + QStringLiteral("/projector-panel/projector-panel.conf");
  QProcessEnvironment environment = Offscreen();
  environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
  Pty saved, named;
  const QString gone = config.path() + QStringLiteral("/ttyGONE");
  const std::string goneFailure = "COM1 (" + gone.toStdString() + ") could not be opened: the device does not exist";
  const struct {
    QString saved;  // COM1's device in the settings
    QStringList args;
    const Pty* opened;
    std::string err;  // standard error holds this
    int exitCode;     // after a SIGTERM if the program still runs
  } table[] = {
      {QString::fromStdString(saved.SlavePath()), {}, &saved, "", 0},
      {QString::fromStdString(saved.SlavePath()), {QStringLiteral("--com1"), QString::fromStdString(named.SlavePath())}, &named, "", 0},
      {gone, {}, nullptr, goneFailure, 1},
      {gone, {QStringLiteral("--send"), QStringLiteral("CR0")}, nullptr, goneFailure, 1},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.args.join(QLatin1Char(' ')).toStdString());
    DeviceSettings(file).Save(1, row.saved);
    OpenWatch savedWatch(saved.SlavePath()), namedWatch(named.SlavePath());
    QProcess panel;
    panel.setProcessEnvironment(environment);
    panel.start(QStringLiteral(PROJECTOR_PANEL), row.args);
    std::string err;
    EXPECT_TRUE(WaitFor([&] {
      panel.waitForReadyRead(20);
      err += panel.readAllStandardError().toStdString();
      return panel.state() == QProcess::NotRunning || !LockFileOf(panel.processId()).empty() ||
             (!row.err.empty() && err.find(row.err) != std::string::npos);
    }));
    if (panel.state() != QProcess::NotRunning) ::kill(static_cast<pid_t>(panel.processId()), SIGTERM);
    EXPECT_TRUE(panel.state() == QProcess::NotRunning || panel.waitForFinished(30000));
    err += panel.readAllStandardError().toStdString();  // what came as it ended
    EXPECT_EQ(panel.exitCode(), row.exitCode) << err;
    EXPECT_NE(err.find(row.err), std::string::npos) << err;
    EXPECT_EQ(savedWatch.Opened(), row.opened == &saved);
    EXPECT_EQ(namedWatch.Opened(), row.opened == &named);
    EXPECT_EQ(DeviceSettings(file).Read({}).com1.toStdString(), row.saved.toStdString());
  }
}

}  // namespace
