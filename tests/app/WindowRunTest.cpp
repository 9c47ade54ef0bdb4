// The window's life as the program runs it, ended by a real signal raised in this process: the
// handlers turn it into an event, as they do in the program.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <csignal>

#include "Pty.h"
#include "SeamedLink.h"
#include "WindowRun.h"
#include "window/MainWindow.h"

namespace {

// A signal at any moment of the window's life ends it at once, as "END" does: the port closed,
// the window gone, status 0, or 1 for a start-up that had already failed.
TEST(WindowRun, ASignalAtAnyMomentEndsTheProgramOnce) {
  enum class Moment { StartUpWarning, StartUpError, LaterBox, MainLoop };
  const struct {
    const char* name;
    Moment moment;
    int status;
  } cases[] = {
      // Start-up opens COM1, then its reselection fails: the box waits before any main loop.
      {"start-up's warning box", Moment::StartUpWarning, 0},
      {"start-up's error box", Moment::StartUpError, 1},
      {"a box in the main loop", Moment::LaterBox, 0},
      {"the main loop", Moment::MainLoop, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Pty line;
    const QString com1 = c.moment == Moment::StartUpError ? QStringLiteral("/nonexistent/com1")
                                                          : QString::fromStdString(line.SlavePath());
    SeamedLink link(PortMap{com1, QStringLiteral("/nonexistent/com2")});
    int opens = 0;
    link.onOpened = [&] {
      if (c.moment == Moment::StartUpWarning && ++opens == 2) line.HangUp();
    };
    MainWindow window(link);

    int raised = 0;
    QTimer trigger;
    QObject::connect(&trigger, &QTimer::timeout, [&] {
      const bool boxOpen = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr;
      const bool due = c.moment == Moment::MainLoop ? window.isVisible() : boxOpen;
      if (due && raised++ == 0) std::raise(SIGTERM);
    });
    trigger.start(20);
    if (c.moment == Moment::LaterBox) {
      QTimer::singleShot(0, &window, [&] { window.Core().Dispatch.Warn("a box the operator has not read yet"); });
    }
    bool stillRunning = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
      stillRunning = true;
      QCoreApplication::exit(99);
    });
    watchdog.start(10000);

    EXPECT_EQ(RunWindow(window), c.status);
    EXPECT_EQ(raised, 1);
    EXPECT_FALSE(stillRunning) << "the program carried on after the signal";
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_FALSE(link.IsOpen());
  }
}

}  // namespace
