#include "ProgramRun.h"

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QTemporaryDir>
#include <stdexcept>

QProcessEnvironment WithoutDisplay() {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) environment.remove(QString::fromLatin1(name));
  // Devices the user chose in the window stay out of the tests: an empty config folder of their own.
  static const QTemporaryDir config;
  environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
  // No holder's door either, unless a test makes one: a held port is busy, as without a session.
  environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
  return environment;
}

QProcessEnvironment Offscreen() {
  QProcessEnvironment environment = WithoutDisplay();
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  return environment;
}

ProgramRun RunPanel(const QStringList& args, const QProcessEnvironment& environment, int timeoutMs) {
  QProcess process;
  process.setProcessEnvironment(environment);
  process.start(QStringLiteral(PROJECTOR_PANEL), args);
  ProgramRun run;
  if (!process.waitForFinished(timeoutMs)) {
    process.kill();
    process.waitForFinished();
    run.err = "did not end within the time allowed\n";
    return run;
  }
  run.exitStatus = process.exitStatus();
  run.exitCode = process.exitCode();
  run.out = process.readAllStandardOutput().toStdString();
  run.err = process.readAllStandardError().toStdString();
  return run;
}

OpenWatch::OpenWatch(const std::string& path) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
  if (fd_ < 0 || inotify_add_watch(fd_, path.c_str(), IN_OPEN) < 0) throw std::runtime_error("cannot watch " + path);
}

OpenWatch::~OpenWatch() { ::close(fd_); }

bool OpenWatch::Opened() {
  alignas(inotify_event) char events[4096];
  return ::read(fd_, events, sizeof events) > 0;
}

std::string LockFileOf(qint64 pid) {
  for (const QString& dir : {QStringLiteral("/var/lock"), QStringLiteral("/run/lock"), QDir::tempPath()}) {
    for (const QFileInfo& entry : QDir(dir).entryInfoList({QStringLiteral("LCK..*")}, QDir::Files)) {
      QFile file(entry.filePath());
      if (!file.open(QIODevice::ReadOnly)) continue;
      if (file.readLine().trimmed().toLongLong() == pid) return entry.filePath().toStdString();
    }
  }
  return {};
}

Session::Session() {
  ::chmod(QFile::encodeName(runtime.path()).constData(), 0700);
  environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
}

QString Session::Door(qint64 pid) const {
  return runtime.path() + QStringLiteral("/projector-panel/holder-%1").arg(pid);
}

void StartHolder(QProcess& holder, const Session& session, const QStringList& args,
                 const QProcessEnvironment& environment) {
  holder.setProcessEnvironment(environment);
  holder.start(QStringLiteral(PROJECTOR_PANEL), args);
  holder.waitForStarted();
  for (int i = 0; i < 1500 && !QFileInfo::exists(session.Door(holder.processId())); ++i) QThread::msleep(20);
}
