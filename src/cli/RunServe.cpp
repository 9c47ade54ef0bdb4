#include "cli/RunServe.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>
#include <cerrno>
#include <csignal>

#include "cli/ErrorLines.h"
#include "cli/HandClient.h"
#include "cli/HandServer.h"
#include "cli/HandedRun.h"
#include "exchange/Render.h"
#include "platform/LinkByDevice.h"
#include "platform/StopSignals.h"
#include "platform/TrafficLog.h"

int RunServe(const PortMap& ports, int speed, const std::optional<std::string>& log, std::ostream& err) {
  ErrorLines lines(err, false);
  LinkByDevice link(ports);
  const QString device = ports.PathFor(1);
  const std::string port = "COM1 (" + device.toStdString() + ")";
  const std::string settings = std::to_string(speed) + ",N,8,1";
  try {
    link.SetPortNumber(1);
    link.SetLineSettings(settings);
    link.Open();
  } catch (const LinkError& error) {
    lines.Error(error.what(), nullptr, 1);
    return 1;
  }
  TrafficLog traffic([&port] { return port; });
  if (log) {
    if (const auto problem = traffic.Open(QFile::decodeName(log->c_str()))) lines.Warning(*problem);
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

  bool ending = false;
  bool serving = false;
  const NoPipeSignal closedPipeIsAFailedWrite;
  const HeldLine line{link, port, device, speed, log ? &traffic : nullptr};
  // The window the line is lent to; the line comes back once that process has gone.
  std::optional<qint64> lentTo;
  QTimer takeBack;
  takeBack.setInterval(200);
  QObject::connect(&takeBack, &QTimer::timeout, [&] {
    if (!lentTo || ::kill(static_cast<pid_t>(*lentTo), 0) == 0 || errno != ESRCH) return;
    try {
      link.Open();
    } catch (const LinkError&) {
      return;  // not free yet, or away: the next look tries again
    }
    lentTo.reset();
    takeBack.stop();
  });
  HandServer server([&](const hand_over::Request& handed, qint64 peer) -> hand_over::Reply {
    if (handed.lend) {
      // The window asking has waited for the run in progress: the port is closed before it hears.
      link.Close();
      lentTo = peer;
      takeBack.start();
      return {0, "", ""};
    }
    serving = true;
    std::optional<hand_over::Reply> reply;
    if (lentTo) {
      // The window has the line: the run is its to serve.
      reply = AskHolder(HandServer::PathFor(qEnvironmentVariable("XDG_RUNTIME_DIR"), *lentTo), handed);
      if (!reply) reply = hand_over::Reply{1, "", ""};
    } else {
      reply = ServeHanded(handed, peer, line);
    }
    serving = false;
    if (ending) QCoreApplication::exit(0);
    return *reply;
  });
  if (const auto why = server.Listen()) {
    lines.Error("scripts cannot reach " + port + " through this holder: " + *why +
                    "; --serve needs the folder of this user's session (XDG_RUNTIME_DIR)",
                nullptr, 1);
    link.Close();
    return 1;
  }
  // A run being served is finished first: leaving now would leave its wait too.
  const StopSignals stopping([&] {
    ending = true;
    if (!serving) QCoreApplication::exit(0);
  });
  QCoreApplication::exec();
  link.Close();
  return 0;
}
