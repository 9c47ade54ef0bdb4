// The bare reference: a Qt program that opens a serial device as the panel does and only
// drains it. Whatever it costs, the panel cannot cost less.
#include <QCoreApplication>
#include <cstdio>

#include "PlainPort.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: bare-drain DEVICE\n");
    return 2;
  }
  QSerialPort port(QString::fromLocal8Bit(argv[1]));
  if (!OpenPlainly(port)) {
    std::fprintf(stderr, "bare-drain: %s\n", qPrintable(port.errorString()));
    return 1;
  }
  QObject::connect(&port, &QSerialPort::readyRead, &port, [&port] { port.readAll(); });
  return QCoreApplication::exec();
}
