#include "cli/SendCommand.h"

#include "commands/CommandNames.h"
#include "exchange/FreeText.h"
#include "exchange/ReplyDecoders.h"

std::string SendCommand::Named() const { return given == text ? Quoted(given) : Quoted(given) + " (" + text + ")"; }

std::variant<SendCommand, std::string> ResolveCommand(const std::string& given, const SendRequest& request) {
  using Resolved = std::variant<SendCommand, std::string>;
  const auto refuse = [&given](const std::string& why) {
    return Resolved(std::in_place_index<1>, "--send " + Quoted(given) + ": " + why + " Try 'projector-panel --help'.");
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
  return SendCommand{given, text};
}

std::string Quoted(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string quoted = "\"";
  for (const char c : text) {
    const auto code = static_cast<unsigned char>(c);
    // Bytes from 0x80 up are shown too: a device's bytes are no text, and raw they could be taken
    // by a terminal for control sequences or break the line's encoding.
    if (code < 0x20 || code >= 0x7F) {
      quoted += "\\x";
      quoted += kHex[code >> 4];
      quoted += kHex[code & 0xF];
    } else {
      quoted += c;
    }
  }
  return quoted + '"';
}
