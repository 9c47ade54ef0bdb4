#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

// A projector behind a network serial server, named as serial tools name one:
// rfc2217://HOST:PORT (Telnet with serial-port control) or socket://HOST:PORT (raw TCP). An IPv6
// host goes in brackets: rfc2217://[::1]:4001.
struct NetworkAddress {
  enum class Kind { Rfc2217, RawSocket };

  Kind kind = Kind::Rfc2217;
  std::string host;  // without brackets
  std::uint16_t port = 0;

  bool operator==(const NetworkAddress&) const = default;
};

// What a device name given for COM1 or COM2 stands for.
struct LocalDevice {};           // a path: the device, pseudo terminal or COM port of this machine
struct MalformedDevice {         // neither: `reason` says what is wrong, in one line
  std::string reason;
};
using DeviceName = std::variant<LocalDevice, NetworkAddress, MalformedDevice>;

// Reads a device name. A name with "://" is a network address or a mistake; so is HOST:PORT
// without its kind, which no serial device is called. Anything else is a local path.
DeviceName ReadDeviceName(std::string_view device);

// True for a name ReadDeviceName reads as a network address.
bool IsNetworkAddress(std::string_view device);

// "rfc2217://[::1]:4001", as the operator would write it.
std::string ToString(const NetworkAddress& address);
// "127.0.0.1 port 4001", for texts that tell the operator what to check.
std::string HostAndPort(const NetworkAddress& address);
