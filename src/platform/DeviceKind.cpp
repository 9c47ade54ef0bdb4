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

// Whether the kernel says the character device `info` is of a class other than a terminal
// (/dev/null is "mem"); pseudo terminals it does not describe, and they are terminals.
bool NoTerminal(const struct stat& info, const QString& sysfs) {
  const QString subsystem = QFileInfo(QStringLiteral("%1/dev/char/%2:%3/subsystem")
                                          .arg(sysfs)
                                          .arg(major(info.st_rdev))
                                          .arg(minor(info.st_rdev)))
                                .canonicalFilePath();
  return !subsystem.isEmpty() && QFileInfo(subsystem).fileName() != QLatin1String("tty");
}

}  // namespace
#endif

std::optional<QString> WrongKindOfDevice(const QString& name, const QString& path, int port, bool given,
                                         const QString& sysfs) {
#ifdef Q_OS_UNIX
  struct stat info {};
  if (::stat(QFile::encodeName(path).constData(), &info) != 0) return std::nullopt;
  QString kind;
  if (!S_ISCHR(info.st_mode)) {
    kind = KindOf(info.st_mode);
  } else if (NoTerminal(info, sysfs)) {
    kind = QStringLiteral("a character device but no terminal");
  } else {
    return std::nullopt;
  }
  const QString advice = given ? QStringLiteral("Check the path given with --com%1").arg(port)
                               : QStringLiteral("Start the panel with --com%1 PATH naming the serial device").arg(port);
  return QStringLiteral("%1 could not be opened: %2 is %3, not a serial device. %4 (projector-panel --list-ports "
                        "lists them).")
      .arg(name, path, kind, advice);
#else
  Q_UNUSED(name);
  Q_UNUSED(path);
  Q_UNUSED(port);
  Q_UNUSED(given);
  Q_UNUSED(sysfs);
  return std::nullopt;
#endif
}

std::optional<QString> UnusableDevice(const QString& device, const QString& sysfs) {
  if (IsNetworkAddress(device.toStdString())) return std::nullopt;
#ifdef Q_OS_UNIX
  struct stat info {};
  if (::stat(QFile::encodeName(device).constData(), &info) != 0) return QStringLiteral("%1 does not exist").arg(device);
  if (!S_ISCHR(info.st_mode)) return QStringLiteral("%1 is %2, not a serial device").arg(device, KindOf(info.st_mode));
  if (NoTerminal(info, sysfs)) return QStringLiteral("%1 is not a terminal, so not a serial device").arg(device);
#else
  Q_UNUSED(sysfs);
#endif
  return std::nullopt;
}
