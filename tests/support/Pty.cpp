#include "Pty.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <stdexcept>

#include <QCoreApplication>
#include <QElapsedTimer>

Pty::Pty() {
  char name[256] = {};
  if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) throw std::runtime_error("openpty failed");
  slavePath_ = name;
  termios raw{};
  tcgetattr(slave_, &raw);
  cfmakeraw(&raw);
  tcsetattr(slave_, TCSANOW, &raw);
  fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
}

Pty::~Pty() {
  HangUp();
  close(slave_);
}

void Pty::Write(const std::string& bytes) {
  if (::write(master_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
    throw std::runtime_error("write to pty master failed");
  }
}

std::string Pty::Read(std::size_t count, int timeoutMs) {
  std::string got;
  QElapsedTimer elapsed;
  elapsed.start();
  while (got.size() < count && elapsed.elapsed() < timeoutMs) {
    // The panel's writes leave through Qt's event loop.
    QCoreApplication::processEvents();
    pollfd p{master_, POLLIN, 0};
    if (poll(&p, 1, 10) > 0 && (p.revents & POLLIN)) {
      char buffer[256];
      const ssize_t n = ::read(master_, buffer, sizeof buffer);
      if (n > 0) got.append(buffer, static_cast<std::size_t>(n));
    }
  }
  return got;
}

void Pty::HangUp() {
  // The slave end stays open until the pair is destroyed: it keeps the terminal's number, which
  // the kernel would otherwise hand to the next program on the machine that makes a terminal. A
  // vanished path opened again would then find another test's line (and lock it from that test)
  // instead of nothing.
  if (master_ >= 0) {
    close(master_);
    master_ = -1;
  }
}
