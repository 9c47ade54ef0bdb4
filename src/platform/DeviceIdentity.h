#pragma once

#include <QString>

// Who the device behind a path is, as far as the system can tell. A USB adapter is known by its
// vendor, product, serial number (else the USB port it is plugged into) and interface, wherever
// its node is. Any other device is known by the path it resolves to, its device number and the
// moment its device node was made: a pseudo terminal's number passes to the next terminal opened
// once the old one is gone, but that one's node is new.
struct DeviceIdentity {
  QString text;  // empty: there is no device at the path

  bool Present() const { return !text.isEmpty(); }
  bool operator==(const DeviceIdentity&) const = default;
};

// The device at `path` now (a symbolic link is followed). `sysfs` is where the kernel describes
// its devices; tests give a folder of their own.
DeviceIdentity IdentifyDevice(const QString& path, const QString& sysfs = QStringLiteral("/sys"));
// The part of it that survives a restart of the computer, for a device kept between runs: the
// same without the node's time, which is new at every boot.
DeviceIdentity LastingIdentity(const QString& path, const QString& sysfs = QStringLiteral("/sys"));
// A pseudo terminal, by what the path leads to (its canonical path or its device number), not by
// how it is spelt: its number belongs to whichever program's terminal holds it now, so it is never
// kept for another run, through a link to it either.
bool IsPseudoTerminal(const QString& path);
