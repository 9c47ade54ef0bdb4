#include "cli/RunSend.h"


#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

#include "cli/ErrorLines.h"
#include "cli/SendCommand.h"
#include "cli/SendReport.h"
#include "cli/SendSession.h"
#include "platform/StopSignals.h"
#include "cli/StandardStreams.h"
#include "exchange/Render.h"
#include "network/NetworkAddress.h"
#include "platform/LinkByDevice.h"
#include "platform/NetworkLinkTexts.h"
#include "platform/TrafficLog.h"

namespace {

// The first of 1, 2, 4, 3 that applies wins; 0 only when none does.
int Worse(int a, int b) {
  static constexpr int kOrder[] = {SendExit::kLinkFailed, SendExit::kRefused, SendExit::kErr, SendExit::kNoReply};
  for (const int status : kOrder) {
    if (a == status || b == status) return status;
  }
  return SendExit::kReplied;
}

struct Failure {
  int status;
  std::string text;
};

// What the answer to a command that was sent and awaited makes of the run.
std::optional<Failure> Verdict(const SentCommand& sent, const SendCommand& command, const std::string& port) {
  const std::string from = command.Named() + " from " + port;
  const std::string within = " within " + std::to_string(sent.waitMs) + " ms";
  if (sent.truncated) {
    return Failure{SendExit::kNoReply, "the reply to " + from + " was cut at " + std::to_string(Exchange::kRxBufferLimit) +
                                           " bytes, the most a reply may have, and the rest was dropped; a reply this "
                                           "long is not the projector's: check --speed"};
  }
  if (sent.TimedOut()) {
    return Failure{SendExit::kNoReply, "no reply to " + from + within +
                                           ": check the cable, --speed and --address, or wait longer with --timeout MS"};
  }
  if (sent.answer == Answer::Partial) {
    return Failure{SendExit::kNoReply, "incomplete reply to " + from + within + ": " + Quoted(sent.reply) +
                                           " came without its CR; wait longer with --timeout MS"};
  }
  if (sent.answer == Answer::Unexpected) {
    return Failure{SendExit::kNoReply, "unexpected reply to " + from + ": " + Quoted(sent.reply) +
                                           " is not an answer to it (an earlier command's late reply, or noise on the "
                                           "line), so it was not read; run the command again"};
  }
  if (sent.answer == Answer::Err) {
    return Failure{SendExit::kErr, "the projector refused " + command.Named() + " (ERR) on " + port +
                                       ": it does not take this command" + DidYouMean(command) +
                                       "; projector-panel --list-commands lists the panel's commands"};
  }
  return std::nullopt;
}

// Bytes that answered no command, said with the command they followed.
std::string LateText(const LateBytes& late, const SendCommand& first, const std::string& port) {
  // A line for a person: the first bytes say enough (the JSON line carries them all).
  constexpr std::size_t kShown = 64;
  std::string bytes = Quoted(late.bytes.substr(0, kShown));
  if (late.count > kShown) bytes += " and " + std::to_string(late.count - kShown) + " more bytes";
  // Before the first frame: the open has dropped what the device sent earlier, so these came
  // since, and answer nothing that was asked.
  if (late.command.empty()) return "unexpected bytes on " + port + " before " + first.Named() + " was sent: " + bytes;
  if (!late.owed) return "unexpected bytes after the reply to " + Quoted(late.command) + " from " + port + ": " + bytes;
  return "late reply to " + Quoted(late.command) + " from " + port + ", after its wait had ended: " + bytes +
         (late.complete ? "" : " (incomplete)");
}

// Late bytes as the traffic log has them: as the monitor would show them.
std::string LateRendered(const LateBytes& late) {
  const std::size_t more = late.count - late.bytes.size();
  return Render(late.bytes) + (more > 0 ? "and " + std::to_string(more) + " more bytes" : "");
}

// The link's texts speak to the operator of the window, who clicks again or chooses the port with
// COM; a script runs its commands again.
std::string ForScript(std::string text, const SendCommand& command) {
  const std::string again = "run the commands from " + command.Named() + " on again.";
  for (const std::string_view advice : {"then click again; once it is back, choosing the port again with COM opens it too.",
                                        "then click again.", "click again."}) {
    for (std::size_t at = text.find(advice); at != std::string::npos; at = text.find(advice, at + again.size())) {
      text.replace(at, advice.size(), advice.starts_with("then") ? "then " + again : again);
    }
  }
  return text;
}

// `when`: empty, or what the run was doing.
std::string Lost(const std::string& port, const SendCommand& command, const std::string& when = "") {
  return port + " was lost" + when + ": the device hung up or was unplugged. Reconnect it, then run the commands from " +
         command.Named() + " on again";
}

// --speed on a raw TCP port changes nothing: the server sets the line. Said once, before the
// port opens (the link's own notice comes only on a change while open).
std::optional<std::string> SpeedNote(const SendRequest& request, const std::string& path, const std::string& port) {
  const DeviceName device = ReadDeviceName(path);
  const auto* address = std::get_if<NetworkAddress>(&device);
  if (!request.speedGiven || address == nullptr || address->kind != NetworkAddress::Kind::RawSocket) return std::nullopt;
  return network_texts::SpeedIsTheServers(QString::fromStdString(port), request.speed).toStdString();
}

}  // namespace

