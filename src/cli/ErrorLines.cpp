#include "cli/ErrorLines.h"

#include "cli/SendReport.h"

void ErrorLines::Error(const std::string& text, const std::string* command, int exit) {
  if (json_) {
    err_ << "{\"error\":" << JsonString(text) << ",\"command\":" << (command ? JsonString(*command) : "null")
         << ",\"exit\":" << exit << "}\n";
  } else {
    err_ << "projector-panel: " << text << '\n';
  }
  err_.flush();
}

void ErrorLines::Late(const std::string& text, const LateBytes& late) {
  if (json_) {
    err_ << "{\"warning\":" << JsonString(text) << ",\"command\":" << JsonString(late.command)
         << ",\"late\":" << JsonString(late.head) << "}\n";
  } else {
    err_ << "projector-panel: " << text << '\n';
  }
  err_.flush();
}

void ErrorLines::Warning(const std::string& text) {
  if (json_) {
    err_ << "{\"warning\":" << JsonString(text) << "}\n";
  } else {
    err_ << "projector-panel: " << text << '\n';
  }
  err_.flush();
}
