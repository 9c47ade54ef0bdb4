// The reference for one --send exchange: a bare Qt program that opens the port, writes the
// status query and reads until the reply's CR, nothing else. send-bench times it beside
// projector-panel --send status on the same simulated projector.
//
//   bare-exchange DEVICE
#include <QCoreApplication>
#include <QSerialPort>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 2) return 2;
  QSerialPort port(QString::fromLocal8Bit(argv[1]));
  port.setBaudRate(19200);
  if (!port.open(QIODevice::ReadWrite)) return 1;
  port.write("CR0\r");
  QByteArray reply;
  while (!reply.contains('\r') && port.waitForReadyRead(2000)) reply += port.readAll();
  return reply.contains('\r') ? 0 : 1;
}
