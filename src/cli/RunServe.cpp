#include "cli/RunServe.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <memory>
#include <vector>

#include "cli/ErrorLines.h"
#include "cli/Fiber.h"
#include "cli/HandClient.h"
#include "cli/HandServer.h"
#include "cli/HandedRun.h"
#include "cli/PjlinkServer.h"
#include "exchange/Render.h"
#include "platform/LinkByDevice.h"
#include "platform/StopSignals.h"
#include "platform/TrafficLog.h"

namespace {

// One port the holder has open, with its log.
struct Held {
  Held(const PortMap& ports, std::int16_t number)
      : link(ports),
        device(ports.PathFor(number)),
        port("COM" + std::to_string(number) + " (" + device.toStdString() + ")"),
        traffic([this] { return port; }) {}

  LinkByDevice link;
  QString device;
  std::string port;
  TrafficLog traffic;
  LineTurns turns;
};

}  // namespace

int RunServe(const PortMap& ports, int speed, bool com2, const std::optional<std::string>& log, std::ostream& err,
             const PjlinkOptions& pjlink, const std::optional<std::string>& password) {
  ErrorLines lines(err, false);
  if (pjlink.listen[1] && !com2) {
    lines.Error("--pjlink2 answers for the projector on COM2, which --serve holds only with --com2", nullptr, 2);
    return 2;
  }
  std::vector<std::unique_ptr<Held>> held;
  for (const std::int16_t number : {std::int16_t{1}, std::int16_t{2}}) {
    if (number == 2 && !com2) break;
    auto port = std::make_unique<Held>(ports, number);
    try {
      port->link.SetPortNumber(number);
      port->link.SetLineSettings(std::to_string(speed) + ",N,8,1");
      port->link.Open();
    } catch (const LinkError& error) {
      lines.Error(error.what(), nullptr, 1);
      return 1;
    }
    SerialLink& link = port->link;
    TrafficLog& traffic = port->traffic;
    if (log) {
      if (const auto problem = traffic.Open(QFile::decodeName(log->c_str())); problem && number == 1) {
        lines.Warning(*problem);
      }
      traffic.SetOnWriteFailure([&lines](const std::string& failure) { lines.Warning(failure); });
      traffic.Watch(link);
    }
    // Between runs nobody waits for a reply: what comes is read and booked. A run borrows these
    // events and gives them back.
    link.SetOnComm([&link, &traffic] {
      if (link.EventCode() != SerialLink::kDataReceived) return;
      const std::string bytes = link.ReadAvailable();
      if (!bytes.empty()) traffic.Late(Render(bytes));
    });
    link.SetOnNotice([&lines](const std::string& text) { lines.Warning(text); });
    held.push_back(std::move(port));
  }
  const auto lineOf = [&](Held& port) {
    return HeldLine{port.link, port.port, port.device, speed, log ? &port.traffic : nullptr, nullptr, &port.turns};
  };

  // Runs on COM1 in progress, which a window asking for the line waits for.
  int runsOnCom1 = 0;
  bool lending = false;
  const NoPipeSignal closedPipeIsAFailedWrite;
  // The window COM1 is lent to; the line comes back once that process has gone.
  std::optional<qint64> lentTo;
  QTimer takeBack;
  takeBack.setInterval(200);
  QObject::connect(&takeBack, &QTimer::timeout, [&] {
    if (!lentTo || ::kill(static_cast<pid_t>(*lentTo), 0) == 0 || errno != ESRCH) return;
    try {
      held[0]->link.Open();
    } catch (const LinkError&) {
      return;  // not free yet, or away: the next look tries again
    }
    lentTo.reset();
    takeBack.stop();
  });
  const HandServer::Serve serve = [&](const hand_over::Request& handed, const Hand& hand) -> hand_over::Reply {
    // A run asked for while the line is being lent goes to the window that borrows it.
    if (!handed.lend) Fiber::WaitUntil([&lending] { return !lending; });
    // The port the run is for; a device held on neither is COM1's to refuse.
    Held* port = held[0].get();
    for (const auto& candidate : held) {
      if (SameDevice(QString::fromStdString(handed.device), candidate->device)) port = candidate.get();
    }
    const bool lent = lentTo && port == held[0].get();
    if (handed.lend) {
      if (port != held[0].get() || lent || lending) return {1, "", ""};
      // The runs in progress are finished first, and the port is closed before the window hears.
      lending = true;
      Fiber::WaitUntil([&runsOnCom1] { return runsOnCom1 == 0; });
      port->link.Close();
      lentTo = hand.pid;
      takeBack.start();
      lending = false;
      return {0, "", ""};
    }
    if (handed.probe && !lent) return ServeHanded(handed, hand, lineOf(*port));
    std::optional<hand_over::Reply> reply;
    if (lent) {
      // The window has the line: the run is its to serve.
      hand_over::Request passed = handed;
      passed.hand = hand.name;
      reply = AskHolder(HandServer::PathFor(qEnvironmentVariable("XDG_RUNTIME_DIR"), *lentTo), passed);
      if (!reply) reply = hand_over::Reply{1, "", ""};
    } else {
      const int counted = port == held[0].get() ? 1 : 0;
      runsOnCom1 += counted;
      reply = ServeHanded(handed, hand, lineOf(*port));
      runsOnCom1 -= counted;
    }
    return *reply;
  };
  HandServer server(serve);
  if (const auto why = server.Listen()) {
    lines.Error("scripts cannot reach " + held[0]->port + " through this holder: " + *why +
                    "; --serve needs the folder of this user's session (XDG_RUNTIME_DIR)",
                nullptr, 1);
    return 1;
  }
  std::vector<std::unique_ptr<PjlinkServer>> faces;
  for (std::size_t i = 0; i < held.size(); ++i) {
    if (!pjlink.listen[i]) continue;
    const QString device = held[i]->device;
    faces.push_back(std::make_unique<PjlinkServer>(serve, [device] { return device; }, static_cast<int>(i + 1),
                                                   pjlink.texts, password));
    if (const auto why = faces.back()->Listen(*pjlink.listen[i])) {
      lines.Error(*why, nullptr, 1);
      return 1;
    }
  }
  // Runs being served are finished first: leaving now would leave their waits too.
  QTimer ending;
  QObject::connect(&ending, &QTimer::timeout, [] {
    if (Fiber::Running() == 0) QCoreApplication::exit(0);
  });
  const StopSignals stopping([&ending] { ending.start(20); });
  QCoreApplication::exec();
  for (const auto& port : held) port->link.Close();
  return 0;
}
