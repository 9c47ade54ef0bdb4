#include "cli/RunSend.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <variant>

#include "cli/SendReport.h"
#include "cli/SendSession.h"
#include "cli/SendSignals.h"
#include "cli/StandardStreams.h"
#include "commands/CommandNames.h"
#include "exchange/FreeText.h"
#include "platform/QtSerialLink.h"

namespace {

constexpr const char* kTryHelp = " Try 'projector-panel --help'.";

// Text in quotes with its control characters made visible: a CR in it must not break the line.
std::string Quoted(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string quoted = "\"";
  for (const char c : text) {
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

// One command of the run: as the operator gave it, and the text that goes on the line.
struct Command {
  std::string given;
  std::string text;
  // "CR0", or "status" (CR0) for a name.
  std::string Named() const { return given == text ? Quoted(given) : Quoted(given) + " (" + text + ")"; }
};

// Every line on standard error: plain, or one JSON object each with --json.
class ErrorLines {
 public:
  ErrorLines(std::ostream& err, bool json) : err_(err), json_(json) {}

  void Error(const std::string& text, const std::string* command, int exit) {
    if (json_) {
      err_ << "{\"error\":" << JsonString(text) << ",\"command\":" << (command ? JsonString(*command) : "null")
           << ",\"exit\":" << exit << "}\n";
    } else {
      err_ << "projector-panel: " << text << '\n';
    }
    err_.flush();
  }

  void Late(const std::string& text, const LateBytes& late) {
    if (json_) {
      err_ << "{\"warning\":" << JsonString(text) << ",\"command\":" << JsonString(late.command)
           << ",\"late\":" << JsonString(late.head) << "}\n";
    } else {
      err_ << "projector-panel: " << text << '\n';
    }
    err_.flush();
  }

 private:
  std::ostream& err_;
  bool json_;
};

// The text for the line, or why the command cannot go out. Every command is checked before the
// port is touched: a run that would stop half-way through its list leaves the projector in a
// state nobody asked for.
std::variant<std::string, std::string> Resolve(const std::string& given, const SendRequest& request) {
  using Refusal = std::variant<std::string, std::string>;
  const auto refuse = [&given](const std::string& why) {
    return Refusal(std::in_place_index<1>, "--send " + Quoted(given) + ": " + why + kTryHelp);
  };
  if (given.empty()) {
    return refuse("Nothing was sent: the command is empty. Give the projector's command (for example CR0) or its "
                  "name (projector-panel --list-commands lists them).");
  }
  if (const auto refusal = FreeTextRefusal(given, "the --send text")) return refuse(*refusal);
  std::string text = given;
  if (LooksLikeName(given)) {
    const std::string_view command = CommandOfName(given);
    if (command.empty()) {
      std::string why = "no command has this name";
      const auto near = NearestNames(given);
      for (std::size_t i = 0; i < near.size(); ++i) {
        why += (i == 0 ? "; did you mean " : i + 1 == near.size() ? " or " : ", ") + Quoted(near[i]);
      }
      return refuse(why + (near.empty() ? "." : "?") + " projector-panel --list-commands lists every name.");
    }
    text = command;
  }
  if (request.address->prefix == "AFFF" && QueryOf(text) != ReplyQuery::None) {
    return refuse("Nothing was sent: this asks for a status, and with --address all no projector answers. "
                  "Ask one projector with --address 001 to 004.");
  }
  return Refusal(std::in_place_index<0>, text);
}

// The first of 1, 2, 4, 3 that applies wins; 0 only when none does.
int Worse(int a, int b) {
  static constexpr int kOrder[] = {SendExit::kLinkFailed, SendExit::kRefused, SendExit::kErr, SendExit::kNoReply};
  for (const int status : kOrder) {
    if (a == status || b == status) return status;
  }
  return SendExit::kReplied;
}

std::string Head(const std::string& bytes, std::size_t count) {
  std::string shown = Quoted(bytes);
  if (count > bytes.size()) shown += " and " + std::to_string(count - bytes.size()) + " more bytes";
  return shown;
}

}  // namespace

int RunSend(const SendRequest& request, const PortMap& ports) {
  FdStreamBuf outBuffer(STDOUT_FILENO), errBuffer(STDERR_FILENO);
  std::ostream out(&outBuffer), err(&errBuffer);
  return RunSend(request, ports, out, err);
}

int RunSend(const SendRequest& request, const PortMap& ports, std::ostream& out, std::ostream& err) {
  QtSerialLink link(ports);
  return RunSend(request, link,
                 "COM" + std::to_string(request.port) + " (" + ports.PathFor(request.port).toStdString() + ")", out, err);
}

int RunSend(const SendRequest& request, SerialLink& link, const std::string& port, std::ostream& out,
            std::ostream& err) {
  ErrorLines lines(err, request.json);
  std::vector<Command> commands;
  for (const std::string& given : request.commands) {
    auto resolved = Resolve(given, request);
    if (resolved.index() == 1) {
      lines.Error(std::get<1>(resolved), &given, SendExit::kRefused);
      return SendExit::kRefused;
    }
    commands.push_back({given, std::get<0>(resolved)});
  }
  if (commands.empty()) return SendExit::kReplied;

  const auto onLate = [&](const LateBytes& late) {
    const std::string bytes = Head(late.head, late.count);
    // Before the first frame: the open has dropped what the device sent earlier, so these came
    // since, and answer nothing that was asked.
    if (late.command.empty()) {
      LateBytes before = late;
      before.command = commands[0].given;
      lines.Late("unexpected bytes on " + port + " before " + commands[0].Named() + " was sent: " + bytes, before);
      return;
    }
    lines.Late(late.owed ? "late reply to " + Quoted(late.command) + " from " + port + ", after its wait had ended: " +
                               bytes + (late.complete ? "" : " (incomplete)")
                         : "unexpected bytes after the reply to " + Quoted(late.command) + " from " + port + ": " + bytes,
               late);
  };
  SendSession session(link, onLate);
  SendSignals stopping([&session] { session.Interrupt(); });
  // Names the commands from `i` on that were not sent.
  const auto notSent = [&commands](std::size_t i) {
    return commands[i].Named() + (i + 1 < commands.size() ? " and the commands after it were not sent" : " was not sent");
  };

  if (const auto why = session.Start(request)) {
    lines.Error(notSent(0) + ": " + *why, &commands[0].given, SendExit::kLinkFailed);
    return SendExit::kLinkFailed;
  }
  int status = SendExit::kReplied;
  int lastWait = 0;
  for (std::size_t i = 0; i < commands.size(); ++i) {
    const Command& command = commands[i];
    using End = SendSession::Outcome::End;
    SendSession::Outcome outcome;
    if (stopping.Caught() != 0) {
      outcome.end = End::Interrupted;
    } else {
      outcome = session.Ask(command.given, command.text);
    }
    const SentCommand& sent = outcome.sent;
    if (outcome.end == End::Interrupted) {
      const int signal = stopping.Caught();
      const std::string by = std::string("stopped by ") + SignalName(signal);
      if (outcome.written) {
        lines.Error(command.Named() + " was sent to " + port + ", reply not awaited: " + by +
                        (i + 1 < commands.size() ? "; " + notSent(i + 1) : ""),
                    &command.given, SendExit::kSignalBase + signal);
      } else {
        lines.Error(by + "; " + notSent(i), &command.given, SendExit::kSignalBase + signal);
      }
      return SendExit::kSignalBase + signal;
    }
    if (outcome.end == End::NotSent) {
      const std::string why =
          outcome.lost ? port + " was lost: the device hung up or was unplugged. Reconnect it, then run the commands from " +
                             command.Named() + " on again."
                       : outcome.why;
      lines.Error(notSent(i) + ": " + why, &command.given, SendExit::kLinkFailed);
      return SendExit::kLinkFailed;
    }

    out << (request.json ? JsonReport(sent) : TextReport(sent)) << std::flush;
    if (const int error = WriteError(out)) {
      const bool closed = error == EPIPE;
      lines.Error(std::string(closed ? "standard output was closed" : "standard output could not be written (" +
                                                                         std::string(std::strerror(error)) + ")") +
                      "; the answer to " + command.Named() + " from " + port + " was not printed" +
                      (i + 1 < commands.size() ? ", and no later command was sent" : ""),
                  &command.given, closed ? SendExit::kOutputClosed : SendExit::kLinkFailed);
      return closed ? SendExit::kOutputClosed : SendExit::kLinkFailed;
    }
    if (outcome.end == End::Lost || outcome.end == End::Failed) {
      const std::string why = outcome.end == End::Lost
                                  ? port + " was lost while waiting for the reply to " + command.Named() +
                                        ": the device hung up or was unplugged. Reconnect it, then run the commands from " +
                                        command.Named() + " on again"
                                  : outcome.why + " (while waiting for the reply to " + command.Named() + ")";
      lines.Error(why + (i + 1 < commands.size() ? "; " + notSent(i + 1) : ""), &command.given, SendExit::kLinkFailed);
      return SendExit::kLinkFailed;
    }

    const std::string within = " within " + std::to_string(sent.waitMs) + " ms";
    lastWait = sent.waitMs;
    if (sent.truncated) {
      lines.Error("the reply to " + command.Named() + " from " + port + " was cut at " +
                      std::to_string(Exchange::kRxBufferLimit) +
                      " bytes, the most a reply may have, and the rest was dropped; a reply this long is not the "
                      "projector's: check --speed",
                  &command.given, SendExit::kNoReply);
      status = Worse(status, SendExit::kNoReply);
    } else if (sent.TimedOut()) {
      lines.Error("no reply to " + command.Named() + " from " + port + within +
                      ": check the cable, --speed and --address, or wait longer with --timeout MS",
                  &command.given, SendExit::kNoReply);
      status = Worse(status, SendExit::kNoReply);
    } else if (sent.answer == Answer::Partial) {
      lines.Error("incomplete reply to " + command.Named() + " from " + port + within + ": " + Quoted(sent.reply) +
                      " came without its CR; wait longer with --timeout MS",
                  &command.given, SendExit::kNoReply);
      status = Worse(status, SendExit::kNoReply);
    } else if (sent.answer == Answer::Err) {
      lines.Error("the projector refused " + command.Named() + " (ERR) on " + port +
                      ": it does not take this command; projector-panel --list-commands lists the panel's commands",
                  &command.given, SendExit::kErr);
      status = Worse(status, SendExit::kErr);
    }
  }
  // Replies still owed are awaited a little longer, so that they are reported here rather than
  // met by the next run.
  session.Finish(lastWait);
  if (const int signal = stopping.Caught(); signal != 0) {
    lines.Error(std::string("stopped by ") + SignalName(signal) + " while waiting for late replies on " + port +
                    "; every command had been sent",
                nullptr, SendExit::kSignalBase + signal);
    return SendExit::kSignalBase + signal;
  }
  return status;
}
