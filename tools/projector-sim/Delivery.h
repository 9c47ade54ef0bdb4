#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

// How badly the line delivers replies.
struct Faults {
  long long replyDelayMs = 0;
  bool split = false;  // three pieces, splitGapMs apart
  long long splitGapMs = 40;
  bool silent = false;
  bool garbage = false;  // stray control characters and bytes above 'z'
  bool ffBeforeCr = false;  // a 0xFF byte just before each reply's CR
};

// One write to the line, due at a time in milliseconds.
struct Piece {
  long long dueMs;
  std::string bytes;
};

// Turns each reply into the writes a faulty line would make of it. Pieces of a later reply are
// never due before those of an earlier one: a reply cannot overtake another on a serial line.
class Delivery {
 public:
  static constexpr int kPieces = 3;

  explicit Delivery(const Faults& faults) : faults_(faults) {}

  std::vector<Piece> Plan(const std::string& reply, long long nowMs);

 private:
  std::string Sprinkle(const std::string& reply);
  std::uint32_t Random();

  Faults faults_;
  std::uint32_t random_ = 0x9E3779B9;  // fixed: the same faults on every run
  long long lastDueMs_ = 0;
};

}  // namespace sim
