#pragma once

#include <ostream>
#include <string>

#include "cli/ReplyGate.h"

// Every line a run writes on standard error, each starting with "projector-panel: "; with --json
// one object each: {"error": ..., "command": ..., "exit": N}, or for bytes that answered nothing
// {"warning": ..., "command": ..., "late": ...}.
class ErrorLines {
 public:
  ErrorLines(std::ostream& err, bool json) : err_(err), json_(json) {}

  // `command` as the operator gave it; none for a failure of the whole run.
  void Error(const std::string& text, const std::string* command, int exit);
  void Late(const std::string& text, const LateBytes& late);
  // Something the run goes on without: {"warning": ...} alone.
  void Warning(const std::string& text);

 private:
  std::ostream& err_;
  bool json_;
};
