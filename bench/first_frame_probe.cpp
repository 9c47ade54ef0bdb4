// Loaded into a program with LD_PRELOAD, so neither program under test carries timing code of its
// own: when the first top-level window has been painted, it prints
//   first-frame <CLOCK_MONOTONIC in ns> <CPU time of the process in ns> <class of that window>
// on standard output and leaves the program's event loop, so that it ends as it would on quit
// (its port closed, its lock file gone). The start-up bench subtracts the instant it started the
// process.
#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace {

// The clock the bench started the process on (steady_clock is CLOCK_MONOTONIC), and the process's
// CPU time (std::clock, in microseconds), both in ns.
long long MonotonicNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
long long CpuNs() { return static_cast<long long>(std::clock()) * (1'000'000'000 / CLOCKS_PER_SEC); }

class FirstFrame : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (seen_ || event->type() != QEvent::Paint) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || !widget->isWindow()) return false;
    seen_ = true;
    // The window is painted first, its children after it in the same pass, then the frame is
    // flushed; a queued call runs once all of that is done.
    const QByteArray kind = widget->metaObject()->className();
    QMetaObject::invokeMethod(
        this,
        [kind] {
          std::printf("first-frame %lld %lld %s\n", MonotonicNs(), CpuNs(), kind.constData());
          std::fflush(stdout);
          QCoreApplication::exit(0);
        },
        Qt::QueuedConnection);
    return false;
  }

 private:
  bool seen_ = false;
};

void InstallFirstFrameProbe() {
  // Programs without widgets (a --send run, the port list) are left alone.
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return;
  qApp->installEventFilter(new FirstFrame(qApp));
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallFirstFrameProbe)
