#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>
#include <string>

// Runs the real projector-panel as a child process and keeps what it printed.
struct ProgramRun {
  QProcess::ExitStatus exitStatus = QProcess::CrashExit;
  int exitCode = -1;
  std::string out;
  std::string err;
};

// The environment of a session with no display at all: a program that tried to open a window
// here would fail to start.
QProcessEnvironment WithoutDisplay();
// The environment of a headless window.
QProcessEnvironment Offscreen();

ProgramRun RunPanel(const QStringList& args, const QProcessEnvironment& environment, int timeoutMs = 30000);

// Watches a device node for anyone opening it (inotify), so a test can tell whether the panel
// touched the line at all.
class OpenWatch {
 public:
  explicit OpenWatch(const std::string& path);
  ~OpenWatch();
  OpenWatch(const OpenWatch&) = delete;
  OpenWatch& operator=(const OpenWatch&) = delete;
  bool Opened();

 private:
  int fd_ = -1;
};

// The lock file QSerialPort holds while a port is open, found by the pid written in it; empty
// when there is none.
std::string LockFileOf(qint64 pid);

// A login session of the test's own: a private runtime folder, where holders open their doors.
struct Session {
  Session();
  QTemporaryDir runtime;
  QProcessEnvironment environment = WithoutDisplay();
  QString Door(qint64 pid) const;
};

// A holder started with `args` (`--serve` and its options, or a window's), once it listens at
// its door: its ports are open by then.
void StartHolder(QProcess& holder, const Session& session, const QStringList& args,
                 const QProcessEnvironment& environment);
inline void Serve(QProcess& holder, const Session& session, const QStringList& args) {
  StartHolder(holder, session, QStringList{QStringLiteral("--serve")} + args, session.environment);
}
