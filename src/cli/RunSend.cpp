#include "cli/RunSend.h"

#include <iostream>

#include "cli/SendSession.h"
#include "exchange/FreeText.h"

namespace {

// Every command is checked before the port is touched: a run that would stop half-way through
// its list leaves the projector in a state nobody asked for.
bool Refused(const SendRequest& request, std::ostream& err) {
  for (const std::string& command : request.commands) {
    if (const auto refusal = FreeTextRefusal(command)) {
      err << "--send " << JsonString(command) << ": " << *refusal << '\n' << std::flush;
      return true;
    }
  }
  return false;
}

}  // namespace

int RunSend(const SendRequest& request, const PortMap& ports) {
  return RunSend(request, ports, std::cout, std::cerr);
}

int RunSend(const SendRequest& request, const PortMap& ports, std::ostream& out, std::ostream& err) {
  if (Refused(request, err)) return SendExit::kRefused;

  SendSession session(ports, err);
  if (!session.Start(request)) return SendExit::kLinkFailed;
  int status = SendExit::kReplied;
  for (const std::string& command : request.commands) {
    const auto sent = session.Ask(command);
    if (!sent) return SendExit::kLinkFailed;
    out << (request.json ? JsonReport(*sent) : TextReport(*sent)) << std::flush;
    if (sent->timedOut) status = SendExit::kNoReply;
  }
  return status;
}
