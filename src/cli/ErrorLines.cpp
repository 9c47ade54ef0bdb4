#include "cli/ErrorLines.h"

#include "cli/SendReport.h"

void ErrorLines::Error(const std::string& text, const std::string* command, int exit) {
  Put(text, "{\"error\":" + JsonString(text) + ",\"command\":" + (command ? JsonString(*command) : "null") +
                ",\"exit\":" + std::to_string(exit) + "}");
}

void ErrorLines::Warning(const std::string& text) {
  Put(text, "{\"warning\":" + JsonString(text) + ",\"command\":null}");
}

void ErrorLines::Late(const std::string& text, const LateBytes& late) {
  Put(text, "{\"warning\":" + JsonString(text) + ",\"command\":" + JsonString(late.command) +
                ",\"late\":" + JsonString(late.bytes) + "}");
}

void ErrorLines::Put(const std::string& text, const std::string& json) {
  if (json_) {
    err_ << json << '\n';
  } else {
    err_ << "projector-panel: " << text << '\n';
  }
  err_.flush();
}
