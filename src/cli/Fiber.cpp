#include "cli/Fiber.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <memory>
#include <unordered_set>
#include <vector>

#include <ucontext.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#define PANEL_FIBER_ASAN 1
#endif

namespace {

// Enough for a run's session, its streams and Qt's calls beneath them, with room for the
// sanitizers' larger frames.
constexpr std::size_t kStackBytes = 1024 * 1024;

Fiber* current = nullptr;
Fiber* starting = nullptr;
int running = 0;
// A wake may be due for a fiber that has ended meanwhile.
std::unordered_set<const Fiber*> live;

// Wakes are delivered here; the fibers themselves are no QObjects.
QObject& Waker() {
  static QObject waker;
  return waker;
}

}  // namespace

struct Fiber::Context {
  ucontext_t own{};
  ucontext_t caller{};
  std::vector<char> stack = std::vector<char>(kStackBytes);
#ifdef PANEL_FIBER_ASAN
  void* fakeStack = nullptr;
  const void* callerBottom = nullptr;
  std::size_t callerSize = 0;
#endif
};

Fiber::Fiber(std::function<void()> body) : body_(std::move(body)), context_(new Context) { live.insert(this); }

Fiber::~Fiber() {
  live.erase(this);
  delete context_;
}

Fiber* Fiber::Current() { return current; }

int Fiber::Running() { return running; }

void Fiber::Start(std::function<void()> body) {
  ++running;
  QTimer::singleShot(0, &Waker(), [body = std::move(body)]() mutable {
    auto* fiber = new Fiber(std::move(body));
    ::getcontext(&fiber->context_->own);
    fiber->context_->own.uc_stack.ss_sp = fiber->context_->stack.data();
    fiber->context_->own.uc_stack.ss_size = fiber->context_->stack.size();
    fiber->context_->own.uc_link = nullptr;
    ::makecontext(&fiber->context_->own, &Fiber::Body, 0);
    starting = fiber;
    fiber->Enter();
  });
}

void Fiber::Body() {
  Fiber* self = starting;
#ifdef PANEL_FIBER_ASAN
  __sanitizer_finish_switch_fiber(nullptr, &self->context_->callerBottom, &self->context_->callerSize);
#endif
  // A body that throws ends its fiber, not the holder: what it was serving has gone.
  try {
    self->body_();
  } catch (...) {
  }
  self->ended_ = true;
#ifdef PANEL_FIBER_ASAN
  __sanitizer_start_switch_fiber(nullptr, self->context_->callerBottom, self->context_->callerSize);
#endif
  ::setcontext(&self->context_->caller);
}

void Fiber::Enter() {
  Fiber* outer = current;
  current = this;
#ifdef PANEL_FIBER_ASAN
  void* fake = nullptr;
  __sanitizer_start_switch_fiber(&fake, context_->stack.data(), context_->stack.size());
#endif
  ::swapcontext(&context_->caller, &context_->own);
#ifdef PANEL_FIBER_ASAN
  __sanitizer_finish_switch_fiber(fake, nullptr, nullptr);
#endif
  current = outer;
  if (ended_) {
    --running;
    delete this;
  }
}

void Fiber::Suspend() {
  suspended_ = true;
#ifdef PANEL_FIBER_ASAN
  __sanitizer_start_switch_fiber(&context_->fakeStack, context_->callerBottom, context_->callerSize);
#endif
  ::swapcontext(&context_->own, &context_->caller);
#ifdef PANEL_FIBER_ASAN
  __sanitizer_finish_switch_fiber(context_->fakeStack, &context_->callerBottom, &context_->callerSize);
#endif
  suspended_ = false;
}

void Fiber::Wake() {
  if (wakeAsked_) return;
  wakeAsked_ = true;
  QTimer::singleShot(0, &Waker(), [this] {
    if (live.count(this) == 0) return;
    wakeAsked_ = false;
    if (suspended_) Enter();
  });
}

void Fiber::WaitUntil(const std::function<bool()>& done, int pollMs) {
  if (done()) return;
  Fiber* self = current;
  if (self == nullptr) {
    QEventLoop loop;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
      if (done()) loop.quit();
    });
    look.start(pollMs);
    loop.exec();
    return;
  }
  QTimer look;
  QObject::connect(&look, &QTimer::timeout, [self] { self->Wake(); });
  look.start(pollMs);
  while (!done()) self->Suspend();
}
