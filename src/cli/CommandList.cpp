#include "cli/CommandList.h"

#include <algorithm>
#include <vector>

#include "commands/CommandCatalogue.h"
#include "commands/CommandNames.h"
#include "exchange/ReplyDecoders.h"
#include "hold/HoldNames.h"

namespace {

// What each query reports, as the JSON "value" gives it.
const char* Reports(ReplyQuery query) {
  switch (query) {
    case ReplyQuery::Status: return "operating status: {\"code\", \"text\"}";
    case ReplyQuery::Mode: return "input mode: a number, 1 to 5";
    case ReplyQuery::Setting: return "projection orientation: {\"code\", \"text\"}";
    case ReplyQuery::LampTime: return "lamp hours: a number";
    case ReplyQuery::Temperature: return "four temperatures: [S1, S2, S3, S4], null for one that is no number";
    case ReplyQuery::Setting2: return "mute and signal: {\"code\", \"text\"}";
    case ReplyQuery::PcType: return "PC type: a string";
    case ReplyQuery::Pressure: return "air pressure in hPa: a number";
    case ReplyQuery::LampMode: return "lamp mode: {\"code\", \"text\"}";
    case ReplyQuery::None: break;
  }
  return "";
}

// Characters, not bytes: the arrows' captions take three bytes each.
std::size_t Width(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

std::string Padded(std::string_view text, std::size_t width) {
  return std::string(text) + std::string(std::max(width, Width(text)) - Width(text) + 2, ' ');
}

// Where the button sits: its group's title and its caption.
std::string OnThePanel(const CommandName& entry) {
  const PanelCommand* button = FindCommand(entry.control);
  if (button == nullptr) return "(typed in CMD)";
  return entry.group.empty() ? std::string(button->caption) : std::string(entry.group) + ' ' + std::string(button->caption);
}

std::string OnThePanel(const HoldName& entry) {
  // The cursor pad has no title on the panel; its arrows' captions alone would not tell it apart.
  const std::string caption(FindHoldButton(entry.control)->caption);
  return (entry.group.empty() ? std::string("cursor pad") : std::string(entry.group)) + ' ' + caption;
}

// How long --send waits for the reply: the window the panel's button gives it.
std::string ReplyWindow(const CommandName& entry) {
  const PanelCommand* button = FindCommand(entry.control);
  if (button == nullptr) return "2000 ms, as typed text";
  if (button->kind == SendKind::LongWait) return std::to_string(button->replyTimeout) + " ms";
  return "as the last command left it (500 ms at first)";
}

std::string ReplyWindow(const HoldButton& button) {
  switch (button.timing) {
    case HoldTiming::Fast: return std::to_string(kFastTiming.replyTimeout) + " ms";
    case HoldTiming::Slow: return std::to_string(kSlowTiming.replyTimeout) + " ms";
    case HoldTiming::Select: return std::to_string(kSelectTiming.replyTimeout) + " ms";
    case HoldTiming::CursorPad: break;
  }
  return "150 ms after menu-on or a-pc-adj, 5 ms after a d-zoom step, else as the last command left it";
}

// Rows of columns, each column as wide as its widest cell.
std::string Table(const std::vector<std::vector<std::string>>& rows) {
  std::vector<std::size_t> widths;
  for (const auto& row : rows) {
    widths.resize(std::max(widths.size(), row.size()));
    for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], Width(row[i]));
  }
  std::string table;
  for (const auto& row : rows) {
    for (std::size_t i = 0; i + 1 < row.size(); ++i) table += Padded(row[i], widths[i]);
    table += row.back() + '\n';
  }
  return table;
}

}  // namespace

std::string CommandListText() {
  std::vector<std::vector<std::string>> buttons{{"COMMAND", "NAME", "PANEL"}};
  std::vector<std::vector<std::string>> queries{{"COMMAND", "NAME", "PANEL", "REPORTS"}};
  for (const CommandName& entry : kCommandNames) {
    const std::string command(CommandOf(entry));
    const ReplyQuery query = QueryOf(command);
    if (query == ReplyQuery::None) {
      buttons.push_back({command, std::string(entry.name), OnThePanel(entry)});
    } else {
      queries.push_back({command, std::string(entry.name), OnThePanel(entry), Reports(query)});
    }
  }
  std::vector<std::vector<std::string>> holds{{"COMMAND", "NAME", "PANEL"}};
  for (const HoldName& entry : kHoldNames) {
    holds.push_back({std::string(FindHoldButton(entry.control)->command), std::string(entry.name), OnThePanel(entry)});
  }
  return "The buttons' commands; --send takes the command or its name:\n" + Table(buttons) +
         "\nThe hold buttons' commands; --send gives one step (the press, its reply, the release):\n" + Table(holds) +
         "\nThe status queries, and what each reports (with --json, as \"value\"):\n" + Table(queries);
}

std::string CommandListMarkdown() {
  std::string table =
      "# The panel's commands\n\n"
      "Every name `--send` takes, what it sends (behind the address prefix, with CR after it), the\n"
      "button it stands for and how long `--send` waits for the reply (`--timeout` overrides it).\n"
      "A hold button's name is one step: the press, its reply, then the release.\n"
      "Made by `projector-panel --list-commands --markdown`; not edited by hand.\n\n"
      "| Name | Sends | Panel | Reply window |\n|---|---|---|---|\n";
  const auto row = [&table](std::string_view name, std::string_view sends, const std::string& panel,
                            const std::string& window) {
    table += "| `" + std::string(name) + "` | `" + std::string(sends) + "` | " + panel + " | " + window + " |\n";
  };
  for (const CommandName& entry : kCommandNames) row(entry.name, CommandOf(entry), OnThePanel(entry), ReplyWindow(entry));
  for (const HoldName& entry : kHoldNames) {
    const HoldButton& button = *FindHoldButton(entry.control);
    row(entry.name, button.command, OnThePanel(entry) + " (hold)", ReplyWindow(button));
  }
  return table;
}
