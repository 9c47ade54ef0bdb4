#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "cli/SendRequest.h"
#include "controller/SerialLink.h"
#include "controller/TrafficObserver.h"
#include "platform/PortMap.h"

// Exit statuses of a run. When several apply, the first of kLinkFailed, kRefused, kErr, kNoReply
// is the one returned; a signal or a closed standard output ends the run with its own.
namespace SendExit {
inline constexpr int kReplied = 0;      // every command acknowledged or answered (a broadcast: sent)
inline constexpr int kLinkFailed = 1;   // open, write or lost line; or standard output unwritable
inline constexpr int kRefused = 2;      // a command the projector cannot be sent; nothing sent
inline constexpr int kNoReply = 3;      // a command got no reply, or an incomplete one
inline constexpr int kErr = 4;          // the projector answered ERR to a command
inline constexpr int kSignalBase = 128;  // + the number of the signal that stopped the run
inline constexpr int kOutputClosed = 141;  // standard output closed: as a shell reports SIGPIPE
}  // namespace SendExit

// Sends the request's commands in order on the chosen port and prints, for each, the panel's
// three monitor lines (or one JSON line) on standard output; every failure is one line on
// standard error. Returns one of SendExit. Needs a QCoreApplication; it runs that application's
// event loop.
int RunSend(const SendRequest& request, const PortMap& ports, std::ostream& out, std::ostream& err);
// The same on a link of the caller's; `port` names it in messages: "COM1 (/dev/ttyUSB0)".
// `ownSignals`: SIGTERM, SIGINT and SIGHUP stop the run; a holder serving it keeps them instead.
// `alsoTold`, if any, hears of the run's traffic too (the holder's log); `between`, if any, runs
// between two exchanges, when no reply of the run's is awaited (the holder lets another hand in).
int RunSend(const SendRequest& request, SerialLink& link, const std::string& port, std::ostream& out,
            std::ostream& err, bool ownSignals = true, TrafficObserver* alsoTold = nullptr,
            const std::function<void()>& between = {});
