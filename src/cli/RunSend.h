#pragma once

#include <ostream>

#include "cli/SendRequest.h"
#include "platform/PortMap.h"

// Exit statuses of a run.
namespace SendExit {
inline constexpr int kReplied = 0;      // every command got a reply
inline constexpr int kLinkFailed = 1;   // the port could not be opened, or a write failed
inline constexpr int kRefused = 2;      // a command is text the projector cannot take; nothing sent
inline constexpr int kNoReply = 3;      // at least one reply window ended with nothing received
}  // namespace SendExit

// Sends the request's commands in order on the chosen port and prints, for each, the panel's
// three monitor lines (or one JSON line) on standard output; failures go to standard error.
// Returns one of SendExit. Needs a QCoreApplication; it runs that application's event loop.
int RunSend(const SendRequest& request, const PortMap& ports);
int RunSend(const SendRequest& request, const PortMap& ports, std::ostream& out, std::ostream& err);
