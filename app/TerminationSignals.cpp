#include "TerminationSignals.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <stdexcept>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

volatile std::sig_atomic_t writeFd = -1;
volatile std::sig_atomic_t ending = 0;

// Only async-signal-safe calls here: the real work waits for the event loop.
extern "C" void OnTerminationSignal(int signal) {
  if (ending != 0) {
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    return;
  }
  ending = 1;
  const int savedErrno = errno;
  const char byte = static_cast<char>(signal);
  [[maybe_unused]] const ssize_t written = ::write(writeFd, &byte, 1);
  errno = savedErrno;
}

}  // namespace

TerminationSignals::TerminationSignals(std::function<void()> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds_) != 0) {
    throw std::runtime_error("no socket pair for the termination signals");
  }
  writeFd = fds_[1];
  ending = 0;
  notifier_ = new QSocketNotifier(fds_[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::OnReadable);

  for (const int signal : kSignals) {
    struct sigaction previous {};
    ::sigaction(signal, nullptr, &previous);
    if (previous.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(signal, &action, nullptr);
  }
}

TerminationSignals::~TerminationSignals() {
  for (const int signal : kSignals) {
    struct sigaction current {};
    ::sigaction(signal, nullptr, &current);
    if (current.sa_handler == OnTerminationSignal) std::signal(signal, SIG_DFL);
  }
  writeFd = -1;
  ::close(fds_[0]);
  ::close(fds_[1]);
}

void TerminationSignals::OnReadable() {
  char bytes[16];
  while (::read(fds_[0], bytes, sizeof bytes) > 0) {
  }
  // Whatever the ending does (a box, a failing close), it happens once.
  notifier_->setEnabled(false);
  onSignal_();
}
