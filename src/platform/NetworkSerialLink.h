#pragma once

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QObject>
#include <QTcpSocket>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

#include "controller/SerialLink.h"
#include "network/NetworkAddress.h"
#include "network/TelnetCodec.h"
#include "platform/PortMap.h"

// A serial line behind a network serial server: COM1 or COM2 named rfc2217://HOST:PORT (Telnet
// with the com port option: the panel sets the line) or socket://HOST:PORT (raw TCP: the server's
// own setting rules). It keeps the link's rules: open, closed by the operator, or lost when the
// connection drops; the next write connects once more, a write under NoReopen never does.
//
// Opening, and a speed change on rfc2217://, wait for the server without the event loop, so no
// other event of the panel runs in between, and never longer than `budgetMs` in all.
class NetworkSerialLink : public QObject, public SerialLink {
  Q_OBJECT

 public:
  static constexpr int kBudgetMs = 3000;

  explicit NetworkSerialLink(PortMap map, QObject* parent = nullptr, int budgetMs = kBudgetMs);
  ~NetworkSerialLink() override;
  NetworkSerialLink(const NetworkSerialLink&) = delete;
  NetworkSerialLink& operator=(const NetworkSerialLink&) = delete;

  void SetPortNumber(std::int16_t port) override;
  void SetLineSettings(const std::string& settings) override;
  bool IsOpen() const override;
  bool IsLost() const override;
  void Open() override;
  void Close() override;
  void Write(const std::string& bytes) override;
  std::string PortName() const override { return Name().toStdString(); }
  std::string ReadAvailable() override;
  void DiscardInput() override;
  std::int16_t EventCode() const override;
  bool OutputPending() const override;

  // Other devices for COM1 and COM2: a closed port connects to the new one, an open one keeps its own.
  void SetPortMap(PortMap map) { map_ = std::move(map); }

 private:
  QString Device() const { return map_.PathFor(portNumber_); }
  QString Name() const;    // "COM1 (rfc2217://10.0.0.5:4001)"
  QString Server() const;  // "10.0.0.5 port 4001"
  NetworkAddress Address() const;  // of the chosen port; throws for a malformed one
  // Connects and, on rfc2217://, sets the line; the reason for the operator when it cannot.
  std::optional<QString> Connect();
  std::optional<QString> Reach(const NetworkAddress& address, const QDeadlineTimer& deadline);
  std::optional<QString> SetLine(const QDeadlineTimer& deadline);
  // Waits for the server until `done` holds; false when the time is up or the connection drops.
  bool AwaitServer(const std::function<bool()>& done, const QDeadlineTimer& deadline);
  // Takes what the socket has: protocol bytes answered, the device's bytes kept for ReadAvailable.
  // True when the device's bytes grew.
  bool Pump();
  void OnReadyRead();
  void OnDropped();
  void Drop();  // the connection is gone: the port is lost
  int SystemQueue() const;  // bytes the system holds that the server has not yet acknowledged
  void LookAtQueue();       // stops watching the queue once nothing written waits there

  static constexpr int kDrainWatchMs = 10;

  QTcpSocket socket_;
  // While written bytes may still be in the system's queue it is looked at every few ms, so that
  // a drop can tell whether they had left.
  QTimer drainWatch_;
  bool systemHolds_ = false;
  std::unique_ptr<TelnetCodec> telnet_;  // on rfc2217:// only, one per connection
  PortMap map_;
  int budgetMs_;
  std::int16_t portNumber_ = 1;
  std::int16_t eventCode_ = 0;
  std::uint32_t baud_ = 19200;
  std::string received_;
  QString lastFrame_;  // the last frame written, without its CR, for a write the drop may have lost
  bool open_ = false;
  bool lost_ = false;
  bool waiting_ = false;           // inside Connect or a speed change: the socket's signals wait
  bool speedNoticeGiven_ = false;  // socket://: the speed is the server's, said once
};
