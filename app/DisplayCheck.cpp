#include "DisplayCheck.h"

#include <QByteArray>
#include <QtGlobal>

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
namespace {

// A remote display that neither answers nor refuses within this time counts as unreachable.
constexpr int kConnectMs = 3000;

// Whether a stream socket connects to `address` within kConnectMs.
bool Connects(int family, const sockaddr* address, socklen_t length) {
  const int fd = ::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  bool connected = ::connect(fd, address, length) == 0;
  if (!connected && errno == EINPROGRESS) {
    pollfd watch{fd, POLLOUT, 0};
    int error = 0;
    socklen_t size = sizeof error;
    connected = ::poll(&watch, 1, kConnectMs) == 1 && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 &&
                error == 0;
  }
  ::close(fd);
  return connected;
}

bool SocketAt(const std::string& path, bool abstract) {
  sockaddr_un address{};
  if (path.size() + 1 >= sizeof address.sun_path) return false;
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path + (abstract ? 1 : 0), path.data(), path.size());
  const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() + (abstract ? 1 : 0));
  return Connects(AF_UNIX, reinterpret_cast<const sockaddr*>(&address), length);
}

// The local server's socket, in the abstract namespace first and then in the file system, as
// the X library looks for it.
bool LocalServer(long display) {
  const std::string path = "/tmp/.X11-unix/X" + std::to_string(display);
  return SocketAt(path, true) || SocketAt(path, false);
}

bool TcpServer(const std::string& host, long display) {
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(host.c_str(), std::to_string(6000 + display).c_str(), &hints, &found) != 0) return false;
  bool reached = false;
  for (const addrinfo* a = found; a != nullptr && !reached; a = a->ai_next) {
    reached = Connects(a->ai_family, a->ai_addr, a->ai_addrlen);
  }
  ::freeaddrinfo(found);
  return reached;
}

// Whether an X server answers at `name`: "[PROTOCOL/][HOST]:DISPLAY[.SCREEN]", or a socket's
// path with or without ":DISPLAY" after it.
bool Reachable(const std::string& name) {
  const std::size_t colon = name.rfind(':');
  if (name.front() == '/') return SocketAt(name, false) || (colon != std::string::npos && SocketAt(name.substr(0, colon), false));
  if (colon == std::string::npos) return false;
  char* end = nullptr;
  const long display = std::strtol(name.c_str() + colon + 1, &end, 10);
  if (end == name.c_str() + colon + 1 || (*end != '\0' && *end != '.') || display < 0 || display > 59535) return false;
  std::string host = name.substr(0, colon);
  const std::size_t slash = host.find('/');
  const std::string protocol = slash == std::string::npos ? "" : host.substr(0, slash);
  if (slash != std::string::npos) host.erase(0, slash + 1);
  if (host.size() > 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
  if (host.empty() || host == "unix" || protocol == "unix") {
    // Without a host the X library falls back to TCP on this machine.
    return LocalServer(display) || (protocol.empty() && host.empty() && TcpServer("localhost", display));
  }
  return TcpServer(host, display);
}

}  // namespace
#endif

std::optional<std::string> MissingDisplay() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  const QByteArray display = qgetenv("DISPLAY");
  // Only the X11 plugin is checked: it is the one chosen when nothing else is named, and the
  // one that aborts. A Wayland session or another platform is Qt's to report.
  const bool x11 = platform.isEmpty() ? qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") : platform.startsWith("xcb");
  if (!x11) return std::nullopt;
  if (display.isEmpty()) {
    return std::string(platform.isEmpty() ? "DISPLAY and WAYLAND_DISPLAY are not set" : "DISPLAY is not set");
  }
  if (!Reachable(display.toStdString())) return "DISPLAY=" + display.toStdString() + " cannot be reached";
#endif
  return std::nullopt;
}
