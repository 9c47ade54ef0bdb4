#include <QApplication>
#include <QCommandLineParser>

#include "platform/PortMap.h"
#include "platform/QtSerialLink.h"
#include "window/MainWindow.h"

int main(int argc, char** argv) {
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
