#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <csignal>

#include "Pty.h"
#include "SeamedLink.h"
#include "WindowRun.h"
#include "window/MainWindow.h"

namespace {

// A signal that finds the window in a box ends the program at once, as "END" does: the box gone,
// the port closed, the window not shown (again), status 0. Raised for real in this process, where
// the handlers turn it into an event as they do in the program.
TEST(WindowRun, ASignalInAnyBoxEndsTheProgramOnce) {
  for (const bool beforeMainLoop : {true, false}) {
    SCOPED_TRACE(beforeMainLoop ? "start-up's box: its reopen of COM1 fails" : "a box in the main loop");
    Pty line;
    SeamedLink link(PortMap{QString::fromStdString(line.SlavePath()), QStringLiteral("/nonexistent/com2")});
    int opens = 0;
    link.onOpened = [&] {
      if (beforeMainLoop && ++opens == 2) line.HangUp();
    };
    MainWindow window(link);
    if (!beforeMainLoop) QTimer::singleShot(0, &window, [&] { window.Core().Dispatch.Warn("not read yet"); });
    int raised = 0;
    QTimer signaller;
    QObject::connect(&signaller, &QTimer::timeout, [&] {
      if (QApplication::activeModalWidget() != nullptr && raised++ == 0) std::raise(SIGTERM);
    });
    signaller.start(20);
    bool carriedOn = false;
    QTimer::singleShot(10000, &window, [&] {
      carriedOn = true;
      QCoreApplication::exit(99);
    });
    EXPECT_EQ(RunWindow(window), 0);
    EXPECT_EQ(raised, 1);
    EXPECT_FALSE(carriedOn || window.isVisible());
    EXPECT_FALSE(link.IsOpen());
  }
}

}  // namespace
