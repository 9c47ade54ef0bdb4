#include "platform/DeviceIdentity.h"

#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <sys/sysmacros.h>
#endif

DeviceIdentity IdentifyDevice(const QString& path) {
  const QString resolved = QFileInfo(path).canonicalFilePath();
  if (resolved.isEmpty()) return {};
  for (const QSerialPortInfo& usb : QSerialPortInfo::availablePorts()) {
    if (usb.systemLocation() != resolved || !usb.hasVendorIdentifier() || !usb.hasProductIdentifier()) continue;
    return {QStringLiteral("USB %1:%2 serial number \"%3\"")
                .arg(usb.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                .arg(usb.productIdentifier(), 4, 16, QLatin1Char('0'))
                .arg(usb.serialNumber())};
  }
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
