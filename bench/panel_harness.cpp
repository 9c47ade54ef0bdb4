// The panel as the program builds it (the real window, the real QSerialPort adapter), with one
// addition: a line on standard input clicks a button the way the mouse does. "data" opens the
// traffic monitor, "click" presses STATUS. The flood benchmark drives it.
#include <QApplication>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTest>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "platform/PortMap.h"
#include "platform/QtSerialLink.h"
#include "window/MainWindow.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: panel-harness DEVICE\n");
    return 2;
  }
  PortMap ports = PortMap::Defaults();
  ports.com1 = QString::fromLocal8Bit(argv[1]);
  QtSerialLink link(ports);
  MainWindow window(link);
  window.Load();
  if (window.Failed()) return 1;
  window.show();

  // Standard input is read on the event loop, so a command waits behind whatever the loop is
  // busy with, as a mouse click would.
  QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
  std::string pending;
  QObject::connect(&input, &QSocketNotifier::activated, &window, [&] {
    char chunk[64];
    const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
    if (n <= 0) {
      input.setEnabled(false);
      return;
    }
    pending.append(chunk, static_cast<std::size_t>(n));
    for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
      const std::string command = pending.substr(0, end);
      const char* control = command == "data" ? "Command34" : command == "click" ? "Command44" : nullptr;
      if (control == nullptr) continue;
      QTest::mouseClick(window.Control(QString::fromLatin1(control)), Qt::LeftButton);
    }
  });
  return QApplication::exec();
}
