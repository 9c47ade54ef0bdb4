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
// (sysfs/class/tty/NAME/device leads into the USB interface's folder, inside the USB device's
// folder, which holds idVendor). A few small reads: every open pays for it, where a scan of every
// port of the system (QSerialPortInfo) costs more than the rest of the panel's start-up.
// The ports of a dual or quad adapter share vendor, product and serial number and differ only in
// their interface. An adapter without a serial number is known by the USB port it sits in (the
// device folder's name, "1-1.2"): two of one make stay apart while they keep their sockets.
QString UsbIdentity(const QString& resolved, const QString& sysfs) {
  const QString device =
      QFileInfo(QStringLiteral("%1/class/tty/%2/device").arg(sysfs, QFileInfo(resolved).fileName())).canonicalFilePath();
  if (device.isEmpty()) return {};
  QString interface;
  for (QDir dir(device); dir.absolutePath().startsWith(sysfs) && !dir.isRoot(); dir.cdUp()) {
    if (interface.isEmpty()) interface = Attribute(dir, "bInterfaceNumber");
    const QString vendor = Attribute(dir, "idVendor");
    if (vendor.isEmpty()) continue;
    const QString serial = Attribute(dir, "serial");
    const QString which = serial.isEmpty() ? QStringLiteral("without serial number at USB port %1").arg(dir.dirName())
                                           : QStringLiteral("serial number \"%1\"").arg(serial);
    QString text = QStringLiteral("USB %1:%2 %3").arg(vendor, Attribute(dir, "idProduct"), which);
    if (!interface.isEmpty()) text += QStringLiteral(" interface %1").arg(interface);
    return text;
  }
  return {};
}

DeviceIdentity Identify(const QString& path, const QString& sysfs, bool withNodeTime) {
  const QString resolved = QFileInfo(path).canonicalFilePath();
  if (resolved.isEmpty()) return {};
  if (const QString usb = UsbIdentity(resolved, QFileInfo(sysfs).canonicalFilePath()); !usb.isEmpty()) return {usb};
#ifdef Q_OS_UNIX
  struct stat info {};
  if (::stat(QFile::encodeName(resolved).constData(), &info) != 0) return {};
  QString text = QStringLiteral("%1, device %2:%3").arg(resolved).arg(major(info.st_rdev)).arg(minor(info.st_rdev));
  if (!withNodeTime) return {text};
  return {text + QStringLiteral(", made at %1.%2")
                     .arg(static_cast<qint64>(info.st_ctim.tv_sec))
                     .arg(static_cast<qint64>(info.st_ctim.tv_nsec), 9, 10, QLatin1Char('0'))};
#else
  Q_UNUSED(withNodeTime);
  return {resolved};
#endif
}

}  // namespace

DeviceIdentity IdentifyDevice(const QString& path, const QString& sysfs) { return Identify(path, sysfs, true); }

DeviceIdentity LastingIdentity(const QString& path, const QString& sysfs) { return Identify(path, sysfs, false); }

bool IsPseudoTerminal(const QString& path) {
  const QLatin1String pts("/dev/pts/");
  // A terminal that has gone is known by its name alone, however it is spelt.
  if (QDir::cleanPath(path).startsWith(pts) || QFileInfo(path).canonicalFilePath().startsWith(pts)) return true;
#ifdef Q_OS_UNIX
  // Whatever leads to it (a link, a by-path name, a node made elsewhere), a pseudo terminal is a
  // character device of the kernel's pseudo-terminal numbers: the Unix 98 ones (136 to 143), the
  // multiplexer /dev/ptmx (5:2) and the old BSD pairs (2 and 3).
  struct stat info {};
  if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISCHR(info.st_mode)) return false;
  const unsigned int number = major(info.st_rdev);
  return (number >= 136 && number <= 143) || number == 2 || number == 3 || (number == 5 && minor(info.st_rdev) == 2);
#else
  return false;
#endif
}
