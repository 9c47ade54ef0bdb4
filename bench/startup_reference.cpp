// The start-up reference as a program: builds the reference window, opens the serial device it
// is given as a bare Qt program would, centres the window and shows it, in the order the panel
// does. Run by the start-up bench beside projector-panel.
#include <QApplication>
#include <QScreen>
#include <cstdio>

#include "PlainPort.h"
#include "ReferencePanel.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: startup-reference DEVICE\n");
    return 2;
  }
  ReferenceWindow window;
  QSerialPort port(QString::fromLocal8Bit(argv[1]));
  if (!OpenPlainly(port)) {
    std::fprintf(stderr, "startup-reference: %s\n", qPrintable(port.errorString()));
    return 1;
  }
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    window.move(screen->availableGeometry().center() - window.rect().center());
  }
  window.show();
  return QApplication::exec();
}
