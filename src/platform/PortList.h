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

// The serial devices Qt finds on this system: what --list-ports prints and the window's device
// chooser offers.
std::vector<SerialPortEntry> SystemSerialPorts();

// The listing --list-ports prints: a block per device, with every link in `linkDir` that leads
// to it (the stable names udev keeps in /dev/serial/by-id), or "no serial ports found".
std::string FormatPortList(const std::vector<SerialPortEntry>& ports, const std::string& linkDir);

// One device as the window's chooser offers it: the name to give the port (its first stable link,
// which survives a re-plug, else its path) and what is known of it in one line.
struct PortChoice {
  std::string device;   // /dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0
  std::string details;  // /dev/ttyUSB0, FTDI, FT232R USB UART, serial number A50285BI

  bool operator==(const PortChoice&) const = default;
};

// The devices with a stable link first, otherwise in the order given.
std::vector<PortChoice> PortChoices(const std::vector<SerialPortEntry>& ports, const std::string& linkDir);

// The name `device` is best kept by: its first link in `linkDir`, which follows the adapter to
// whatever node it gets, else `device` itself.
std::string StableName(const std::string& device, const std::string& linkDir);

inline constexpr const char* kStableLinkDir = "/dev/serial/by-id";
