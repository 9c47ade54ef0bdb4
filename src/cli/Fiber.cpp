#include "cli/Fiber.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <new>
#include <unordered_set>

#include <sys/mman.h>
#include <ucontext.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#define PANEL_FIBER_ASAN 1
#endif

namespace {

// As much as the event loop's own stack has: between its exchanges a run gives the line back to
// the window, whose waiting clicks then run on this stack, a message box and its drawing
// included. Pages are only taken as they are used; the lowest one is a guard, so an overflow
// stops the program instead of writing over its memory.
constexpr std::size_t kStackBytes = 8 * 1024 * 1024;
constexpr std::size_t kGuardBytes = 64 * 1024;

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
  void* mapped = nullptr;
  char* stack = nullptr;  // above the guard
  std::size_t size = kStackBytes - kGuardBytes;
#ifdef PANEL_FIBER_ASAN
  void* fakeStack = nullptr;
  const void* callerBottom = nullptr;
  std::size_t callerSize = 0;
#endif
};

Fiber::Fiber(std::function<void()> body) : body_(std::move(body)), context_(new Context) {
  live.insert(this);
  context_->mapped = ::mmap(nullptr, kStackBytes, PROT_READ | PROT_WRITE,
                            MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE | MAP_STACK, -1, 0);
  if (context_->mapped == MAP_FAILED) throw std::bad_alloc();
  ::mprotect(context_->mapped, kGuardBytes, PROT_NONE);
  context_->stack = static_cast<char*>(context_->mapped) + kGuardBytes;
}

Fiber::~Fiber() {
  live.erase(this);
  ::munmap(context_->mapped, kStackBytes);
  delete context_;
}

Fiber* Fiber::Current() { return current; }

int Fiber::Running() { return running; }

void Fiber::Start(std::function<void()> body) {
  ++running;
  QTimer::singleShot(0, &Waker(), [body = std::move(body)]() mutable {
    auto* fiber = new Fiber(std::move(body));
    ::getcontext(&fiber->context_->own);
    fiber->context_->own.uc_stack.ss_sp = fiber->context_->stack;
    fiber->context_->own.uc_stack.ss_size = fiber->context_->size;
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
  __sanitizer_start_switch_fiber(&fake, context_->stack, context_->size);
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
