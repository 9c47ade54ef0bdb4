#pragma once

#include <QString>
#include <optional>

// The reason a port cannot open when its path names something that exists but is not a
// character device (a directory, a regular file ...): the open's own error ("Inappropriate ioctl
// for device", "Is a directory") would not tell the operator what is wrong. Nothing when the path
// is a character device, does not exist, or the system has no such notion.
// A character device the kernel files under another class than terminals (/dev/null) is no serial
// device either.
//   name: how the port is shown ("COM1 (/tmp/x)"); port: 1 or 2, for the option to name; given:
//   the path came from that option, so the advice is to check it rather than to give one.
std::optional<QString> WrongKindOfDevice(const QString& name, const QString& path, int port, bool given = false,
                                         const QString& sysfs = QStringLiteral("/sys"));

// Why `device` cannot stand for a port, checked before a choice is kept for a port that is not
// opened now: a path must lead to a terminal; a network address is taken as it stands (its
// server is only asked when the port opens). Nothing when it can.
std::optional<QString> UnusableDevice(const QString& device, const QString& sysfs = QStringLiteral("/sys"));
