#include "cli/HandedRun.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>
#include <sstream>
#include <vector>

#include "cli/ErrorLines.h"
#include "cli/HeldLink.h"
#include "cli/RunSend.h"
#include "platform/TrafficLog.h"

bool SameDevice(const QString& a, const QString& b) {
  const QString resolvedA = QFileInfo(a).canonicalFilePath();
  return a == b || (!resolvedA.isEmpty() && resolvedA == QFileInfo(b).canonicalFilePath());
}

namespace {

hand_over::Reply Refused(int exit, const std::string& text, bool json) {
  std::ostringstream err;
  ErrorLines(err, json).Error(text, nullptr, exit);
  return {exit, "", err.str()};
}

// Tells every listener of the run's traffic.
class Both : public TrafficObserver {
 public:
  explicit Both(std::vector<TrafficObserver*> all) : all_(std::move(all)) {}
  void Sent(std::string_view text) override { Each([&](TrafficObserver& o) { o.Sent(text); }); }
  void Received(std::string_view text) override { Each([&](TrafficObserver& o) { o.Received(text); }); }
  void Decoded(std::string_view text) override { Each([&](TrafficObserver& o) { o.Decoded(text); }); }
  void Refused(std::string_view text) override { Each([&](TrafficObserver& o) { o.Refused(text); }); }
  void NoReply(int ms) override { Each([&](TrafficObserver& o) { o.NoReply(ms); }); }
  void Late(std::string_view text) override { Each([&](TrafficObserver& o) { o.Late(text); }); }

 private:
  template <typename Tell>
  void Each(const Tell& tell) {
    for (TrafficObserver* observer : all_) tell(*observer);
  }
  std::vector<TrafficObserver*> all_;
};

}  // namespace

hand_over::Reply ServeHanded(const hand_over::Request& handed, const Hand& asker, const HeldLine& line) {
  const std::string holder = "projector-panel (process " + std::to_string(QCoreApplication::applicationPid()) + ")";
  if (handed.probe) return {SameDevice(QString::fromStdString(handed.device), line.device) ? 0 : 1, "", ""};
  if (!SameDevice(QString::fromStdString(handed.device), line.device)) {
    return Refused(1, holder + " holds " + line.port + ", not " + handed.device, handed.json);
  }
  if (handed.speedGiven && handed.speed != line.speed) {
    return Refused(2, line.port + " is held by " + holder + " at " + std::to_string(line.speed) + " baud; --speed " +
                          std::to_string(handed.speed) +
                          " would change the line under it. Run without --speed, or end the holder first.",
                   handed.json);
  }
  const auto* address = std::find_if(kAddressOptions.begin(), kAddressOptions.end(),
                                     [&handed](const AddressOption& o) { return o.caption == handed.address; });
  if (address == kAddressOptions.end()) return Refused(2, "no address is called " + handed.address, handed.json);
  if (handed.timeoutMs && (*handed.timeoutMs < kShortestTimeout || *handed.timeoutMs > kLongestTimeout)) {
    return Refused(2, "a timeout of " + std::to_string(*handed.timeoutMs) + " ms is out of range", handed.json);
  }
  SendRequest request;
  request.commands = handed.commands;
  request.port = static_cast<std::int16_t>(handed.port == 2 ? 2 : 1);
  request.speed = line.speed;
  request.speedGiven = handed.speedGiven;
  request.address = address;
  request.json = handed.json;
  request.timeoutMs = handed.timeoutMs;
  request.log = handed.log;

  std::vector<TrafficObserver*> listeners;
  if (line.log != nullptr) listeners.push_back(line.log);
  if (line.watcher != nullptr) listeners.push_back(line.watcher);
  Both told(listeners);
  // The holder's log names the hand whose traffic it is.
  const std::string& hand = asker.name;
  std::ostringstream out, err;
  int exit = 0;
  if (line.turns != nullptr) line.turns->Take();
  {
    HeldLink held(line.link);
    std::function<void()> between;
    if (line.turns != nullptr) {
      between = [&held, &line, &hand] {
        held.GiveBack();
        if (line.log != nullptr) line.log->SetHand({});
        line.turns->Give();
        line.turns->Take();
        if (line.log != nullptr) line.log->SetHand(hand);
        held.Borrow();
      };
    }
    if (line.log != nullptr) line.log->SetHand(hand);
    exit = RunSend(request, held, line.port, out, err, false, listeners.empty() ? nullptr : &told, between);
  }
  if (line.log != nullptr) line.log->SetHand({});
  if (line.turns != nullptr) line.turns->Give();
  return {exit, out.str(), err.str()};
}
