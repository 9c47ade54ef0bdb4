#pragma once

#include <QString>
#include <QStringList>

// What the operator is told about a port whose device failed, went away, came back or was
// replaced, in one place for every kind of link. Each text takes the port as it is shown,
// "COM1 (/dev/ttyUSB0)", and where there is one the system's own reason; each says what to do,
// and only what works from where the operator is.
namespace LinkTexts {

// The device of `name` does not exist; --com`port` names another.
// `given`: the device was named with --comN, so naming it there again is no advice.
QString Missing(const QString& name, int port, bool given);
// The open failed for a reason the system gives and this link has no better words for.
QString OpenFailed(const QString& name, const QString& reason);
// The device opened but refused the line settings.
QString SettingsRefused(const QString& name, const QString& reason);
// The device opened but went away before it took its line settings.
QString VanishedWhileOpening(const QString& name, const QString& reason);
// The port is held by another program: `holder` names it ("projector-panel (process 4711)"), or
// is empty when nothing says who.
QString Busy(const QString& name, const QString& holder);
// The system refuses this user the device.
QString Forbidden(const QString& name, const QString& reason);

// A send on a lost port: the device hung up or was unplugged. `reason` (may be empty) says why it
// could not be opened again.
QString Lost(const QString& name, const QString& reason);
// A lost port's path now leads to another device than the one lost: nothing went to it.
QString DifferentDevice(const QString& name, const QString& path, int port);
// Frames (as sent, without their final CR) that did not reach the device.
QString WriteFailed(const QString& name, const QStringList& frames, const QString& reason);
// The speed could not be changed because the device went away under the change.
QString SpeedLost(const QString& name);
// A send on a port that a failed port selection left closed.
QString NotOpen(const QString& name);

}  // namespace LinkTexts
