#include "cli/RunSend.h"

#include <iostream>

#include "cli/SendSession.h"
#include "exchange/FreeText.h"

namespace {

// The command as given, in quotes, with its control characters made visible: a CR in it must not
// break the message.
std::string Quoted(std::string_view command) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string quoted = "\"";
  for (const char c : command) {
    const auto code = static_cast<unsigned char>(c);
    if (code < 0x20 || code == 0x7F) {
      quoted += "\\x";
      quoted += kHex[code >> 4];
      quoted += kHex[code & 0xF];
    } else {
      quoted += c;
    }
  }
  return quoted + '"';
}

// Every command is checked before the port is touched: a run that would stop half-way through
// its list leaves the projector in a state nobody asked for.
bool Refused(const SendRequest& request, std::ostream& err) {
  for (const std::string& command : request.commands) {
    if (const auto refusal = FreeTextRefusal(command, "the --send text")) {
      err << "--send " << Quoted(command) << ": " << *refusal << '\n' << std::flush;
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
