// The reader must give LeadingNumber of everything fed so far, bit for bit, however the text
// was cut: the pressure line of a reply that arrives in pieces depends on it.
#include "exchange/LeadingNumberReader.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "exchange/Pressure.h"

namespace {

std::string Repeat(const std::string& s, std::size_t n) {
  std::string out;
  for (std::size_t i = 0; i < n; ++i) out += s;
  return out;
}

// The exact decimal text of (2m + 1) x 2^-n: halfway between the neighbouring doubles m x 2^(1-n)
// and (m + 1) x 2^(1-n), written out in full. Around the smallest doubles it has some 750 significant digits.
std::string Halfway(std::uint64_t m, int n) {
  std::vector<int> digits;  // least significant first
  for (std::uint64_t v = 2 * m + 1; v > 0; v /= 10) digits.push_back(static_cast<int>(v % 10));
  for (int i = 0; i < n; ++i) {  // x 5^n, then the point moves n places
    int carry = 0;
    for (int& d : digits) {
      const int v = d * 5 + carry;
      d = v % 10;
      carry = v / 10;
    }
    for (; carry > 0; carry /= 10) digits.push_back(carry % 10);
  }
  while (digits.size() <= static_cast<std::size_t>(n)) digits.push_back(0);
  std::string text;
  for (std::size_t i = digits.size(); i-- > 0;) {
    text += static_cast<char>('0' + digits[i]);
    if (i == static_cast<std::size_t>(n)) text += '.';
  }
  return text;
}

double ReadInPieces(const std::string& text, std::size_t piece) {
  LeadingNumberReader reader;
  for (std::size_t at = 0; at < text.size(); at += piece) reader.Feed(std::string_view(text).substr(at, piece));
  return reader.Value();
}

void ExpectSameBits(const std::string& text) {
  const double whole = LeadingNumber(text);
  for (const std::size_t piece : {std::size_t{1}, std::size_t{3}, std::size_t{1} << 20}) {
    const double read = ReadInPieces(text, piece);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(read), std::bit_cast<std::uint64_t>(whole))
        << "pieces of " << piece << ": " << read << " vs " << whole << " for " << text.substr(0, 60)
        << (text.size() > 60 ? "..." : "");
  }
}

TEST(LeadingNumberReader, AgreesWithTheWholeTextReading) {
  const std::string texts[] = {
      "", " 5 1 2 CR ", " - 4 2 CR ", " + 7 ", " . 5 ", " 1 . ", " 1 2 E 2 CR ", " 1 2 E CR ", " 1 2 E - CR ",
      " 2 e - 1 ", " - ", " - 0 ", " 0 . 0 0 ", " + - 5 ", " . E 5 ", " 5 . e 3 ", " 1 e 5 . 5 ", " ACK 5 ",
      " 3 4 x 5 ", " 1 e + 3 0 9 ", " - 1 e 3 0 9 ", " 1 e 9 9 9 9 9 9 9 9 9 9 9 9 9 9 ", " 1 e - 9 9 9 9 9 9 9 9 9 9 ",
      " 4 . 9 e - 3 2 4 ", " 2 . 4 e - 3 2 4 ",
      // Longer than the digits the reader keeps: the dropped tail still decides a tie.
      "9007199254740993" + std::string(900, '0') + "1e-901", "9007199254740993" + std::string(900, '0') + "e-900",
      "-9007199254740993" + std::string(900, '0') + "1e-901",
      Repeat("1234567890", 100) + "e-990", "0." + std::string(1000, '0') + "25e1001",
      "0." + std::string(1000, '0'), Repeat("9", 2000) + ".5", "2.5" + std::string(5000, '0'),
      std::string(5000, '0') + "7", Repeat("7", 320), "1" + std::string(308, '0') + ".9e-1",
  };
  for (const std::string& text : texts) ExpectSameBits(text);
}

// A tie goes to the even neighbour; one more non-zero digit anywhere after it, however far,
// tips it the other way. The reader must keep every digit that can decide that.
TEST(LeadingNumberReader, DecidesTiesBetweenDoublesAsTheWholeTextDoes) {
  const std::string halfways[] = {
      Halfway(0x1999999999999A, 57),  // just above 0.1
      Halfway(2, 1075),               // between the second and third smallest doubles
      Halfway(0x10000000000000, 1),   // between 2^52 and the next
  };
  for (const std::string& h : halfways) {
    ExpectSameBits(h);
    ExpectSameBits(h + "0000001");
    ExpectSameBits("-" + h + std::string(1000, '0') + "1");
    ExpectSameBits(h + "1e3");
  }
}

TEST(LeadingNumberReader, AgreesOnRandomTextsOfNumberCharacters) {
  std::mt19937 random(9);  // fixed: the same texts at every run
  const std::string alphabet = "0123456789000000+-..eE  x";
  for (int i = 0; i < 3000; ++i) {
    std::string text;
    const std::size_t length = random() % 40;
    for (std::size_t k = 0; k < length; ++k) text += alphabet[random() % alphabet.size()];
    ExpectSameBits(text);
    if (HasFailure()) return;
  }
}

TEST(LeadingNumberReader, StartsAfreshAfterReset) {
  LeadingNumberReader reader;
  reader.Feed("-77");
  reader.Reset();
  reader.Feed("12");
  EXPECT_EQ(reader.Value(), 12);
}

}  // namespace
