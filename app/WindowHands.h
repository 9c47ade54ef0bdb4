#pragma once

#include <optional>
#include <string>

#include <memory>
#include <vector>

#include "cli/HandServer.h"
#include "cli/LineTurns.h"
#include "cli/PjlinkServer.h"

class LinkByDevice;
class MainWindow;
class TrafficLog;

// The window as the holder of its port: it serves the --send runs of its user that find the port
// held (HandServer) and its PJLink clients, each on a session of its own over the window's line.
// The runs go forward side by side, one exchange at a time (LineTurns): an exchange waits until
// the window's own is over (its reply window, or a hold until released); while it runs, the
// operator's clicks wait, and go out in order before the next. A run's traffic is shown on the
// monitor's lines and written to the window's log with the hand named. Nothing a run does
// touches the window's controls: its address, port, speed and free text are its own.
class WindowHands {
 public:
  WindowHands(MainWindow& window, LinkByDevice& link, TrafficLog* log);

  // Opens the door; nothing is said when there is none to open (no XDG_RUNTIME_DIR).
  void Listen() { server_.Listen(); }
  // Opens the PJLink faces `options` asks for, each answering for its port's device; why not.
  std::optional<std::string> ListenPjlink(const PjlinkOptions& options, const std::optional<std::string>& password);

 private:
  hand_over::Reply Serve(const hand_over::Request& request, const Hand& hand);

  MainWindow& window_;
  LinkByDevice& link_;
  TrafficLog* log_;
  LineTurns turns_;
  HandServer server_;
  std::vector<std::unique_ptr<PjlinkServer>> faces_;
};
