#include "Line.h"

#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace sim {

namespace {

std::runtime_error Failure(const std::string& what) {
  return std::runtime_error(what + ": " + std::strerror(errno));
}

void MakeRaw(int fd, int baud) {
  termios t{};
  if (tcgetattr(fd, &t) != 0) throw Failure("tcgetattr");
  cfmakeraw(&t);
  t.c_cflag |= CLOCAL | CREAD;
  cfsetspeed(&t, baud == 9600 ? B9600 : B19200);
  if (tcsetattr(fd, TCSANOW, &t) != 0) throw Failure("tcsetattr");
}

}  // namespace

Line::Line(const std::optional<std::string>& device, int baud) {
  if (device) {
    fd_ = ::open(device->c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0) throw Failure("cannot open " + *device);
    clientPath_ = *device;
    MakeRaw(fd_, baud);
    return;
  }
  // We keep the client's end open ourselves: with no one holding it, the master reports a
  // hang-up until the client opens it, and again each time the client closes it.
  char name[256] = {};
  if (openpty(&fd_, &clientFd_, name, nullptr, nullptr) != 0) throw Failure("openpty");
  clientPath_ = name;
  MakeRaw(clientFd_, baud);
  fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) | O_NONBLOCK);
}

Line::~Line() {
  if (clientFd_ >= 0) ::close(clientFd_);
  if (fd_ >= 0) ::close(fd_);
}

std::string Line::Read() {
  char buffer[512];
  const ssize_t n = ::read(fd_, buffer, sizeof buffer);
  if (n > 0) return std::string(buffer, static_cast<std::size_t>(n));
  if (n < 0 && (errno == EAGAIN || errno == EINTR)) return {};
  throw n == 0 ? std::runtime_error("the line was closed") : Failure("read");
}

std::size_t Line::Write(std::string_view bytes) {
  const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
  if (n >= 0) return static_cast<std::size_t>(n);
  if (errno == EAGAIN || errno == EINTR) return 0;
  throw Failure("write");
}

void Line::HangUp() {
  using namespace std::chrono_literals;
  if (clientFd_ < 0) {
    tcdrain(fd_);
  } else {
    // Closing the master throws away what the client has not read yet.
    const auto giveUp = std::chrono::steady_clock::now() + 1s;
    std::this_thread::sleep_for(50ms);
    int unread = 0;
    while (ioctl(clientFd_, FIONREAD, &unread) == 0 && unread > 0 &&
           std::chrono::steady_clock::now() < giveUp) {
      std::this_thread::sleep_for(10ms);
    }
    ::close(clientFd_);
    clientFd_ = -1;
  }
  ::close(fd_);
  fd_ = -1;
}

}  // namespace sim
