#include "platform/PortHolder.h"

#include <QFileInfo>
#include <QLockFile>

namespace {

struct LockInfo {
  qint64 pid = 0;
  QString program;
};

std::optional<LockInfo> LockOf(const QString& path) {
  // QSerialPort names its lock file after the device ("/dev/ttyUSB0" -> "LCK..ttyUSB0", any other
  // path with its slashes as underscores) in the first of these folders it may write to. The
  // holder may have been given a link or its target, so both names are looked for.
  static const char* const kFolders[] = {"/var/lock", "/etc/locks", "/var/spool/locks", "/var/spool/uucp", "/tmp"};
  for (const QString& device : {path, QFileInfo(path).canonicalFilePath()}) {
    if (device.isEmpty()) continue;
    QString name = device.startsWith(QLatin1String("/dev/")) ? device.mid(5) : device;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    for (const char* folder : kFolders) {
      const QLockFile lock(QStringLiteral("%1/LCK..%2").arg(QLatin1String(folder), name));
      qint64 pid = 0;
      QString host;
      QString program;
      if (!lock.getLockInfo(&pid, &host, &program) || pid <= 0) continue;
      return LockInfo{pid, program};
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<QString> PortHolder(const QString& path) {
  const auto lock = LockOf(path);
  if (!lock) return std::nullopt;
  if (lock->program.isEmpty()) return QStringLiteral("process %1").arg(lock->pid);
  return QStringLiteral("%1 (process %2)").arg(lock->program).arg(lock->pid);
}

std::optional<qint64> PortHolderProcess(const QString& path) {
  const auto lock = LockOf(path);
  if (!lock) return std::nullopt;
  return lock->pid;
}
