#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <iostream>

#include "CommandLine.h"
#include "TerminationSignals.h"
#include "cli/RunSend.h"
#include "platform/DeviceSettings.h"
#include "platform/LinkByDevice.h"
#include "platform/PortList.h"
#include "platform/PortMap.h"
#include "window/MainWindow.h"

namespace {

// The devices chosen in the window in earlier runs stand in for the defaults; the command line
// wins over both, for this run only: it is never saved.
PortMap PortsOf(const CommandLine& line, DeviceSettings* settings) {
  PortMap ports = settings != nullptr ? settings->Read(PortMap::Defaults()) : PortMap::Defaults();
  if (line.com1) ports.com1 = QFile::decodeName(line.com1->c_str());
  if (line.com2) ports.com2 = QFile::decodeName(line.com2->c_str());
  return ports;
}

int RunWindow(int& qtArgc, char** argv, const CommandLine& line) {
  QApplication app(qtArgc, argv);
  DeviceSettings settings;
  LinkByDevice link(PortsOf(line, &settings));
  MainWindow window(link);
  window.OfferDeviceChoice(link, settings);
  // A signal ends the program as "END" does: the port is closed, then the event loop left.
  const TerminationSignals ending([&window] {
    window.Core().Dispatch.Run(OnFailure::EndProgram, [&window] { window.Core().Command16_Click(); });
    // exit() rather than quit(), which a window may decline. A failed start-up or a failing
    // close keeps its status 1.
    QCoreApplication::exit(window.Failed() ? 1 : 0);
    // The signal may have found the program inside a box's own event loop (the start-up error
    // waits in one before the main loop exists); the box is dismissed as its OK would be.
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (auto* box = qobject_cast<QDialog*>(top); box != nullptr && box->isVisible()) box->reject();
    }
  });
  window.Load();
  if (window.Failed()) return 1;
  window.show();
  return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
  const CommandLine line = ParseCommandLine(std::vector<std::string_view>(argv + 1, argv + argc));
  // Qt sees the program's name only: every argument has been read above, and Qt's own options
  // (-platform, -style ...) would otherwise take values meant for ours.
  int qtArgc = 1;
  QCoreApplication::setApplicationName(QStringLiteral("projector-panel"));
  switch (line.mode) {
    case RunMode::Help:
      std::cout << HelpText();
      return 0;
    case RunMode::Version:
      std::cout << VersionText() << "\n";
      return 0;
    case RunMode::Usage:
      std::cerr << "projector-panel: " << line.error << "\n" << UsageText();
      return 2;
    case RunMode::ListPorts: {
      const QCoreApplication app(qtArgc, argv);
      std::cout << FormatPortList(SystemSerialPorts(), kStableLinkDir);
      return 0;
    }
    case RunMode::Send: {
      const QCoreApplication app(qtArgc, argv);
      DeviceSettings settings;
      // The settings are read only when the port used has no device on the command line: a run
      // that names its device never hears of a settings file it does not need.
      const bool named = line.send.port == 2 ? line.com2.has_value() : line.com1.has_value();
      const PortMap ports = PortsOf(line, named ? nullptr : &settings);
      if (const auto problem = settings.TakeProblem()) std::cerr << "projector-panel: " << *problem << "\n";
      return RunSend(line.send, ports);
    }
    case RunMode::Window:
      break;
  }
  return RunWindow(qtArgc, argv, line);
}
