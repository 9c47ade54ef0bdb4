#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// Debian's ser2net as a child process, bridging one serial device (a pseudo terminal) to a free
// TCP port on 127.0.0.1, for the life of this object. Started, it is listening.
class Ser2net {
 public:
  enum class Kind { Rfc2217, Raw };  // accepter telnet(rfc2217),tcp or plain tcp

  // Throws std::runtime_error when ser2net is missing or does not listen in time.
  Ser2net(const QString& device, Kind kind);
  ~Ser2net();
  Ser2net(const Ser2net&) = delete;
  Ser2net& operator=(const Ser2net&) = delete;

  quint16 Port() const { return port_; }
  // "rfc2217://127.0.0.1:PORT" or "socket://127.0.0.1:PORT".
  QString Url() const;

  // Killed at once, as a crash or a power cut would; its connections drop.
  void Kill();
  // Started again on the same port with the same configuration.
  void Restart();

 private:
  void Start();

  QTemporaryDir dir_;
  QProcess process_;
  Kind kind_;
  quint16 port_ = 0;
};

// Whether something listens on this TCP port of 127.0.0.1 (read from /proc, without connecting).
bool Listening(quint16 port);