int RunSend(const SendRequest& request, const PortMap& ports, std::ostream& out, std::ostream& err) {
  LinkByDevice link(ports);
  const std::string path = ports.PathFor(request.port).toStdString();
  const std::string port = "COM" + std::to_string(request.port) + " (" + path + ")";
  if (const auto note = SpeedNote(request, path, port)) ErrorLines(err, request.json).Warning(*note);
  return RunSend(request, link, port, out, err);
}

int RunSend(const SendRequest& request, SerialLink& link, const std::string& port, std::ostream& out,
            std::ostream& err, bool ownSignals, TrafficObserver* alsoTold, const std::function<void()>& between) {
  ErrorLines lines(err, request.json);
  // Every command is checked before the port is touched: a run that would stop half-way through
  // its list leaves the projector in a state nobody asked for.
  std::vector<SendCommand> commands;
  for (const std::string& given : request.commands) {
    auto resolved = ResolveCommand(given, request);
    if (const auto* refusal = std::get_if<std::string>(&resolved)) {
      lines.Error(*refusal, &given, SendExit::kRefused);
      return SendExit::kRefused;
    }
    commands.push_back(std::get<SendCommand>(resolved));
  }
  if (commands.empty()) return SendExit::kReplied;

  TrafficLog log([&port] { return port; });
  if (request.log) {
    if (const auto problem = log.Open(QFile::decodeName(request.log->c_str()))) lines.Warning(*problem);
    log.SetOnWriteFailure([&lines](const std::string& failure) { lines.Warning(failure); });
    log.Watch(link);
  }
  SendSession session(link, [&](const LateBytes& late) {
    LateBytes said = late;
    if (said.command.empty()) said.command = commands[0].given;
    lines.Late(LateText(late, commands[0], port), said);
    log.Late(LateRendered(late));
    if (alsoTold != nullptr) alsoTold->Late(LateRendered(late));
  });
  session.AddObserver(log);
  if (alsoTold != nullptr) session.AddObserver(*alsoTold);
  const NoPipeSignal closedOutputIsAnError;
  // A holder serving this run keeps the process's signals for itself: it ends once the run is over.
  std::optional<StopSignals> stops;
  if (ownSignals) stops.emplace([&session] { session.Interrupt(); });
  const struct {
    const std::optional<StopSignals>& stops;
    int Caught() const { return stops ? stops->Caught() : 0; }
  } stopping{stops};
  // Names the commands from `i` on, which were not sent.
  const auto notSent = [&commands](std::size_t i) {
    return commands[i].Named() + (i + 1 < commands.size() ? " and the commands after it were not sent" : " was not sent");
  };
  const auto stoppedBy = [&stopping] { return std::string("stopped by ") + SignalName(stopping.Caught()); };

  if (const auto why = session.Start(request)) {
    lines.Error(notSent(0) + ": " + *why, &commands[0].given, SendExit::kLinkFailed);
    return SendExit::kLinkFailed;
  }
  int status = SendExit::kReplied;
  int lastWait = 0;
  for (std::size_t i = 0; i < commands.size(); ++i) {
    const SendCommand& command = commands[i];
    const std::string* given = &command.given;
    const std::string later = i + 1 < commands.size() ? "; " + notSent(i + 1) : "";
    using End = SendSession::Outcome::End;
    SendSession::Outcome outcome;
    if (stopping.Caught() != 0) {
      outcome.end = End::Interrupted;
    } else {
      if (between && i > 0) between();
      outcome = session.Ask(command.given, command.text);
    }
    if (outcome.end == End::Interrupted) {
      const int signal = SendExit::kSignalBase + stopping.Caught();
      lines.Error(outcome.written ? command.Named() + " was sent to " + port + ", reply not awaited: " + stoppedBy() + later
                                  : stoppedBy() + "; " + notSent(i),
                  given, signal);
      return signal;
    }
    if (outcome.end == End::NotSent) {
      lines.Error(notSent(i) + ": " + (outcome.lost ? Lost(port, command) + "." : ForScript(outcome.why, command)), given,
                  SendExit::kLinkFailed);
      return SendExit::kLinkFailed;
    }

    out << (request.json ? JsonReport(outcome.sent) : TextReport(outcome.sent)) << std::flush;
    if (const int error = WriteError(out)) {
      const bool closed = error == EPIPE;
      lines.Error((closed ? std::string("standard output was closed")
                          : "standard output could not be written (" + std::string(std::strerror(error)) + ")") +
                      "; the answer to " + command.Named() + " from " + port + " was not printed" +
                      (later.empty() ? "" : ", and no later command was sent"),
                  given, closed ? SendExit::kOutputClosed : SendExit::kLinkFailed);
      return closed ? SendExit::kOutputClosed : SendExit::kLinkFailed;
    }
    // A broadcast awaits no reply, only its frame leaving for the line.
    const std::string waiting = outcome.sent.broadcast ? command.Named() + " was going out"
                                                       : "waiting for the reply to " + command.Named();
    if (outcome.end == End::Lost) {
      lines.Error(Lost(port, command, " while " + waiting) + later, given, SendExit::kLinkFailed);
      return SendExit::kLinkFailed;
    }
    if (outcome.end == End::Unsent) {
      lines.Error(command.Named() + " did not reach " + port + ": it was still waiting to go out when its " +
                      std::to_string(outcome.sent.waitMs) +
                      " ms were up, so no projector got it whole. The line is held or too slow for it: check the "
                      "cable and --speed, or give it longer with --timeout MS" + later,
                  given, SendExit::kLinkFailed);
      return SendExit::kLinkFailed;
    }
    if (outcome.end == End::Failed) {
      lines.Error(ForScript(outcome.why, command) + " (while " + waiting + ")" + later, given, SendExit::kLinkFailed);
      return SendExit::kLinkFailed;
    }
    lastWait = outcome.sent.waitMs;
    if (const auto failure = Verdict(outcome.sent, command, port)) {
      lines.Error(failure->text, given, failure->status);
      status = Worse(status, failure->status);
    }
  }
  // Replies still owed are awaited a little longer, so that they are reported here rather than
  // met by the next run.
  session.Finish(lastWait);
  if (stopping.Caught() != 0) {
    const int signal = SendExit::kSignalBase + stopping.Caught();
    lines.Error(stoppedBy() + " while waiting for late replies on " + port + "; every command had been sent", nullptr,
                signal);
    return signal;
  }
  return status;
}
