#include "WindowHands.h"

#include <QEventLoop>
#include <QTimer>
#include <cstdlib>

#include "cli/HandedRun.h"
#include "platform/LinkByDevice.h"
#include "window/MainWindow.h"

WindowHands::WindowHands(MainWindow& window, LinkByDevice& link, TrafficLog* log)
    : window_(window),
      link_(link),
      log_(log),
      server_(turns_, [this](const hand_over::Request& request, const Hand& hand) { return Serve(request, hand); }) {}

void WindowHands::WaitForTheWindow() {
  if (!window_.LineInUse()) return;
  QEventLoop wait;
  QTimer look;
  QObject::connect(&look, &QTimer::timeout, &wait, [&] {
    if (!window_.LineInUse()) wait.quit();
  });
  look.start(10);
  wait.exec();
}

hand_over::Reply WindowHands::Serve(const hand_over::Request& request, const Hand& hand) {
  // A window keeps its line for as long as it is open.
  if (request.lend) return {1, "", ""};
  const std::string& settings = window_.Core().State.CommSettings;
  HeldLine line{link_, link_.PortName(), link_.Device(), std::atoi(settings.c_str()), log_, &window_.Monitor(), {}};
  // Between two of the run's exchanges the operator's clicks made meanwhile go out, each a whole
  // exchange (a hold until its release), and the run goes on once the window's line is free.
  line.yield = [this] {
    window_.TakeLineBack();
    WaitForTheWindow();
    window_.LendLine();
  };
  if (request.probe) return ServeHanded(request, hand, line);
  // The window's own exchange first: a frame of the run's would meet its reply.
  WaitForTheWindow();
  window_.LendLine();
  hand_over::Reply reply = ServeHanded(request, hand, line);
  window_.TakeLineBack();
  return reply;
}

std::optional<std::string> WindowHands::ListenPjlink(const PjlinkOptions& options,
                                                     const std::optional<std::string>& password) {
  for (const int com : {1, 2}) {
    if (!options.listen[com - 1]) continue;
    // The window serves a face while its line is on that face's port; otherwise the face's
    // requests find another device held, and answer ERR4.
    faces_.push_back(std::make_unique<PjlinkServer>(
        turns_, [this](const hand_over::Request& request, const Hand& hand) { return Serve(request, hand); },
        [this, com] { return link_.Devices().PathFor(static_cast<std::int16_t>(com)); }, com, options.texts, password));
    if (auto why = faces_.back()->Listen(*options.listen[com - 1])) return why;
  }
  return std::nullopt;
}
