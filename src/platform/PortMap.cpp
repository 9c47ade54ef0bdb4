#include "platform/PortMap.h"

PortMap PortMap::Defaults() {
#ifdef Q_OS_WIN
  return {QStringLiteral("COM1"), QStringLiteral("COM2")};
#else
  return {QStringLiteral("/dev/ttyS0"), QStringLiteral("/dev/ttyS1")};
#endif
}

QString PortMap::PathFor(std::int16_t port) const {
  if (port == 1) return com1;
  if (port == 2) return com2;
  return {};
}

void PortMap::SetPathFor(std::int16_t port, const QString& device) {
  // A device chosen now is no longer the one the command line named.
  if (port == 1) com1 = device, com1Given = false;
  if (port == 2) com2 = device, com2Given = false;
}
