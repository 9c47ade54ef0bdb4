#include "platform/DeviceKind.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

std::optional<QString> WrongKindOfDevice(const QString& name, const QString& path, int port) {
#ifdef Q_OS_UNIX
  struct stat info {};
  if (::stat(QFile::encodeName(path).constData(), &info) != 0) return std::nullopt;
  QString kind;
  if (S_ISCHR(info.st_mode)) return std::nullopt;
  if (S_ISDIR(info.st_mode)) kind = QStringLiteral("a directory");
  else if (S_ISREG(info.st_mode)) kind = QStringLiteral("a regular file");
  else if (S_ISFIFO(info.st_mode)) kind = QStringLiteral("a named pipe");
  else if (S_ISSOCK(info.st_mode)) kind = QStringLiteral("a socket");
  else if (S_ISBLK(info.st_mode)) kind = QStringLiteral("a block device");
  else kind = QStringLiteral("something other than a character device");
  return QStringLiteral(
             "%1 could not be opened: %2 is %3, not a serial device. Start the panel with --com%4 PATH "
             "naming the serial device (projector-panel --list-ports lists them).")
      .arg(name, path, kind)
      .arg(port);
#else
  Q_UNUSED(name);
  Q_UNUSED(path);
  Q_UNUSED(port);
  return std::nullopt;
#endif
}
