#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <iostream>

#include <unistd.h>

#include "CommandLine.h"
#include "DisplayCheck.h"
#include "WindowHands.h"
#include "WindowRun.h"
#include "cli/CommandList.h"
#include "cli/ErrorLines.h"
#include "cli/HandClient.h"
#include "cli/PjlinkServer.h"
#include "cli/RunServe.h"
#include "cli/RunSend.h"
#include "cli/StandardStreams.h"
#include "platform/DeviceSettings.h"
#include "platform/LinkByDevice.h"
#include "platform/PortList.h"
#include "platform/PortMap.h"
#include "platform/TrafficLog.h"
#include "window/MainWindow.h"

namespace {

void JsonMessages(QtMsgType, const QMessageLogContext&, const QString& message) {
  ErrorLines(std::cerr, true).Warning(message.toStdString());
}

// The devices chosen in the window in earlier runs stand in for the defaults; the command line
// wins over both, for this run only: it is never saved.
PortMap PortsOf(const CommandLine& line, DeviceSettings* settings) {
  PortMap ports = settings != nullptr ? settings->Read(PortMap::Defaults()) : PortMap::Defaults();
  const std::optional<std::string>* named[] = {&line.com1, &line.com2};
  for (const std::int16_t port : {1, 2}) {
    if (!*named[port - 1]) continue;
    ports.SetPathFor(port, QFile::decodeName(named[port - 1]->value().c_str()));
    (port == 1 ? ports.com1Given : ports.com2Given) = true;
    if (settings != nullptr) settings->NamedOnCommandLine(port);
  }
  return ports;
}

// The PJLink password, read once at the start; a problem with its file ends the start (status 2).
std::variant<std::optional<std::string>, int> PjlinkPassword(const CommandLine& line) {
  if (!line.pjlink.passwordFile) return std::optional<std::string>();
  auto read = ReadPjlinkPassword(*line.pjlink.passwordFile);
  if (const auto* password = std::get_if<std::string>(&read)) return std::optional<std::string>(*password);
  ErrorLines(std::cerr, false).Error(std::get<PasswordProblem>(read).why, nullptr, 2);
  return 2;
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
      ErrorLines(std::cerr, line.send.json).Error(line.error + ". Try 'projector-panel --help'.", nullptr, 2);
      return 2;
    case RunMode::ListPorts: {
      const QCoreApplication app(qtArgc, argv);
      return PrintOut(FormatPortList(SystemSerialPorts(), kStableLinkDir));
    }
    case RunMode::ListCommands: return PrintOut(line.markdown ? CommandListMarkdown() : CommandListText());
    case RunMode::Send: {
      // Qt's own warnings (a settings value it cannot load, a file it cannot seek) are lines of
      // standard error too, in the run's form.
      if (line.send.json) qInstallMessageHandler(JsonMessages);
      const QCoreApplication app(qtArgc, argv);
      DeviceSettings settings;
      // The settings are read only when the port used has no device on the command line: a run
      // that names its device never hears of a settings file it does not need.
      const bool named = line.send.port == 2 ? line.com2.has_value() : line.com1.has_value();
      const PortMap ports = PortsOf(line, named ? nullptr : &settings);
      if (const auto problem = settings.TakeProblem()) ErrorLines(std::cerr, line.send.json).Warning(*problem);
      // A kept device that is another one now is not sent to: a script has nobody to ask.
      if (const auto refusal = settings.Refusal(line.send.port)) {
        ErrorLines(std::cerr, line.send.json).Error(refusal->toStdString(), nullptr, 1);
        return 1;
      }
      // A port another panel of this user holds is reached through it.
      FdStreamBuf outBuffer(STDOUT_FILENO), errBuffer(STDERR_FILENO);
      std::ostream out(&outBuffer), err(&errBuffer);
      if (const auto handed = HandOverIfHeld(line.send, ports, out, err)) return *handed;
      return RunSend(line.send, ports, out, err);
    }
    case RunMode::Serve: {
      const auto password = PjlinkPassword(line);
      if (const int* failed = std::get_if<int>(&password)) return *failed;
      const QCoreApplication app(qtArgc, argv);
      DeviceSettings settings;
      const PortMap ports = PortsOf(line, line.com1 ? nullptr : &settings);
      if (const auto problem = settings.TakeProblem()) ErrorLines(std::cerr, false).Warning(*problem);
      // COM2 too when it is named, or, where the command line names no device, when one was chosen
      // for it in the window.
      const bool com2 = line.com2.has_value() || (!line.com1 && ports.com2 != PortMap::Defaults().com2);
      for (const std::int16_t port : {1, 2}) {
        const auto refusal = settings.Refusal(port);
        if (!refusal || (port == 2 && !com2)) continue;
        ErrorLines(std::cerr, false).Error(refusal->toStdString(), nullptr, 1);
        return 1;
      }
      return RunServe(ports, line.send.speed, com2, line.log, std::cerr, line.pjlink,
                      std::get<std::optional<std::string>>(password));
    }
    case RunMode::Window:
      break;
  }
  const auto password = PjlinkPassword(line);
  if (const int* failed = std::get_if<int>(&password)) return *failed;
  if (const auto missing = MissingDisplay()) {
    std::cerr << "projector-panel: there is no display to open the window on (" << *missing
              << "); to drive the projector from here without a window, use --send (see projector-panel --help).\n";
    return 1;
  }
  QApplication app(qtArgc, argv);
  DeviceSettings settings;
  LinkByDevice link(PortsOf(line, &settings));
  // A panel serving the port without a window (--serve) lends it to the window, and takes it
  // back when the window has gone.
  BorrowLine(link.Devices().PathFor(1));
  TrafficLog log([&link] { return link.PortName(); });
  MainWindow window(link);
  if (line.send.timeoutMs) window.SetReplyWait(*line.send.timeoutMs);
  window.OfferDeviceChoice(link, settings);
  if (line.log) window.KeepLog(log, log.Open(QFile::decodeName(line.log->c_str())));
  // The window holds its port: its user's scripts reach the projector through it.
  WindowHands hands(window, link, line.log ? &log : nullptr);
  hands.Listen();
  if (const auto why = hands.ListenPjlink(line.pjlink, std::get<std::optional<std::string>>(password))) {
    ErrorLines(std::cerr, false).Error(*why, nullptr, 1);
    return 1;
  }
  return RunWindow(window);
}
