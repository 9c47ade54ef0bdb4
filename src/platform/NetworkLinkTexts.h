#pragma once

#include <QString>

// What the network link tells the operator, in one place. `name` is how the port is shown,
// "COM1 (rfc2217://10.0.0.5:4001)"; `server` names host and port, "10.0.0.5 port 4001".
namespace network_texts {

// Opening failed; `reason` is one of the reasons below.
QString CouldNotOpen(const QString& name, const QString& reason);

QString Refused(const QString& server);
QString HostUnknown(const QString& host, int port);
QString NoAnswer(const QString& server, int seconds);
QString Unreachable(const QString& server, const QString& systemReason);
QString ComPortRefused(const QString& server, const QString& socketForm);
QString ComPortUnanswered(const QString& server, int seconds, const QString& socketForm);
QString SettingRefused(const QString& server, const QString& setting, const QString& asked, const QString& answered);
QString SettingUnconfirmed(const QString& server, const QString& setting, int seconds);
QString DroppedWhileOpening(const QString& server);

// A write on a lost port, without and with the one reconnect it may try.
QString LostNothingSent(const QString& name, const QString& server);
QString LostReconnectFailed(const QString& name, const QString& server, const QString& reason);
QString NotOpen(const QString& name);
QString SendFailed(const QString& name, const QString& reason);
// Bytes handed to the connection that it could not deliver before it dropped.
QString LateWriteLost(const QString& name, const QString& server);

// A speed change on an open port; `reason` is one of the reasons above.
QString SpeedNotChanged(const QString& name, const QString& reason);
QString SpeedLost(const QString& name, const QString& server);
QString SpeedIsTheServers(const QString& name, int baud);
QString BadSettings(const QString& settings);
QString MalformedAddress(const QString& name, const QString& reason);

}  // namespace network_texts
