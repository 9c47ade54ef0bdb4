#include "exchange/FreeText.h"

#include <algorithm>

namespace {

// The projector speaks single-byte ASCII. Text1 holds UTF-8, so any byte above 127 belongs to
// a character the projector could not read.
bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

std::optional<std::string> FreeTextRefusal(std::string_view text) {
  if (!IsAscii(text)) {
    return "Nothing was sent: the command contains characters that are not plain ASCII. The projector "
           "understands only ASCII letters, digits, blanks and punctuation; remove the other characters "
           "from the CMD box and send again.";
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
