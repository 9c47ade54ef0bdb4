#include "exchange/Render.h"

std::string Render(std::string_view text) {
  std::string rendered;
  rendered.reserve(1 + 2 * text.size());
  rendered += ' ';
  for (const char c : text) {
    const auto code = static_cast<unsigned char>(c);
    if (code == 0x06) {
      rendered += "ACK ";
    } else if (code == 0x14) {
      rendered += '&';
    } else if (code == 0x0D) {
      rendered += "CR ";
    } else if (code == 0x0A) {
      rendered += "LF ";
    } else if (code < 0x20 || code > 'z') {
      rendered += "? ";
    } else {
      rendered += c;
      rendered += ' ';
    }
  }
  return rendered;
}
