#pragma once

#include <map>
#include <optional>

#include "controller/SerialLink.h"
#include "platform/NetworkSerialLink.h"
#include "platform/PortMap.h"
#include "platform/QtSerialLink.h"

// The link the controller holds: COM1 and COM2 may be of different kinds in one run (a USB
// adapter and an rfc2217:// server), so every operation goes to the local or the network link
// by the form of the chosen port's device. Both know the port number and the line settings; only
// the one of the chosen port is ever opened. NoReopen, OnComm, notices and port changes pass through.
class LinkByDevice : public SerialLink {
 public:
  explicit LinkByDevice(const PortMap& map);

  void SetPortNumber(std::int16_t port) override;
  void SetLineSettings(const std::string& settings) override;
  bool IsOpen() const override { return Chosen().IsOpen(); }
  bool IsLost() const override { return Chosen().IsLost(); }
  void Open() override;
  void Close() override { Chosen().Close(); }
  void Write(const std::string& bytes) override;
  std::string ReadAvailable() override { return Chosen().ReadAvailable(); }
  void DiscardInput() override { Chosen().DiscardInput(); }
  std::int16_t EventCode() const override { return Chosen().EventCode(); }
  bool OutputPending() const override { return Chosen().OutputPending(); }
  std::string PortName() const override { return Chosen().PortName(); }

  const PortMap& Devices() const { return map_; }
  // The device of the port chosen now.
  QString Device() const { return map_.PathFor(port_); }
  // Gives `port` another device, which may be of the other kind. Only while the port is not the
  // chosen one or is closed: an open port is closed by the link its own device is open on.
  void SetDevice(std::int16_t port, const QString& device);
  // `port` is not opened, with `why` as its LinkRefused text, until it is given a device: what is
  // at its path is not the device kept for it.
  void Refuse(std::int16_t port, const QString& why) { refused_[port] = why; }
  std::optional<QString> Refusal(std::int16_t port) const;

 private:
  SerialLink& Chosen();
  const SerialLink& Chosen() const;

  PortMap map_;
  std::map<std::int16_t, QString> refused_;  // why each refused port is
  std::int16_t port_ = 1;
  QtSerialLink local_;
  NetworkSerialLink network_;
};
