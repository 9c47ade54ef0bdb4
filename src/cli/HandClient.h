#pragma once

#include <optional>
#include <ostream>

#include "cli/SendRequest.h"
#include "platform/PortMap.h"

// A --send run whose port another projector-panel of this user holds (its lock file names the
// process, and that process listens for its user's scripts) is handed to that process, which runs
// it on its line and gives back what the run printed and its status: printed here as it came.
// Nothing when the port is not held so, and the run goes on as a direct one (whose open then
// tells of the holder as before).
std::optional<int> HandOverIfHeld(const SendRequest& request, const PortMap& ports, std::ostream& out,
                                  std::ostream& err);
