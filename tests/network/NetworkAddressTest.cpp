// How a device name is read: a local path, a network serial server, or a mistake. The texts of
// the mistakes are checked where the operator sees them (tests/app/CommandLineTest.cpp).
#include <gtest/gtest.h>

#include "network/NetworkAddress.h"

namespace {

using Kind = NetworkAddress::Kind;

TEST(NetworkAddress, ReadsTheKindHostAndPortOrLeavesAPathLocal) {
  const struct {
    const char* device;
    std::optional<NetworkAddress> address;  // none: a local path
    bool malformed = false;
  } cases[] = {
      {"rfc2217://127.0.0.1:4001", NetworkAddress{Kind::Rfc2217, "127.0.0.1", 4001}},
      {"socket://serial-server.local:7000", NetworkAddress{Kind::RawSocket, "serial-server.local", 7000}},
      {"RFC2217://[::1]:65535", NetworkAddress{Kind::Rfc2217, "::1", 65535}},
      {"socket://[fe80::1]:1", NetworkAddress{Kind::RawSocket, "fe80::1", 1}},
      {"/dev/ttyUSB0", std::nullopt},
      {"/dev/serial/by-id/usb-FTDI_FT232R-if00-port0", std::nullopt},
      {"COM1", std::nullopt},
      {"/tmp/odd:name:4001", std::nullopt},  // a path, colons and all
      {"ttyS0", std::nullopt},
      {"projector:4001", std::nullopt, true},  // HOST:PORT without its kind
      {"[::1]:4001", std::nullopt, true},
      {"rfc2217://h:0", std::nullopt, true},
      {"rfc2217://h:", std::nullopt, true},
      {"rfc2217://[]:4001", std::nullopt, true},
      {"rfc2217://[::1]4001", std::nullopt, true},
      {"rfc2217://[::g]:4001", std::nullopt, true},
      {"socket://h:4001/", std::nullopt, true},
      {"socket://h:+4001", std::nullopt, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.device);
    const DeviceName name = ReadDeviceName(c.device);
    EXPECT_EQ(std::holds_alternative<MalformedDevice>(name), c.malformed);
    EXPECT_EQ(std::holds_alternative<LocalDevice>(name), !c.malformed && !c.address);
    EXPECT_EQ(IsNetworkAddress(c.device), c.address.has_value());
    if (c.address) {
      EXPECT_EQ(std::get<NetworkAddress>(name), *c.address);
    }
  }
}

}  // namespace
