#include "network/NetworkAddress.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <optional>

namespace {

struct Scheme {
  std::string_view name;
  NetworkAddress::Kind kind;
};
constexpr std::array kSchemes{Scheme{"rfc2217", NetworkAddress::Kind::Rfc2217},
                              Scheme{"socket", NetworkAddress::Kind::RawSocket}};

constexpr std::string_view kBothForms =
    "rfc2217://HOST:PORT for a Telnet (RFC 2217) serial server or socket://HOST:PORT for raw TCP";

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

bool Lowercase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-' || c == '.' || c == '_'; }
bool IsIpv6Char(char c) {
  return std::isxdigit(static_cast<unsigned char>(c)) != 0 || c == ':' || c == '.';
}

bool AllOf(std::string_view text, bool (*ok)(char)) { return !text.empty() && std::all_of(text.begin(), text.end(), ok); }

std::optional<std::uint16_t> PortNumber(std::string_view text) {
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty() || value < 1 || value > 65535) {
    return std::nullopt;
  }
  return static_cast<std::uint16_t>(value);
}

// HOST:PORT or [IPV6]:PORT, as it stands after the kind.
struct HostPort {
  std::string_view host, port;
  bool bracketed;
};

std::variant<HostPort, std::string> Split(std::string_view rest, std::string_view whole) {
  if (!rest.empty() && rest.front() == '[') {
    const std::size_t close = rest.find(']');
    if (close == std::string_view::npos) return Quoted(whole) + " opens a bracket for an IPv6 host but does not close it";
    const std::string_view after = rest.substr(close + 1);
    if (after.empty() || after.front() != ':') return Quoted(whole) + " names no port: add :PORT after the ']'";
    return HostPort{rest.substr(1, close - 1), after.substr(1), true};
  }
  const std::size_t colon = rest.find(':');
  if (colon == std::string_view::npos) return Quoted(whole) + " names no port: add :PORT after the host";
  if (rest.find(':', colon + 1) != std::string_view::npos) {
    return Quoted(whole) + " has more than one ':': an IPv6 host goes in brackets, as in rfc2217://[::1]:4001";
  }
  return HostPort{rest.substr(0, colon), rest.substr(colon + 1), false};
}

DeviceName ReadAddress(std::string_view device, std::size_t schemeEnd) {
  const std::string_view scheme = device.substr(0, schemeEnd);
  const auto* known = std::find_if(kSchemes.begin(), kSchemes.end(),
                                   [scheme](const Scheme& s) { return Lowercase(s.name, scheme); });
  if (known == kSchemes.end()) {
    return MalformedDevice{Quoted(std::string(scheme) + "://") + " is not a kind of port the panel knows: write " +
                           std::string(kBothForms)};
  }
  const auto split = Split(device.substr(schemeEnd + 3), device);
  if (const auto* error = std::get_if<std::string>(&split)) return MalformedDevice{*error};
  const HostPort& parts = std::get<HostPort>(split);
  if (parts.host.empty()) return MalformedDevice{Quoted(device) + " names no host"};
  if (!AllOf(parts.host, parts.bracketed ? IsIpv6Char : IsNameChar)) {
    return MalformedDevice{Quoted(parts.host) + " in " + Quoted(device) + " is not a host name or " +
                           (parts.bracketed ? "IPv6 address" : "address")};
  }
  const auto port = PortNumber(parts.port);
  if (!port) {
    return MalformedDevice{"the port " + Quoted(parts.port) + " in " + Quoted(device) +
                           " is not a number from 1 to 65535 (nothing may follow it)"};
  }
  return NetworkAddress{known->kind, std::string(parts.host), *port};
}

// HOST:PORT with no kind and no '/': a network port named the way a browser would not take it.
bool LooksLikeHostAndPort(std::string_view device) {
  if (device.find('/') != std::string_view::npos) return false;
  const std::size_t colon = device.rfind(':');
  if (colon == std::string_view::npos || colon == 0 || !PortNumber(device.substr(colon + 1))) return false;
  const std::string_view host = device.substr(0, colon);
  if (host.size() > 2 && host.front() == '[' && host.back() == ']') return AllOf(host.substr(1, host.size() - 2), IsIpv6Char);
  return AllOf(host, IsNameChar);
}

}  // namespace

DeviceName ReadDeviceName(std::string_view device) {
  const std::size_t schemeEnd = device.find("://");
  if (schemeEnd != std::string_view::npos) return ReadAddress(device, schemeEnd);
  if (LooksLikeHostAndPort(device)) {
    return MalformedDevice{Quoted(device) + " names a network port without its kind: write rfc2217://" +
                           std::string(device) + " for a Telnet (RFC 2217) serial server or socket://" +
                           std::string(device) + " for raw TCP"};
  }
  return LocalDevice{};
}

bool IsNetworkAddress(std::string_view device) { return std::holds_alternative<NetworkAddress>(ReadDeviceName(device)); }

std::string ToString(const NetworkAddress& address) {
  const std::string scheme = address.kind == NetworkAddress::Kind::Rfc2217 ? "rfc2217://" : "socket://";
  const bool ipv6 = address.host.find(':') != std::string::npos;
  return scheme + (ipv6 ? "[" + address.host + "]" : address.host) + ":" + std::to_string(address.port);
}

std::string HostAndPort(const NetworkAddress& address) { return address.host + " port " + std::to_string(address.port); }
