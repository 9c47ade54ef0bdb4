#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>

#include "Pty.h"
#include "ProgramRun.h"
#include "Ser2net.h"
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
// in the start-up failure, whose box offers the chooser, and in --send's failure. A kept device that
// is another one now, or a kept pseudo terminal, is not opened; a kept value that is no device name
// is told and not used. The settings file stays as it was.
TEST(Program, StartsOnTheSavedDeviceUnlessTheCommandLineNamesAnother) {
  QTemporaryDir config;
  const QString file = config.path() + QStringLiteral("/projector-panel/projector-panel.conf");
  QProcessEnvironment environment = Offscreen();
  environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
  Pty saved, named;
  // Behind a network serial server: kept, where a pseudo terminal, by any name, is not.
  const Ser2net server(QString::fromStdString(saved.SlavePath()), Ser2net::Kind::Raw);
  const QString url = server.Url();
  const QString link = config.path() + QStringLiteral("/ttyLINK");  // the usual shape of a virtual port
  ASSERT_TRUE(QFile::link(QString::fromStdString(saved.SlavePath()), link));
  const QString pty = QString::fromStdString(saved.SlavePath());
  const QString gone = config.path() + QStringLiteral("/ttyGONE");
  const std::string goneFailure = "COM1 (" + gone.toStdString() + ") could not be opened: the device does not exist";
  const QString adapter = QStringLiteral("USB 0403:6001 serial number \"A50285BI\" interface 00");
  const QStringList send{QStringLiteral("--send"), QStringLiteral("CR0"), QStringLiteral("--timeout"), QStringLiteral("100")};
  using Values = std::vector<std::pair<const char*, QVariant>>;
  const struct {
    QString saved;  // COM1's device, kept as the window keeps it
    Values raw;     // then these keys of [devices], as another version or a hand left them
    QStringList args;
    const Pty* opened;
    std::string err;  // standard error holds this
    int exitCode;     // after a SIGTERM if the program still runs
  } table[] = {
      {url, {}, {}, &saved, "", 0},
      {url, {}, {QStringLiteral("--com1"), QString::fromStdString(named.SlavePath())}, &named, "", 0},
      {gone, {}, {}, nullptr, goneFailure, 1},
      {gone, {}, send.mid(0, 2), nullptr, goneFailure, 1},
      {{}, {{"COM1", pty}}, {}, nullptr, "COM1 stands for " + pty.toStdString() + ", a pseudo terminal", 1},
      {{}, {{"COM1", pty}}, send, nullptr, "COM1 stands for " + pty.toStdString() + ", a pseudo terminal", 1},
      // A link to a pseudo terminal is one too, with or without the identity it was kept with.
      {{}, {{"COM1", link}}, {}, nullptr, "COM1 stands for " + link.toStdString() + ", a pseudo terminal", 1},
      {{}, {{"COM1", link}, {"COM1Identity", pty + QStringLiteral(", device 136:0")}}, send, nullptr,
       "COM1 stands for " + link.toStdString() + ", a pseudo terminal", 1},
      {{}, {{"COM1", QStringLiteral("/dev/null")}, {"COM1Identity", adapter}}, send, nullptr,
       "as " + adapter.toStdString() + ", but /dev/null, device 1:3 is there now", 1},
      {url, {{"COM2", QStringList{"a", "b"}}}, send, &saved, "kept for COM2 in " + file.toStdString() + " is not used", 3},
      {url, {{"COM2", QStringLiteral("10.0.0.5:4001")}}, send, &saved, "names a network port without its kind", 3},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.args.join(QLatin1Char(' ')).toStdString() + " " + row.err);
    QFile::remove(file);
    if (!row.saved.isEmpty()) DeviceSettings(file).Save(1, row.saved);
    {
      QSettings raw(file, QSettings::IniFormat);
      for (const auto& [key, value] : row.raw) raw.setValue(QStringLiteral("devices/") + key, value);
    }
    const PortMap before = DeviceSettings(file).Read({});
    OpenWatch savedWatch(saved.SlavePath()), namedWatch(named.SlavePath());
    QProcess panel;
    panel.setProcessEnvironment(environment);
    panel.start(QStringLiteral(PROJECTOR_PANEL), row.args);
    std::string err;
    const bool window = !row.args.contains(QStringLiteral("--send"));  // --send ends by itself
    bool savedOpened = false;  // through the server, which takes no lock for the window
    EXPECT_TRUE(WaitFor([&] {
      panel.waitForReadyRead(20);
      err += panel.readAllStandardError().toStdString();
      savedOpened = savedWatch.Opened() || savedOpened;
      return panel.state() == QProcess::NotRunning ||
             (window && (!LockFileOf(panel.processId()).empty() || savedOpened ||
                         (!row.err.empty() && err.find(row.err) != std::string::npos)));
    }));
    if (panel.state() != QProcess::NotRunning) ::kill(static_cast<pid_t>(panel.processId()), SIGTERM);
    EXPECT_TRUE(panel.state() == QProcess::NotRunning || panel.waitForFinished(30000));
    // The end can be seen before the last of standard error has been read.
    err += panel.readAllStandardError().toStdString();
    EXPECT_EQ(panel.exitCode(), row.exitCode) << err;
    EXPECT_NE(err.find(row.err), std::string::npos) << err;
    EXPECT_EQ(savedWatch.Opened() || savedOpened, row.opened == &saved);
    EXPECT_EQ(namedWatch.Opened(), row.opened == &named);
    EXPECT_EQ(DeviceSettings(file).Read({}).com1, before.com1);
  }
}

}  // namespace
