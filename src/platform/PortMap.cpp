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
  if (port == 1) com1 = device;
  if (port == 2) com2 = device;
}
