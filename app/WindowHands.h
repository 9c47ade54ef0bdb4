#pragma once

#include <optional>
#include <string>

#include <memory>
#include <vector>

#include "cli/HandServer.h"
#include "cli/PjlinkServer.h"

class LinkByDevice;
class MainWindow;
class TrafficLog;

// The window as the holder of its port: it serves the --send runs of its user that find the port
// held (HandServer), each on a session of its own over the window's line. A run waits until the
// window's own exchange is over (its reply window, or a hold until released); while one of its
// exchanges runs, the operator's clicks wait, and go out in order before its next one. The run's traffic is shown on the
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
  // Until the window's own exchange is over: its reply window, or a hold until released.
  void WaitForTheWindow();

  MainWindow& window_;
  LinkByDevice& link_;
  TrafficLog* log_;
  LineTurns turns_;
  HandServer server_;
  std::vector<std::unique_ptr<PjlinkServer>> faces_;
};
