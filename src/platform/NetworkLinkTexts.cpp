#include "platform/NetworkLinkTexts.h"

namespace network_texts {

namespace {

const char* const kCheckServer =
    "Check that the serial server is running and reachable from here, the port number, and that no "
    "firewall blocks it";

}  // namespace

QString CouldNotOpen(const QString& name, const QString& reason) {
  return QStringLiteral("%1 could not be opened: %2").arg(name, reason);
}

QString Refused(const QString& server) {
  return QStringLiteral("nothing accepts connections at %1. %2.").arg(server, QLatin1String(kCheckServer));
}

QString HostUnknown(const QString& host, int port) {
  return QStringLiteral("the host name '%1' is not known here. Check the name (or give the server's address) and "
                        "port %2, and this computer's network.")
      .arg(host)
      .arg(port);
}

QString NoAnswer(const QString& server, int seconds) {
  return QStringLiteral("%1 did not answer within %2 seconds. %3.")
      .arg(server)
      .arg(seconds)
      .arg(QLatin1String(kCheckServer));
}

QString Unreachable(const QString& server, const QString& systemReason) {
  return QStringLiteral("%1 cannot be reached (%2). %3.").arg(server, systemReason, QLatin1String(kCheckServer));
}

QString ComPortRefused(const QString& server, const QString& socketForm) {
  return QStringLiteral("the server at %1 refused the serial port control of RFC 2217, so it cannot set the line. "
                        "Configure its port as telnet(rfc2217), or use %2 for a raw TCP port.")
      .arg(server, socketForm);
}

QString ComPortUnanswered(const QString& server, int seconds, const QString& socketForm) {
  return QStringLiteral("the server at %1 did not agree to the serial port control of RFC 2217 within %2 seconds. "
                        "If its port is raw TCP, use %3; otherwise configure it as telnet(rfc2217).")
      .arg(server)
      .arg(seconds)
      .arg(socketForm);
}

QString SettingRefused(const QString& server, const QString& setting, const QString& asked, const QString& answered) {
  return QStringLiteral("the server at %1 refused the %2 %3: it answered %4. Check what its serial device can do.")
      .arg(server, setting, asked, answered);
}

QString SettingUnconfirmed(const QString& server, const QString& setting, int seconds) {
  return QStringLiteral("the server at %1 did not confirm the %2 within %3 seconds. Check the server and its serial "
                        "device.")
      .arg(server, setting)
      .arg(seconds);
}

QString DroppedWhileOpening(const QString& server) {
  return QStringLiteral("the server at %1 closed the connection. %2; a server that takes one client at a time may "
                        "be busy with another.")
      .arg(server, QLatin1String(kCheckServer));
}

QString LostNothingSent(const QString& name, const QString& server) {
  return QStringLiteral("Nothing was sent: %1 was lost: the connection to the server at %2 dropped. Check the server, "
                        "then click again.")
      .arg(name, server);
}

QString LostReconnectFailed(const QString& name, const QString& server, const QString& reason) {
  return QStringLiteral("Nothing was sent: %1 was lost: the connection to the server at %2 dropped, and connecting "
                        "again failed: %3 Then click again.")
      .arg(name, server, reason);
}

QString NotOpen(const QString& name) {
  return QStringLiteral("Nothing was sent: %1 is not open. The panel opens a closed port only when it starts: end it "
                        "with END and start it again.")
      .arg(name);
}

QString SendFailed(const QString& name, const QString& reason) {
  return QStringLiteral("Sending on %1 failed: %2.").arg(name, reason);
}

QString LateWriteLost(const QString& name, const QString& server) {
  return QStringLiteral("What was sent last on %1 may not have reached the projector: the connection to the server at "
                        "%2 dropped before it was delivered. Check the server, then click again.")
      .arg(name, server);
}

QString SpeedNotChanged(const QString& name, const QString& reason) {
  return QStringLiteral("The speed of %1 could not be changed: %2").arg(name, reason);
}

QString SpeedLost(const QString& name, const QString& server) {
  return QStringLiteral("The speed of %1 could not be changed: the connection to the server at %2 dropped. The new "
                        "speed is kept for when the port opens again. Check the server, then click again.")
      .arg(name, server);
}

QString SpeedIsTheServers(const QString& name, int baud) {
  return QStringLiteral("The speed of %1 cannot be set from here: on a raw TCP port the server's own setting rules. "
                        "If the projector needs %2 baud, set it in the server's configuration.")
      .arg(name)
      .arg(baud);
}

QString BadSettings(const QString& settings) {
  return QStringLiteral("The line settings \"%1\" are not valid for a network serial server (expected e.g. "
                        "19200,N,8,1).")
      .arg(settings);
}

QString MalformedAddress(const QString& name, const QString& reason) {
  return QStringLiteral("%1 could not be opened: %2.").arg(name, reason);
}

}  // namespace network_texts
