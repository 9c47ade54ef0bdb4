#include "WindowHands.h"

#include <cstdlib>

#include "cli/Fiber.h"
#include "cli/HandedRun.h"
#include "platform/LinkByDevice.h"
#include "window/MainWindow.h"

WindowHands::WindowHands(MainWindow& window, LinkByDevice& link, TrafficLog* log)
    : window_(window),
      link_(link),
      log_(log),
      server_([this](const hand_over::Request& request, const Hand& hand) { return Serve(request, hand); }) {
  // A hand's exchange waits for the window's own (its reply window, or a hold until released);
  // the operator's clicks made meanwhile wait for it, and go out, in order, when it is over.
  turns_.onTake = [this] {
    Fiber::WaitUntil([this] { return !window_.LineInUse(); });
    window_.LendLine();
  };
  turns_.onGive = [this] { window_.TakeLineBack(); };
}

hand_over::Reply WindowHands::Serve(const hand_over::Request& request, const Hand& hand) {
  // A window keeps its line for as long as it is open.
  if (request.lend) return {1, "", ""};
  const std::string& settings = window_.Core().State.CommSettings;
  HeldLine line{link_, link_.PortName(), link_.Device(), std::atoi(settings.c_str()), log_, &window_.Monitor(), &turns_};
  return ServeHanded(request, hand, line);
}

std::optional<std::string> WindowHands::ListenPjlink(const PjlinkOptions& options,
                                                     const std::optional<std::string>& password) {
  for (const int com : {1, 2}) {
    if (!options.listen[com - 1]) continue;
    // The window serves a face while its line is on that face's port; otherwise the face's
    // requests find another device held, and answer ERR4.
    faces_.push_back(std::make_unique<PjlinkServer>(
        [this](const hand_over::Request& request, const Hand& hand) { return Serve(request, hand); },
        [this, com] { return link_.Devices().PathFor(static_cast<std::int16_t>(com)); }, com, options.texts, password));
    if (auto why = faces_.back()->Listen(*options.listen[com - 1])) return why;
  }
  return std::nullopt;
}
