#include "exchange/FreeText.h"

#include <algorithm>

namespace {

// The projector speaks single-byte ASCII. Text1 holds UTF-8, so any byte above 127 belongs to
// a character the projector could not read.
bool IsAscii(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

void FreeText::Command95_Click() {
  if (!IsAscii(panel_.Text1)) {
    dispatch_.Warn(
        "Nothing was sent: the command contains characters that are not plain ASCII. The projector "
        "understands only ASCII letters, digits, blanks and punctuation; remove the other characters "
        "from the CMD box and send again.");
    return;
  }
  timers_.Timer2.SetInterval(2000);
  timers_.Timer4.SetInterval(2500);
  state_.ManualCommand = panel_.Text1;  // exactly as typed: not trimmed, case kept
  exchange_.Send(state_.ManualCommand);
}

void FreeText::Command96_Click() { panel_.Text1.clear(); }
