#include "commands/CommandNames.h"

#include <algorithm>
#include <numeric>

#include "commands/CommandCatalogue.h"

std::string_view CommandOf(const CommandName& entry) {
  if (entry.control.empty()) return kPressureQuery;
  const PanelCommand* button = FindCommand(entry.control);
  return button == nullptr ? std::string_view() : button->command;
}

std::string_view CommandOfName(std::string_view name) {
  const auto* entry = std::find_if(kCommandNames.begin(), kCommandNames.end(),
                                   [name](const CommandName& n) { return n.name == name; });
  return entry == kCommandNames.end() ? std::string_view() : CommandOf(*entry);
}

bool LooksLikeName(std::string_view text) {
  const bool nameCharacters = !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
  });
  return nameCharacters && (text.find('-') != std::string_view::npos || text.size() >= 4);
}

namespace {

// Edits (insert, delete, replace one character) from `a` to `b`.
std::size_t Distance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  std::iota(row.begin(), row.end(), 0);
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

}  // namespace

std::vector<std::string_view> NearestNames(std::string_view text, const std::vector<std::string_view>& names) {
  // A name that begins with the text counts as near as a one-letter slip: "power" finds both
  // power names. Further than a third of the text away is no longer a slip.
  struct Near {
    std::size_t distance;
    std::string_view name;
  };
  std::vector<Near> near;
  const std::size_t furthest = std::max<std::size_t>(2, text.size() / 3);
  for (const std::string_view name : names) {
    const std::size_t distance = name.starts_with(text) ? 1 : Distance(text, name);
    if (distance <= furthest) near.push_back({distance, name});
  }
  std::stable_sort(near.begin(), near.end(), [](const Near& a, const Near& b) { return a.distance < b.distance; });
  std::vector<std::string_view> nearest;
  for (std::size_t i = 0; i < near.size() && i < 3; ++i) nearest.push_back(near[i].name);
  return nearest;
}
