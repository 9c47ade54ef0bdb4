#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>

#include "Pty.h"
#include "ProgramRun.h"

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

}  // namespace
