#include "platform/DeviceKind.h"

#include <QFile>
#include <QFileInfo>

#include "network/NetworkAddress.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

// What a path that is not a character device is, in the operator's words.
QString KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return QStringLiteral("a directory");
  if (S_ISREG(mode)) return QStringLiteral("a regular file");
  if (S_ISFIFO(mode)) return QStringLiteral("a named pipe");
  if (S_ISSOCK(mode)) return QStringLiteral("a socket");
  if (S_ISBLK(mode)) return QStringLiteral("a block device");
  return QStringLiteral("something other than a character device");
}

}  // namespace
#endif

std::optional<QString> WrongKindOfDevice(const QString& name, const QString& path, int port) {
#ifdef Q_OS_UNIX
  struct stat info {};
  if (::stat(QFile::encodeName(path).constData(), &info) != 0) return std::nullopt;
  if (S_ISCHR(info.st_mode)) return std::nullopt;
  return QStringLiteral(
             "%1 could not be opened: %2 is %3, not a serial device. Start the panel with --com%4 PATH "
             "naming the serial device (projector-panel --list-ports lists them).")
      .arg(name, path, KindOf(info.st_mode))
      .arg(port);
#else
  Q_UNUSED(name);
  Q_UNUSED(path);
  Q_UNUSED(port);
  return std::nullopt;
#endif
}

std::optional<QString> UnusableDevice(const QString& device, const QString& sysfs) {
  if (IsNetworkAddress(device.toStdString())) return std::nullopt;
#ifdef Q_OS_UNIX
  struct stat info {};
  if (::stat(QFile::encodeName(device).constData(), &info) != 0) return QStringLiteral("%1 does not exist").arg(device);
  if (!S_ISCHR(info.st_mode)) return QStringLiteral("%1 is %2, not a serial device").arg(device, KindOf(info.st_mode));
  // The kernel names the class of a character device it describes; pseudo terminals it does not.
  const QString subsystem = QFileInfo(QStringLiteral("%1/dev/char/%2:%3/subsystem")
                                          .arg(sysfs)
                                          .arg(major(info.st_rdev))
                                          .arg(minor(info.st_rdev)))
                                .canonicalFilePath();
  if (!subsystem.isEmpty() && QFileInfo(subsystem).fileName() != QLatin1String("tty")) {
    return QStringLiteral("%1 is not a terminal, so not a serial device").arg(device);
  }
#else
  Q_UNUSED(sysfs);
#endif
  return std::nullopt;
}
