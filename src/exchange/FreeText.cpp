#include "exchange/FreeText.h"

#include <algorithm>

namespace {

// The projector speaks single-byte ASCII. Text1 holds UTF-8, so any byte above 127 belongs to
// a character the projector could not read.
bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// A CR inside the text would end the frame there, and what follows would go out as a second
// command without the address prefix: every projector on the line would act on it. A pasted line
// break brings an LF, alone or after the CR; it is refused with the same advice. Other control
// characters stay inside the one frame: they go out as typed, and the monitor shows them as "? ".
bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

}  // namespace

std::optional<std::string> FreeTextRefusal(std::string_view text, std::string_view source) {
  const std::string from(source);
  if (!IsAscii(text)) {
    return "Nothing was sent: the command contains characters that are not plain ASCII. The projector "
           "understands only ASCII letters, digits, blanks and punctuation; remove the other characters "
           "from " + from + " and send again.";
  }
  if (HasLineBreak(text)) {
    return "Nothing was sent: the command contains a line break. One command goes out at a time, and the "
           "address and the final CR are added for you; remove the line breaks from " + from +
           " and send each command on its own.";
  }
  if (text.size() > kLongestFreeText) {
    return "Nothing was sent: the command is " + std::to_string(text.size()) + " characters long, more than the " +
           std::to_string(kLongestFreeText) + " a command may have. Shorten " + from +
           " and send again.";
  }
  return std::nullopt;
}

void FreeText::Command95_Click() {
  if (const auto refusal = FreeTextRefusal(panel_.Text1)) {
    dispatch_.Warn(*refusal);
    return;
  }
  timers_.Timer2.SetInterval(2000);
  timers_.Timer4.SetInterval(2500);
  state_.ManualCommand = panel_.Text1;  // exactly as typed: not trimmed, case kept
  exchange_.Send(state_.ManualCommand);
}

void FreeText::Command96_Click() { panel_.Text1.clear(); }
