#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <csignal>

#include "Pty.h"
#include "SeamedLink.h"
#include "WindowRun.h"
#include "window/MainWindow.h"

namespace {

// Start-up's reopen of COM1 fails, so its box waits before any main loop exists. A signal there
// ends the program at once, as "END" does: box gone, port closed, window never shown, status 0.
// (The main loop is not as hard: the process test of the signals covers it.) The signal is real,
// raised in this process, where the handlers turn it into an event as in the program.
TEST(WindowRun, ASignalInStartUpsBoxEndsTheProgramOnce) {
  Pty line;
  SeamedLink link(PortMap{QString::fromStdString(line.SlavePath()), QStringLiteral("/nonexistent/com2")});
  int opens = 0;
  link.onOpened = [&] {
    if (++opens == 2) line.HangUp();
  };
  MainWindow window(link);
  int raised = 0;
  QTimer signaller;
  QObject::connect(&signaller, &QTimer::timeout, [&] {
    if (QApplication::activeModalWidget() != nullptr && raised++ == 0) std::raise(SIGTERM);
  });
  signaller.start(20);
  QTimer::singleShot(10000, &window, [] { QCoreApplication::exit(99); });  // had it carried on
  EXPECT_EQ(RunWindow(window), 0);
  EXPECT_EQ(raised, 1);
  EXPECT_FALSE(window.isVisible());
  EXPECT_FALSE(link.IsOpen());
}

}  // namespace
