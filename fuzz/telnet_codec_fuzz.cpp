// The Telnet / RFC 2217 codec under libFuzzer: arbitrary server bytes in arbitrary pieces. The
// device's bytes must equal a decoding of the whole stream written here a second time, as a
// plain walk over it; the codec fed in pieces must end as the codec fed everything at once.
//
// Input: a sequence of pieces, each a length byte (0..63 used) and that many bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "network/TelnetCodec.h"

namespace {

using C = TelnetCodec;

std::string ReferenceData(std::string_view s) {
  std::string data;
  bool binary = false;  // the server's last word on 8-bit data: WILL or WONT BINARY
  bool afterCr = false;
  std::size_t i = 0;
  const std::size_t n = s.size();
  const auto at = [&s](std::size_t k) { return static_cast<std::uint8_t>(s[k]); };
  while (i < n) {
    const std::uint8_t b = at(i++);
    if (b != C::kIac) {
      if (b == 0 && afterCr) {
        afterCr = false;
        continue;
      }
      data.push_back(static_cast<char>(b));
      afterCr = b == '\r' && !binary;
      continue;
    }
    if (i == n) break;
    std::uint8_t c = at(i++);
    for (bool again = true; again;) {
      again = false;
      if (c == C::kIac) {
        data.push_back(static_cast<char>(0xFF));
        afterCr = false;
      } else if (c == C::kWill || c == C::kWont || c == C::kDo || c == C::kDont) {
        if (i == n) break;
        const std::uint8_t option = at(i++);
        if (option == C::kBinary && c == C::kWill) binary = true;
        if (option == C::kBinary && c == C::kWont) binary = false;
      } else if (c == C::kSb) {
        while (i < n) {
          if (at(i) != C::kIac) {
            ++i;
            continue;
          }
          if (i + 1 == n) {
            i = n;
            break;
          }
          const std::uint8_t x = at(i + 1);
          i += 2;
          if (x == C::kSe) break;
          if (x == C::kIac) continue;
          c = x;  // an unended subnegotiation: the command after IAC takes over
          again = true;
          break;
        }
      }
    }
  }
  return data;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
  std::string stream;
  C pieces;
  std::string data;
  std::size_t at = 0;
  while (at < size) {
    const std::size_t wanted = input[at++] & 0x3F;
    const std::size_t length = std::min(wanted, size - at);
    const std::string_view piece(reinterpret_cast<const char*>(input + at), length);
    at += length;
    stream += piece;
    pieces.Receive(piece, data);
    // What the codec answers is bounded by what it heard: no answer feeds on itself.
    if (pieces.TakeOutgoing().size() > 64 + 3 * piece.size()) std::abort();
  }
  if (data != ReferenceData(stream)) std::abort();
  C whole;
  std::string wholeData;
  whole.Receive(stream, wholeData);
  if (wholeData != data || whole.comPort() != pieces.comPort() || !(whole.answers() == pieces.answers())) std::abort();
  return 0;
}
