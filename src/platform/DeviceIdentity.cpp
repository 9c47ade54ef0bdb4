#include "platform/DeviceIdentity.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <sys/sysmacros.h>
#endif

namespace {

QString Attribute(const QDir& dir, const char* name) {
  QFile file(dir.filePath(QLatin1String(name)));
  return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()).trimmed() : QString();
}

// The USB device a terminal hangs off, from the kernel's own description of the terminal
// (sysfs/class/tty/NAME/device leads into the USB device's folder, which holds idVendor). A few
// small reads: every open pays for it, where a scan of every port of the system (QSerialPortInfo)
// costs more than the rest of the panel's start-up.
QString UsbIdentity(const QString& resolved, const QString& sysfs) {
  const QString device =
      QFileInfo(QStringLiteral("%1/class/tty/%2/device").arg(sysfs, QFileInfo(resolved).fileName())).canonicalFilePath();
  if (device.isEmpty()) return {};
  for (QDir dir(device); dir.absolutePath().startsWith(sysfs) && !dir.isRoot(); dir.cdUp()) {
    const QString vendor = Attribute(dir, "idVendor");
    if (vendor.isEmpty()) continue;
    return QStringLiteral("USB %1:%2 serial number \"%3\"").arg(vendor, Attribute(dir, "idProduct"), Attribute(dir, "serial"));
  }
  return {};
}

}  // namespace

DeviceIdentity IdentifyDevice(const QString& path, const QString& sysfs) {
  const QString resolved = QFileInfo(path).canonicalFilePath();
  if (resolved.isEmpty()) return {};
  if (const QString usb = UsbIdentity(resolved, QFileInfo(sysfs).canonicalFilePath()); !usb.isEmpty()) return {usb};
#ifdef Q_OS_UNIX
  struct stat info {};
  if (::stat(QFile::encodeName(resolved).constData(), &info) != 0) return {};
  return {QStringLiteral("%1, device %2:%3, made at %4.%5")
              .arg(resolved)
              .arg(major(info.st_rdev))
              .arg(minor(info.st_rdev))
              .arg(static_cast<qint64>(info.st_ctim.tv_sec))
              .arg(static_cast<qint64>(info.st_ctim.tv_nsec), 9, 10, QLatin1Char('0'))};
#else
  return {resolved};
#endif
}
