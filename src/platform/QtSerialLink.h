#pragma once

#include <QObject>
#include <QSerialPort>
#include <QString>
#include <optional>

#include "controller/SerialLink.h"
#include "platform/PortMap.h"

// The serial link on a QSerialPort: 8 data bits, no flow control, parity/stop bits/speed from
// the settings string. Every arrival of data raises OnComm with EventCode 2.
//
// A device that vanishes (USB adapter pulled, the far end of a pseudo terminal closed) makes
// Qt 6.4 report a read or resource error over and over while the port stays open, tens of
// thousands of times a second. The port is closed on the first such error, so nothing spins,
// and is then lost: the next write opens the same path again (a /dev/serial/by-id link then
// leads to wherever the re-plugged adapter now is) and sends, or says the device is gone.
class QtSerialLink : public QObject, public SerialLink {
  Q_OBJECT

 public:
  explicit QtSerialLink(PortMap map, QObject* parent = nullptr);

  void SetPortNumber(std::int16_t port) override;
  void SetLineSettings(const std::string& settings) override;
  bool IsOpen() const override;
  bool IsLost() const override;
  void Open() override;
  void Close() override;
  void Write(const std::string& bytes) override;
  std::string ReadAvailable() override;
  void DiscardInput() override;
  std::int16_t EventCode() const override;
  bool OutputPending() const override;

  // The device of the chosen port, as it was given (QSerialPort's own name drops "/dev/").
  QString DevicePath() const { return map_.PathFor(portNumber_); }
  // Other devices for COM1 and COM2: a closed port opens the new one, an open one keeps its own.
  void SetPortMap(PortMap map) { map_ = std::move(map); }

 private:
  struct LineSettings {
    qint32 baud;
    QSerialPort::Parity parity;
    QSerialPort::DataBits dataBits;
    QSerialPort::StopBits stopBits;
  };

  static LineSettings Parse(const std::string& settings);
  struct OpenFailure {
    QSerialPort::SerialPortError error;
    QString reason;
    bool settingsRefused;  // the device opened but refused the line settings
  };

  // Gives the open port the settings; false, with the port's error still set, if it refuses.
  bool Apply(const LineSettings& settings);
  QString Name() const;  // "COM1 (/dev/ttyS0)"
  // Opens the chosen device with the current settings; on failure the port is closed again.
  std::optional<OpenFailure> TryOpen();
  [[noreturn]] void FailOpen(const OpenFailure& failure) const;
  // Closes a port whose device went away and remembers it as lost.
  void Lose();
  void SettleLoss();  // carries out a close the error handler has queued
  void OnReadyRead();
  void OnError(QSerialPort::SerialPortError error);

  QSerialPort port_;
  PortMap map_;
  std::int16_t portNumber_ = 1;
  std::int16_t eventCode_ = 0;
  LineSettings settings_{19200, QSerialPort::NoParity, QSerialPort::Data8, QSerialPort::OneStop};
  bool lost_ = false;          // closed by this link after the device went away
  bool closePending_ = false;  // the device went away; the close waits for the event loop
};
