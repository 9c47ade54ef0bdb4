#include "cli/SendCommand.h"

#include <algorithm>
#include <vector>

#include "commands/CommandCatalogue.h"
#include "commands/CommandNames.h"
#include "exchange/FreeText.h"
#include "exchange/ReplyDecoders.h"
#include "hold/HoldNames.h"

namespace {

// Every name with the caption of its button, the one-shot buttons' first, then the hold
// buttons' (the pressure query has no button, and so no caption).
struct NamedButton {
  std::string_view name;
  std::string_view caption;
};
const std::vector<NamedButton>& EveryNamedButton() {
  static const std::vector<NamedButton> buttons = [] {
    std::vector<NamedButton> all;
    for (const CommandName& entry : kCommandNames) {
      const PanelCommand* button = FindCommand(entry.control);
      all.push_back({entry.name, button != nullptr ? button->caption : std::string_view()});
    }
    for (const HoldName& entry : kHoldNames) all.push_back({entry.name, FindHoldButton(entry.control)->caption});
    return all;
  }();
  return buttons;
}

std::vector<std::string_view> EveryName() {
  std::vector<std::string_view> names;
  for (const NamedButton& button : EveryNamedButton()) names.push_back(button.name);
  return names;
}

std::string_view CommandOfAnyName(std::string_view name) {
  if (const HoldButton* button = HoldButtonOfName(name)) return button->command;
  return CommandOfName(name);
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&lower](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

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
    const std::string_view command = CommandOfAnyName(given);
    if (command.empty()) {
      std::string why = "no command has this name";
      const auto near = NearestNames(given, EveryName());
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

std::string DidYouMean(const SendCommand& command) {
  if (command.given != command.text) return "";
  // A caption shared by several buttons ("ON", "+") names them all: any of them may be meant.
  std::vector<std::string_view> meant;
  for (const NamedButton& button : EveryNamedButton()) {
    const bool caption = !button.caption.empty() && SameIgnoringCase(command.given, button.caption);
    if (caption || SameIgnoringCase(command.given, button.name)) meant.push_back(button.name);
  }
  std::string hint;
  for (std::size_t i = 0; i < meant.size(); ++i) {
    hint += (i == 0 ? " (did you mean " : i + 1 == meant.size() ? " or " : ", ") + std::string(meant[i]);
  }
  return hint.empty() ? hint : hint + "?)";
}
