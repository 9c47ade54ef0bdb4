#pragma once

#include <ostream>
#include <string>

#include "cli/ReplyGate.h"

// Every line a run writes on standard error, each starting with "projector-panel: "; with --json
// one object each: {"error": ..., "command": ..., "exit": N}, or for bytes that answered nothing
// {"warning": ..., "command": ..., "late": ...}, and for a problem of the whole run that does not
// stop it {"warning": ..., "command": null}.
class ErrorLines {
 public:
  ErrorLines(std::ostream& err, bool json) : err_(err), json_(json) {}

  // `command` as the operator gave it; none for a failure of the whole run.
  void Error(const std::string& text, const std::string* command, int exit);
  void Late(const std::string& text, const LateBytes& late);
  // Something of the whole run that does not stop it: a settings problem, an option that has no
  // effect on this port.
  void Warning(const std::string& text);

 private:
  // `text` as a line for a person, or the object `json` as the line.
  void Put(const std::string& text, const std::string& json);

  std::ostream& err_;
  bool json_;
};
