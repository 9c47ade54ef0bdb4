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
