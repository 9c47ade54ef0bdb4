#pragma once

#include <QString>
#include <functional>
#include <string>

#include "controller/SerialLink.h"
#include "controller/TrafficObserver.h"
#include "cli/HandServer.h"
#include "cli/LineTurns.h"
#include "network/HandOver.h"

class TrafficLog;

// The line a holder has open, as a handed run needs to know it.
struct HeldLine {
  SerialLink& link;
  std::string port;  // as messages name it: "COM1 (/dev/ttyUSB0)"
  QString device;    // the device it is open on
  int speed = 19200;
  TrafficLog* log = nullptr;            // the holder's log, if it keeps one: it names the hand
  TrafficObserver* watcher = nullptr;   // another who hears of the traffic (the window's monitor)
  // The line's turns: the run takes the line for each of its exchanges and gives it back between
  // them, so other hands go forward too; none: the run keeps the line to its end.
  LineTurns* turns = nullptr;
};

// The same device, however either side spelt it (a link and its target).
bool SameDevice(const QString& a, const QString& b);

// Runs one handed --send on the held line, as a direct run would run it, and gives back what it
// printed and its status. A request for another device or another speed is refused (status 1,
// 2) without a frame. The log names the traffic `hand`'s.
hand_over::Reply ServeHanded(const hand_over::Request& handed, const Hand& hand, const HeldLine& line);
