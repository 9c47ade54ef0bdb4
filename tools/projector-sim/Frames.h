#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// Collects received bytes into frames: everything up to a CR. An LF that starts a frame is the
// tail of a terminal's CR LF and is dropped. A frame longer than kLongest keeps its first
// kLongest characters, so a client that never sends CR cannot grow it without end.
class FrameReader {
 public:
  static constexpr std::size_t kLongest = 256;

  // The frames completed by these bytes, without their CR.
  std::vector<std::string> Feed(std::string_view bytes);

 private:
  std::string pending_;
};

enum class Route {
  AnswerAndAct,  // for this projector
  ActSilently,   // for every projector on the line (AFFF): nobody answers, or they would collide
  Ignore,        // for another projector
};

struct Addressed {
  Route route;
  std::string_view command;  // the frame without its address prefix
};

// Where a frame is going. `own` is this projector's address (1..4), or none for a projector
// alone on its line, which answers to every address.
Addressed Address(std::string_view frame, std::optional<int> own);

// Bytes as a quoted, printable text for the log: "A001CR0\r", "\x06\r".
std::string Escaped(std::string_view bytes);

}  // namespace sim
