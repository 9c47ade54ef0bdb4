#include "platform/LinkByDevice.h"

#include "network/NetworkAddress.h"

LinkByDevice::LinkByDevice(const PortMap& map) : map_(map), local_(map), network_(map) {
  for (SerialLink* link : {static_cast<SerialLink*>(&local_), static_cast<SerialLink*>(&network_)}) {
    link->SetOnComm([this, link] {
      if (link == &Chosen()) RaiseOnComm();
    });
    link->SetOnNotice([this](const std::string& text) { RaiseNotice(text); });
    link->SetOnPortChange([this](PortChange change) { RaisePortChange(change); });
  }
}

const SerialLink& LinkByDevice::Chosen() const {
  // A malformed address goes to the network link too, which names what is wrong when it opens.
  const bool network = map_.PathFor(port_).contains(QLatin1String("://")) ||
                       IsNetworkAddress(map_.PathFor(port_).toStdString());
  return network ? static_cast<const SerialLink&>(network_) : local_;
}

SerialLink& LinkByDevice::Chosen() { return const_cast<SerialLink&>(std::as_const(*this).Chosen()); }

void LinkByDevice::SetPortNumber(std::int16_t port) {
  local_.SetPortNumber(port);
  network_.SetPortNumber(port);
  port_ = port;
}

void LinkByDevice::SetLineSettings(const std::string& settings) {
  // The other link is closed: it only keeps the settings for when its port is chosen.
  SerialLink& chosen = Chosen();
  SerialLink& other = &chosen == &local_ ? static_cast<SerialLink&>(network_) : local_;
  other.SetLineSettings(settings);
  chosen.SetLineSettings(settings);
}

void LinkByDevice::Open() {
  if (const std::optional<QString> why = Refusal(port_)) throw LinkRefused(why->toStdString());
  Chosen().Open();
}

std::optional<QString> LinkByDevice::Refusal(std::int16_t port) const {
  const auto refused = refused_.find(port);
  return refused != refused_.end() ? std::optional(refused->second) : std::nullopt;
}

void LinkByDevice::Write(const std::string& bytes) {
  if (ReopenAllowed()) {
    Chosen().Write(bytes);
    return;
  }
  const NoReopen once(Chosen());
  Chosen().Write(bytes);
}

void LinkByDevice::SetDevice(std::int16_t port, const QString& device) {
  map_.SetPathFor(port, device);
  refused_.erase(port);
  local_.SetPortMap(map_);
  network_.SetPortMap(map_);
}
