#pragma once

#include <optional>
#include <string>

#include "cli/HandServer.h"

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

 private:
  hand_over::Reply Serve(const hand_over::Request& request, qint64 peer);
  // Until the window's own exchange is over: its reply window, or a hold until released.
  void WaitForTheWindow();

  MainWindow& window_;
  LinkByDevice& link_;
  TrafficLog* log_;
  HandServer server_;
};
