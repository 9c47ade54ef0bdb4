#include "exchange/Render.h"

std::string Render(std::string_view text) {
  std::string rendered;
  rendered.reserve(1 + 2 * text.size());
  rendered += ' ';
  AppendTokens(rendered, text);
  return rendered;
}

void AppendTokens(std::string& line, std::string_view text) {
  for (const char c : text) {
    const auto code = static_cast<unsigned char>(c);
    if (code == 0x06) {
      line += "ACK ";
    } else if (code == 0x14) {
      line += '&';
    } else if (code == 0x0D) {
      line += "CR ";
    } else if (code == 0x0A) {
      line += "LF ";
    } else if (code < 0x20 || code > 'z') {
      line += "? ";
    } else {
      line += c;
      line += ' ';
    }
  }
}
