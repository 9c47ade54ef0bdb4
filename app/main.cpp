#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <iostream>

#include "CommandLine.h"
#include "WindowRun.h"
#include "cli/CommandList.h"
#include "cli/RunSend.h"
#include "cli/StandardStreams.h"
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
  const std::optional<std::string>* named[] = {&line.com1, &line.com2};
  for (const std::int16_t port : {1, 2}) {
    if (!*named[port - 1]) continue;
    ports.SetPathFor(port, QFile::decodeName(named[port - 1]->value().c_str()));
    if (settings != nullptr) settings->NamedOnCommandLine(port);
  }
  return ports;
}

// Whether the window has anywhere to go. Without a display Qt's platform plugin aborts the
// program with a core dump; the check runs before any Qt application object exists.
bool HasDisplay() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    if (!qEnvironmentVariableIsEmpty(name)) return true;
  }
  return false;
#else
  return true;
#endif
}

}  // namespace

int main(int argc, char** argv) {
  const CommandLine line = ParseCommandLine(std::vector<std::string_view>(argv + 1, argv + argc));
  // Qt sees the program's name only: every argument has been read above, and Qt's own options
  // (-platform, -style ...) would otherwise take values meant for ours.
  int qtArgc = 1;
  QCoreApplication::setApplicationName(QStringLiteral("projector-panel"));
  switch (line.mode) {
    case RunMode::Help: return PrintOut(HelpText());
    case RunMode::Version: return PrintOut(VersionText() + "\n");
    case RunMode::Usage:
      std::cerr << "projector-panel: " << line.error << ". Try 'projector-panel --help'.\n";
      return 2;
    case RunMode::ListPorts: {
      const QCoreApplication app(qtArgc, argv);
      return PrintOut(FormatPortList(SystemSerialPorts(), kStableLinkDir));
    }
    case RunMode::ListCommands: return PrintOut(CommandListText());
    case RunMode::Send: {
      const QCoreApplication app(qtArgc, argv);
      DeviceSettings settings;
      // The settings are read only when the port used has no device on the command line: a run
      // that names its device never hears of a settings file it does not need.
      const bool named = line.send.port == 2 ? line.com2.has_value() : line.com1.has_value();
      const PortMap ports = PortsOf(line, named ? nullptr : &settings);
      if (const auto problem = settings.TakeProblem()) std::cerr << "projector-panel: " << *problem << "\n";
      // A kept device that is another one now is not sent to: a script has nobody to ask.
      if (const auto refusal = settings.Refusal(line.send.port)) {
        std::cerr << "projector-panel: " << refusal->toStdString() << "\n";
        return 1;
      }
      return RunSend(line.send, ports);
    }
    case RunMode::Window:
      break;
  }
  if (!HasDisplay()) {
    std::cerr << "projector-panel: there is no display to open the window on (DISPLAY and WAYLAND_DISPLAY "
                 "are not set); to drive the projector from here without a window, use --send (see "
                 "projector-panel --help).\n";
    return 1;
  }
  QApplication app(qtArgc, argv);
  DeviceSettings settings;
  LinkByDevice link(PortsOf(line, &settings));
  MainWindow window(link);
  window.OfferDeviceChoice(link, settings);
  return RunWindow(window);
}
