#include "cli/RunServe.h"

#include <QCoreApplication>
#include <QFile>

#include "cli/ErrorLines.h"
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
  HandServer server([&](const hand_over::Request& handed, qint64 peer) {
    serving = true;
    hand_over::Reply reply = ServeHanded(handed, peer, line);
    serving = false;
    if (ending) QCoreApplication::exit(0);
    return reply;
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
