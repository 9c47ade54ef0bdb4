#include "cli/CommandList.h"

#include <algorithm>
#include <vector>

#include "commands/CommandCatalogue.h"
#include "commands/CommandNames.h"
#include "exchange/ReplyDecoders.h"

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

std::string Padded(std::string_view text, std::size_t width) {
  std::string padded(text);
  padded.resize(std::max(width, text.size()) + 2, ' ');
  return padded;
}

// Where the button sits: its group's title and its caption.
std::string OnThePanel(const CommandName& entry) {
  const PanelCommand* button = FindCommand(entry.control);
  if (button == nullptr) return "(typed in CMD)";
  return entry.group.empty() ? std::string(button->caption) : std::string(entry.group) + ' ' + std::string(button->caption);
}

// Rows of columns, each column as wide as its widest cell.
std::string Table(const std::vector<std::vector<std::string>>& rows) {
  std::vector<std::size_t> widths;
  for (const auto& row : rows) {
    widths.resize(std::max(widths.size(), row.size()));
    for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], row[i].size());
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
  return "The buttons' commands; --send takes the command or its name:\n" + Table(buttons) +
         "\nThe status queries, and what each reports (with --json, as \"value\"):\n" + Table(queries);
}
