#pragma once

#include <functional>

// A hand's run on a stack of its own, in the holder's one thread. Where the run waits (for a
// reply, for its turn on the line), it steps aside to the event loop instead of nesting one, so
// several hands' runs are in progress at once, each waiting only for what it needs; a nested
// loop could only end in the reverse order of its start. Every Qt object stays in the one thread.
class Fiber {
 public:
  // Starts `body` on a stack of its own from the event loop (never inside the caller's own
  // signal); the fiber ends when `body` returns.
  static void Start(std::function<void()> body);
  // The fiber running now; none on the event loop's own stack.
  static Fiber* Current();
  // Fibers started and not yet ended.
  static int Running();

  // Inside this fiber: steps aside until `done` holds, looking again every `pollMs` and whenever
  // woken. On the event loop's own stack it runs a nested loop instead.
  static void WaitUntil(const std::function<bool()>& done, int pollMs = 10);
  // Lets the fiber look again soon, from the event loop.
  void Wake();

  Fiber(const Fiber&) = delete;
  Fiber& operator=(const Fiber&) = delete;

 private:
  struct Context;
  explicit Fiber(std::function<void()> body);
  ~Fiber();
  void Enter();
  void Suspend();
  static void Body();

  std::function<void()> body_;
  Context* context_;
  bool suspended_ = false;
  bool wakeAsked_ = false;
  bool ended_ = false;
};
