#pragma once

#include <ostream>
#include <string>

#include "cli/ReplyGate.h"

// Every line a run writes on standard error, each starting with "projector-panel: "; with --json
// one object each: {"error": ..., "command": ..., "exit": N}, or for bytes that answered nothing
// {"warning": ..., "command": ..., "late": ...}, or for a note on the whole run {"warning": ...}.
class ErrorLines {
 public:
  ErrorLines(std::ostream& err, bool json) : err_(err), json_(json) {}

  // `command` as the operator gave it; none for a failure of the whole run.
  void Error(const std::string& text, const std::string* command, int exit);
  void Late(const std::string& text, const LateBytes& late);
  // Something the run cannot do as asked, which does not stop it.
  void Note(const std::string& text);

 private:
  std::ostream& err_;
  bool json_;
};
