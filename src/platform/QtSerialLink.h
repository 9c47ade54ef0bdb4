#pragma once

#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QStringList>
#include <deque>
#include <optional>

#include "controller/SerialLink.h"
#include "platform/DeviceIdentity.h"
#include "platform/PortMap.h"

// The serial link on a QSerialPort: 8 data bits, no flow control, parity/stop bits/speed from
// the settings string. Every arrival of data raises OnComm with EventCode 2.
//
// A device that vanishes (USB adapter pulled, the far end of a pseudo terminal closed) makes
// Qt 6.4 report a read or resource error over and over while the port stays open, tens of
// thousands of times a second. The port is closed on the first such error, so nothing spins,
// and is then lost: the next write opens the same path again (a /dev/serial/by-id link then
// leads to wherever the re-plugged adapter now is), but only if the device there is the one that
// was lost, and sends, or says why not.
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
  std::string PortName() const override { return Name().toStdString(); }

  // The device of the chosen port, as it was given (QSerialPort's own name drops "/dev/").
  QString DevicePath() const { return map_.PathFor(portNumber_); }
  // Other devices for COM1 and COM2: a closed port opens the new one, an open one keeps its own.
  void SetPortMap(PortMap map) { map_ = std::move(map); }

 protected:
  // Seams for the tests. Who the device at `path` is now (IdentifyDevice): a pseudo terminal has
  // nothing but its number, so a test says which of them count as the same device.
  virtual DeviceIdentity Identify(const QString& path) const { return IdentifyDevice(path); }
  // Runs the moment a device has opened, before it takes its line settings: where a test makes a
  // device go away in the middle of an open.
  virtual void Opened() {}

 private:
  struct LineSettings {
    qint32 baud;
    QSerialPort::Parity parity;
    QSerialPort::DataBits dataBits;
    QSerialPort::StopBits stopBits;
  };
  struct OpenFailure {
    QSerialPort::SerialPortError error;
    QString reason;
    bool settingsRefused;  // the device opened but refused the line settings
  };
  struct PendingFrame {
    QString frame;  // as sent, without its final CR
    qint64 left;    // its bytes still in the port's buffer
  };

  static LineSettings Parse(const std::string& settings);
  // Gives the open port the settings; false, with the port's error still set, if it refuses.
  bool Apply(const LineSettings& settings);
  QString Name() const;  // "COM1 (/dev/ttyS0)"
  // Opens the chosen device with the current settings and records who it is; on failure the
  // port is closed again, and nothing the port reported meanwhile counts as a loss.
  std::optional<OpenFailure> TryOpen();
  [[noreturn]] void FailOpen(const OpenFailure& failure) const;
  QString PermissionFailure(const QString& reason) const;
  // A write on a lost port: opens the device once more, if it is the one that was lost.
  void Reopen();
  // Hands a frame to the driver; what the driver cannot take yet waits in the port's buffer.
  void Send(const std::string& frame);
  void ClosePort();  // closes and forgets whatever the port still held
  // Closes a port whose device went away and remembers it as lost; frames that were still
  // waiting to go out are reported.
  void Lose();
  void SettleLoss();  // carries out a close the error handler has queued
  void OnReadyRead();
  void OnBytesWritten(qint64 bytes);
  void OnError(QSerialPort::SerialPortError error);

  QSerialPort port_;
  PortMap map_;
  std::int16_t portNumber_ = 1;
  std::int16_t eventCode_ = 0;
  LineSettings settings_{19200, QSerialPort::NoParity, QSerialPort::Data8, QSerialPort::OneStop};
  bool lost_ = false;          // closed by this link after the device went away
  bool closePending_ = false;  // the device went away; the close waits for the event loop
  DeviceIdentity device_;      // who the device was at the last open
  std::deque<PendingFrame> pending_;  // frames not yet wholly handed to the driver, oldest first
};
