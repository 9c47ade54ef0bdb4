#pragma once

#include <QString>
#include <cstdint>

// Which device COM1 and COM2 stand for on this machine.
struct PortMap {
  QString com1;
  QString com2;
  // Given on the command line (--com1, --com2) for this run: advice to give it there is no help.
  bool com1Given = false;
  bool com2Given = false;

  // /dev/ttyS0 and /dev/ttyS1 on Linux, COM1 and COM2 on Windows.
  static PortMap Defaults();
  // Empty for a port number other than 1 or 2.
  QString PathFor(std::int16_t port) const;
  // Nothing for a port number other than 1 or 2.
  void SetPathFor(std::int16_t port, const QString& device);
};
