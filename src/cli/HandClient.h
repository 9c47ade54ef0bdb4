#pragma once

#include <QString>
#include <optional>
#include <ostream>

#include "cli/SendRequest.h"
#include "network/HandOver.h"
#include "platform/PortMap.h"

// A --send run whose port another projector-panel of this user holds (its lock file names the
// process, and that process listens for its user's scripts) is handed to that process, which runs
// it on its line and gives back what the run printed and its status: printed here as it came.
// Nothing when the port is not held so, and the run goes on as a direct one (whose open then
// tells of the holder as before).
std::optional<int> HandOverIfHeld(const SendRequest& request, const PortMap& ports, std::ostream& out,
                                  std::ostream& err);

// A window that is starting on `device` asks the panel that holds it (--serve) for the line: that
// one finishes its run in progress, closes the port, hands it later runs, and takes the line
// back once the window has gone. True when the line was lent; false when nobody held it so.
bool BorrowLine(const QString& device);

// Where the holder of `device` listens, when another process of this user holds it so: the one
// its lock file names, or for a network device the first holder that says it has it open.
std::optional<QString> HolderDoor(const QString& device);
// Sends `request` to the holder listening at `path`; its reply, or nothing without one.
// `reached`, if given, tells whether anybody took the connection.
std::optional<hand_over::Reply> AskHolder(const QString& path, const hand_over::Request& request,
                                          bool* reached = nullptr);
