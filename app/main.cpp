#include <QApplication>
#include <QCommandLineParser>

#include "platform/PortMap.h"
#include "platform/QtSerialLink.h"
#include "window/MainWindow.h"

// ---- Temporary --send hook (replaced on merge) -------------------------------------------------
#include <QCoreApplication>
#include <cstring>

#include "cli/RunSend.h"

namespace {

bool WantsSend(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--send") == 0) return true;
  }
  return false;
}

int SendHook(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCommandLineParser parser;
  const QCommandLineOption send({QStringLiteral("send")}, QStringLiteral("Command."), QStringLiteral("TEXT"));
  const QCommandLineOption port({QStringLiteral("port")}, QStringLiteral("1 or 2."), QStringLiteral("N"), QStringLiteral("1"));
  const QCommandLineOption speed({QStringLiteral("speed")}, QStringLiteral("19200 or 9600."), QStringLiteral("BAUD"),
                                 QStringLiteral("19200"));
  const QCommandLineOption address({QStringLiteral("address")}, QStringLiteral("single|all|001..004."),
                                   QStringLiteral("WHO"), QStringLiteral("single"));
  const QCommandLineOption json({QStringLiteral("json")}, QStringLiteral("JSON lines."));
  const QCommandLineOption com1({QStringLiteral("com1")}, QStringLiteral("COM1."), QStringLiteral("PATH"));
  const QCommandLineOption com2({QStringLiteral("com2")}, QStringLiteral("COM2."), QStringLiteral("PATH"));
  parser.addOptions({send, port, speed, address, json, com1, com2});
  if (!parser.parse(app.arguments())) {
    std::fprintf(stderr, "%s\n", qPrintable(parser.errorText()));
    return 2;
  }
  SendRequest request;
  for (const QString& command : parser.values(send)) request.commands.push_back(command.toStdString());
  request.port = parser.value(port) == QLatin1String("2") ? 2 : 1;
  request.speed = parser.value(speed) == QLatin1String("9600") ? 9600 : 19200;
  request.json = parser.isSet(json);
  const QString who = parser.value(address).toUpper();
  for (const AddressOption& option : kAddressOptions) {
    if (who == QLatin1String(option.caption.data(), static_cast<qsizetype>(option.caption.size()))) {
      request.address = &option;
    }
  }
  PortMap ports = PortMap::Defaults();
  if (parser.isSet(com1)) ports.com1 = parser.value(com1);
  if (parser.isSet(com2)) ports.com2 = parser.value(com2);
  return RunSend(request, ports);
}

}  // namespace
// ---- end of the temporary hook -------------------------------------------------------------------

int main(int argc, char** argv) {
  if (WantsSend(argc, argv)) return SendHook(argc, argv);  // temporary hook
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("projector-panel"));

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Remote-control panel for a projector on a serial line."));
  parser.addHelpOption();
  const QCommandLineOption com1({QStringLiteral("com1")}, QStringLiteral("Device that COM1 stands for."),
                                QStringLiteral("PATH"));
  const QCommandLineOption com2({QStringLiteral("com2")}, QStringLiteral("Device that COM2 stands for."),
                                QStringLiteral("PATH"));
  parser.addOption(com1);
  parser.addOption(com2);
  parser.process(app);

  PortMap ports = PortMap::Defaults();
  if (parser.isSet(com1)) ports.com1 = parser.value(com1);
  if (parser.isSet(com2)) ports.com2 = parser.value(com2);

  QtSerialLink link(ports);
  MainWindow window(link);
  window.Load();
  if (window.Failed()) return 1;
  window.show();
  return QApplication::exec();
}
