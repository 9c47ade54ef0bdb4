#include "Frames.h"

#include <cctype>
#include <cstdio>

namespace sim {

std::vector<std::string> FrameReader::Feed(std::string_view bytes) {
  std::vector<std::string> frames;
  for (const char c : bytes) {
    if (c == '\r') {
      frames.push_back(std::move(pending_));
      pending_.clear();
    } else if (!(c == '\n' && pending_.empty()) && pending_.size() < kLongest) {
      pending_ += c;
    }
  }
  return frames;
}

Addressed Address(std::string_view frame, std::optional<int> own) {
  const bool prefixed = frame.size() >= 4 && frame[0] == 'A';
  const std::string_view prefix = prefixed ? frame.substr(1, 3) : std::string_view{};
  if (prefix == "FFF") return {Route::ActSilently, frame.substr(4)};
  int unit = 0;
  for (const char c : prefix) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return {Route::AnswerAndAct, frame};
    unit = unit * 10 + (c - '0');
  }
  if (!prefixed) return {Route::AnswerAndAct, frame};
  return {!own || *own == unit ? Route::AnswerAndAct : Route::Ignore, frame.substr(4)};
}

std::string Escaped(std::string_view bytes) {
  std::string text = "\"";
  for (const char c : bytes) {
    const auto code = static_cast<unsigned char>(c);
    if (c == '\r') {
      text += "\\r";
    } else if (c == '\n') {
      text += "\\n";
    } else if (c == '"' || c == '\\') {
      text += '\\';
      text += c;
    } else if (code >= 0x20 && code < 0x7F) {
      text += c;
    } else {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", code);
      text += hex;
    }
  }
  return text + "\"";
}

}  // namespace sim
