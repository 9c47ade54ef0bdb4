#include "cli/RunServe.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <sstream>

#include "cli/ErrorLines.h"
#include "cli/HandServer.h"
#include "cli/HeldLink.h"
#include "cli/RunSend.h"
#include "exchange/Render.h"
#include "platform/LinkByDevice.h"
#include "platform/StopSignals.h"
#include "platform/TrafficLog.h"

namespace {

// The same device, however either side spelt it.
bool SameDevice(const QString& a, const QString& b) {
  const QString resolvedA = QFileInfo(a).canonicalFilePath();
  return a == b || (!resolvedA.isEmpty() && resolvedA == QFileInfo(b).canonicalFilePath());
}

hand_over::Reply Refused(int exit, const std::string& text, bool json) {
  std::ostringstream err;
  ErrorLines(err, json).Error(text, nullptr, exit);
  return {exit, "", err.str()};
}

}  // namespace

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
  // Between runs nobody waits for a reply: what comes is read and booked.
  const auto drain = [&link, &traffic, &lines] {
    link.SetOnComm([&link, &traffic] {
      if (link.EventCode() != SerialLink::kDataReceived) return;
      const std::string bytes = link.ReadAvailable();
      if (!bytes.empty()) traffic.Late(Render(bytes));
    });
    link.SetOnNotice([&lines](const std::string& text) { lines.Warning(text); });
  };
  drain();

  bool ending = false;
  bool serving = false;
  const NoPipeSignal closedPipeIsAFailedWrite;
  HandServer server([&](const hand_over::Request& handed, qint64 peer) -> hand_over::Reply {
    if (!SameDevice(QString::fromStdString(handed.device), device) || handed.port != 1) {
      return Refused(1, "projector-panel (process " + std::to_string(QCoreApplication::applicationPid()) +
                            ") holds " + port + ", not COM" + std::to_string(handed.port) + " (" + handed.device + ")",
                     handed.json);
    }
    if (handed.speedGiven && handed.speed != speed) {
      return Refused(2, port + " is held by projector-panel (process " +
                            std::to_string(QCoreApplication::applicationPid()) + ") at " + std::to_string(speed) +
                            " baud; --speed " + std::to_string(handed.speed) +
                            " would change the line under it. Run without --speed, or end the holder first.",
                     handed.json);
    }
    SendRequest request;
    request.commands = handed.commands;
    request.port = 1;
    request.speed = speed;
    request.speedGiven = handed.speedGiven;
    const auto* address = std::find_if(kAddressOptions.begin(), kAddressOptions.end(),
                                       [&handed](const AddressOption& o) { return o.caption == handed.address; });
    if (address == kAddressOptions.end()) return Refused(2, "no address is called " + handed.address, handed.json);
    request.address = address;
    request.json = handed.json;
    request.timeoutMs = handed.timeoutMs;
    if (handed.timeoutMs && (*handed.timeoutMs < kShortestTimeout || *handed.timeoutMs > kLongestTimeout)) {
      return Refused(2, "a timeout of " + std::to_string(*handed.timeoutMs) + " ms is out of range", handed.json);
    }
    request.log = handed.log;
    std::ostringstream out, said;
    int exit = 0;
    {
      HeldLink held(link);
      serving = true;
      // The holder's log names the hand whose traffic it is.
      traffic.SetHand("script " + std::to_string(peer));
      exit = RunSend(request, held, port, out, said, false, log ? &traffic : nullptr);
      traffic.SetHand({});
      serving = false;
    }
    drain();
    if (ending) QCoreApplication::exit(0);
    return {exit, out.str(), said.str()};
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
