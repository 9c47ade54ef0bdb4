#include "SharedLine.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace {

void WriteAll(int fd, const char* bytes, ssize_t count) {
  while (count > 0) {
    const ssize_t n = ::write(fd, bytes, static_cast<std::size_t>(count));
    if (n < 0 && errno == EAGAIN) continue;  // a few bytes: the line takes them at once
    if (n <= 0) return;
    bytes += n;
    count -= n;
  }
}

}  // namespace

SharedLine::SharedLine(const std::vector<QString>& projectors) {
  for (const QString& device : projectors) {
    const int fd = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) throw std::runtime_error("cannot open " + device.toStdString());
    drops_.push_back(fd);
  }
  Watch(line_.MasterFd(), drops_, true);
  for (const int drop : drops_) Watch(drop, {line_.MasterFd()}, false);
}

SharedLine::~SharedLine() {
  notifiers_.clear();
  for (const int fd : drops_) ::close(fd);
}

void SharedLine::Watch(int from, const std::vector<int>& to, bool fromPanel) {
  auto notifier = std::make_unique<QSocketNotifier>(from, QSocketNotifier::Read);
  QSocketNotifier* self = notifier.get();
  QObject::connect(self, &QSocketNotifier::activated, [this, self, from, to, fromPanel] {
    char buffer[512];
    const ssize_t n = ::read(from, buffer, sizeof buffer);
    if (n <= 0) {
      if (n < 0 && errno == EAGAIN) return;
      self->setEnabled(false);  // that end has gone away
      return;
    }
    if (fromPanel) {
      termios settings{};
      if (tcgetattr(line_.SlaveFd(), &settings) == 0) speedSeen_ = cfgetospeed(&settings);
    }
    for (const int fd : to) WriteAll(fd, buffer, n);
  });
  notifiers_.push_back(std::move(notifier));
}
