#include "Delivery.h"

#include <algorithm>

namespace sim {

std::uint32_t Delivery::Random() {
  // xorshift32: plenty for choosing where stray bytes go.
  random_ ^= random_ << 13;
  random_ ^= random_ >> 17;
  random_ ^= random_ << 5;
  return random_;
}

// About one stray byte in four characters, at least one per reply. The strays are bytes a
// client shows as unknown: control characters other than ACK, 0x14, LF and CR, or above 'z'.
std::string Delivery::Sprinkle(const std::string& reply) {
  const auto stray = [this] {
    for (;;) {
      const auto c = static_cast<unsigned char>(Random() % 256);
      const bool control = c < 0x20 && c != 0x06 && c != 0x14 && c != '\n' && c != '\r';
      if (control || c > 'z') return static_cast<char>(c);
    }
  };
  std::string out;
  for (const char c : reply) {
    if (Random() % 4 == 0) out += stray();
    out += c;
  }
  if (out.size() == reply.size()) out.insert(Random() % (out.size() + 1), 1, stray());
  return out;
}

std::vector<Piece> Delivery::Plan(const std::string& reply, long long nowMs) {
  if (faults_.silent || reply.empty()) return {};
  std::string bytes = faults_.garbage ? Sprinkle(reply) : reply;
  if (faults_.ffBeforeCr && bytes.back() == '\r') bytes.insert(bytes.size() - 1, 1, '\xFF');
  long long due = std::max(nowMs + faults_.replyDelayMs, lastDueMs_);
  std::vector<Piece> pieces;
  if (!faults_.split) {
    pieces.push_back({due, bytes});
  } else {
    const std::size_t n = bytes.size();
    for (int i = 0; i < kPieces; ++i) {
      const std::size_t from = n * static_cast<std::size_t>(i) / kPieces;
      const std::size_t to = n * static_cast<std::size_t>(i + 1) / kPieces;
      if (from == to) continue;
      if (!pieces.empty()) due += faults_.splitGapMs;
      pieces.push_back({due, bytes.substr(from, to - from)});
    }
  }
  lastDueMs_ = due;
  return pieces;
}

}  // namespace sim
