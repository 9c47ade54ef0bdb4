#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace sim {

// Everything the command line can set. Defaults make a projector in stand-by that answers at
// once, on a fresh pseudo terminal.
struct Options {
  std::optional<std::string> device;  // a serial device to attach to instead of a pseudo terminal
  int baud = 19200;                   // only for --device
  std::optional<int> address;         // 1..4; none: answers every address
  long long warmupMs = 5000;
  long long cooldownMs = 5000;
  int lampHours = 1234;
  double ambientC = 25.0;
  double pressureHpa = 1013.0;
  bool ceiling = false;  // mounted upside down: top/bottom reversal
  bool rear = false;     // projecting from behind the screen: left/right reversal

  // Faults of a real line.
  long long replyDelayMs = 0;
  bool split = false;
  long long splitGapMs = 40;
  bool silent = false;
  bool garbage = false;
  bool ffBeforeCr = false;
  int hangupAfter = 0;  // frames; 0 = never

  bool help = false;
  bool version = false;
};

// The options, or the reason the command line is not valid.
std::variant<Options, std::string> ParseOptions(const std::vector<std::string>& args);

extern const char* const kUsage;

}  // namespace sim
