#include "platform/StopSignals.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <stdexcept>

namespace {

constexpr int kStopping[] = {SIGINT, SIGTERM, SIGHUP};

volatile std::sig_atomic_t writeFd = -1;
volatile std::sig_atomic_t caught = 0;

// Only async-signal-safe calls here: the rest waits for the event loop.
extern "C" void OnStoppingSignal(int signal) {
  if (caught != 0) {
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    return;
  }
  caught = signal;
  const int savedErrno = errno;
  const char byte = static_cast<char>(signal);
  [[maybe_unused]] const ssize_t written = ::write(writeFd, &byte, 1);
  errno = savedErrno;
}

}  // namespace

StopSignals::StopSignals(std::function<void()> onSignal) : onSignal_(std::move(onSignal)) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds_) != 0) {
    throw std::runtime_error("no socket pair for the stopping signals");
  }
  writeFd = fds_[1];
  caught = 0;
  notifier_ = std::make_unique<QSocketNotifier>(fds_[0], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
    char bytes[8];
    while (::read(fds_[0], bytes, sizeof bytes) > 0) {
    }
    notifier_->setEnabled(false);
    if (onSignal_) onSignal_();
  });
  for (const int signal : kStopping) {
    struct sigaction previous {};
    ::sigaction(signal, nullptr, &previous);
    if (previous.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = OnStoppingSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(signal, &action, nullptr);
  }
}

StopSignals::~StopSignals() {
  for (const int signal : kStopping) {
    struct sigaction current {};
    ::sigaction(signal, nullptr, &current);
    if (current.sa_handler == OnStoppingSignal) std::signal(signal, SIG_DFL);
  }
  notifier_.reset();
  writeFd = -1;
  ::close(fds_[0]);
  ::close(fds_[1]);
}

int StopSignals::Caught() const { return caught; }

NoPipeSignal::NoPipeSignal() {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  ::sigaction(SIGPIPE, &ignore, &before_);
}

NoPipeSignal::~NoPipeSignal() { ::sigaction(SIGPIPE, &before_, nullptr); }

const char* SignalName(int signal) {
  switch (signal) {
    case SIGINT: return "SIGINT";
    case SIGTERM: return "SIGTERM";
    case SIGHUP: return "SIGHUP";
    default: return "a signal";
  }
}
