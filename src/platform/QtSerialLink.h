#pragma once

#include <QObject>
#include <QSerialPort>
#include <QString>

#include "controller/SerialLink.h"
#include "platform/PortMap.h"

// The serial link on a QSerialPort: 8 data bits, no flow control, parity/stop bits/speed from
// the settings string. Every arrival of data raises OnComm with EventCode 2.
//
// A device that vanishes (USB adapter pulled, the far end of a pseudo terminal closed) makes
// Qt 6.4 report a read or resource error over and over while the port stays open, tens of
// thousands of times a second. The port is closed on the first such error, so nothing spins,
// and the next write reports the loss.
class QtSerialLink : public QObject, public SerialLink {
  Q_OBJECT

 public:
  explicit QtSerialLink(PortMap map, QObject* parent = nullptr);

  void SetPortNumber(std::int16_t port) override;
  void SetLineSettings(const std::string& settings) override;
  bool IsOpen() const override;
  void Open() override;
  void Close() override;
  void Write(const std::string& bytes) override;
  std::string ReadAvailable() override;
  std::int16_t EventCode() const override;
  bool OutputPending() const override;

  QString DevicePath() const { return port_.portName(); }

 private:
  struct LineSettings {
    qint32 baud;
    QSerialPort::Parity parity;
    QSerialPort::DataBits dataBits;
    QSerialPort::StopBits stopBits;
  };

  static LineSettings Parse(const std::string& settings);
  void Apply(const LineSettings& settings);
  QString Name() const;  // "COM1 (/dev/ttyS0)"
  [[noreturn]] void FailOpen();
  void OnReadyRead();
  void OnError(QSerialPort::SerialPortError error);

  QSerialPort port_;
  PortMap map_;
  std::int16_t portNumber_ = 1;
  std::int16_t eventCode_ = 0;
  LineSettings settings_{19200, QSerialPort::NoParity, QSerialPort::Data8, QSerialPort::OneStop};
  QString lostReason_;     // why the port was closed behind the controller's back
  bool closePending_ = false;
};
