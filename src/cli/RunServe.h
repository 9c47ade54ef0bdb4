#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "cli/PjlinkOptions.h"
#include "platform/PortMap.h"

// --serve: the holder without a window. Opens COM1 (and COM2 with `com2`) at `speed`, holds them,
// and serves every --send of its user that finds the port held (HandServer), and its PJLink
// clients, each on a session of its own over the held line (its own address, reply windows and
// decoding), the runs side by side, one exchange at a time. Bytes that come while no exchange is
// in progress are read and logged, so none stands in front of the next reply. A lost device is
// opened again by the next run's write, as in the window. Ends on SIGTERM, SIGINT or SIGHUP,
// once the runs in progress are over, with the port closed and its lock released
// (status 0); status 1 when the port or the socket cannot be had. `pjlink`: the PJLink faces to
// open too, whose clients are hands like the scripts; `password`, if any, is theirs to prove.
int RunServe(const PortMap& ports, int speed, bool com2, const std::optional<std::string>& log, std::ostream& err,
             const PjlinkOptions& pjlink = {}, const std::optional<std::string>& password = std::nullopt);
