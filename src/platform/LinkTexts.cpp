#include "platform/LinkTexts.h"

namespace LinkTexts {

namespace {

// After a loss the device itself must come back first: a port selection made while it is still
// missing fails and leaves the port closed until the next choice.
QString ComeBack() {
  return QStringLiteral(
      "Reconnect the device, then click again; once it is back, choosing the port again with COM opens it too.");
}

QString Because(const QString& reason) { return reason.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(reason); }

}  // namespace

QString Missing(const QString& name, int port, bool given) {
  if (given) {
    return QStringLiteral(
               "%1 could not be opened: the device does not exist. Connect the projector's serial cable or USB "
               "adapter, or check the path given with --com%2.")
        .arg(name)
        .arg(port);
  }
  return QStringLiteral(
             "%1 could not be opened: the device does not exist. Connect the projector's serial cable or USB "
             "adapter, or start the panel with --com%2 PATH to name the device.")
      .arg(name)
      .arg(port);
}

QString OpenFailed(const QString& name, const QString& reason) {
  return QStringLiteral("%1 could not be opened: %2. Check the cable and the device.").arg(name, reason);
}

QString SettingsRefused(const QString& name, const QString& reason) {
  return QStringLiteral("The line settings of %1 could not be changed: %2.").arg(name, reason);
}

QString VanishedWhileOpening(const QString& name, const QString& reason) {
  return QStringLiteral(
             "%1 could not be opened: the device hung up or was unplugged while it was being opened%2. Check "
             "that it is plugged in and switched on.")
      .arg(name, Because(reason));
}

QString Busy(const QString& name, const QString& holder) {
  return QStringLiteral(
             "%1 could not be opened: it is in use by %2. A serial port serves one program at a time: end "
             "that one first.")
      .arg(name, holder.isEmpty() ? QStringLiteral("another program") : holder);
}

QString Forbidden(const QString& name, const QString& reason) {
  return QStringLiteral(
             "%1 could not be opened: %2. Your user needs access to the serial device (on Debian: membership of "
             "the dialout group, sudo adduser $USER dialout, then log in again).")
      .arg(name, reason);
}

QString Lost(const QString& name, const QString& reason) {
  const QString again =
      reason.isEmpty() ? QString() : QStringLiteral(", and it could not be opened again (%1)").arg(reason);
  return QStringLiteral("Nothing was sent: %1 was lost: the device hung up or was unplugged%2. %3")
      .arg(name, again, ComeBack());
}

QString DifferentDevice(const QString& name, const QString& path, int port) {
  return QStringLiteral(
             "Nothing was sent: %1 was lost, and the device now at %2 is a different one, which the panel does "
             "not open unasked. If it is the projector's, choose COM%3 again with COM to use it; otherwise end "
             "the panel and start it with --com%3 naming the projector's device (projector-panel --list-ports "
             "lists them).")
      .arg(name, path)
      .arg(port);
}

QString WriteFailed(const QString& name, const QStringList& frames, const QString& reason) {
  const QString what = frames.size() == 1 ? QStringLiteral("The command") : QStringLiteral("The commands");
  return QStringLiteral("%1 \"%2\" did not reach %3: writing failed%4, as it does when the device hangs up or is "
                        "unplugged. %5")
      .arg(what, frames.join(QStringLiteral("\", \"")), name, Because(reason), ComeBack());
}

QString SpeedLost(const QString& name) {
  return QStringLiteral(
             "The speed of %1 could not be changed: the device hung up or was unplugged. The new speed is kept "
             "for when the port opens again. %2")
      .arg(name, ComeBack());
}

QString NotOpen(const QString& name) {
  // Only a failed choice leaves the port closed, and the next choice opens it.
  return QStringLiteral(
             "Nothing was sent: %1 is not open. Once the device can be opened, choose the port again with COM, "
             "or choose another device for it (right-click the port).")
      .arg(name);
}

}  // namespace LinkTexts
