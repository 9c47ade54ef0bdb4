#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One serial device as the system describes it. Empty texts are unknown.
struct SerialPortEntry {
  std::string path;  // /dev/ttyUSB0
  std::string description;
  std::string maker;
  std::string serialNumber;
  std::optional<std::uint16_t> vendorId;
  std::optional<std::uint16_t> productId;
};

// The serial devices Qt finds on this system.
std::vector<SerialPortEntry> SystemSerialPorts();

// The listing --list-ports prints: a block per device, with every link in `linkDir` that leads
// to it (the stable names udev keeps in /dev/serial/by-id), or "no serial ports found".
std::string FormatPortList(const std::vector<SerialPortEntry>& ports, const std::string& linkDir);

inline constexpr const char* kStableLinkDir = "/dev/serial/by-id";
