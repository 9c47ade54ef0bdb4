#include "exchange/Pressure.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>

namespace {

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// Readings beyond this are clamped so that every step below stays an exact whole number in a
// double and the result fits a long long.
constexpr double kLargestReading = 1e15;

}  // namespace

double LeadingNumber(std::string_view text) {
  std::string s;
  s.reserve(text.size());
  for (const char c : text) {
    if (c != ' ') s += c;
  }

  std::size_t i = 0;
  std::string number;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) number += s[i++];
  bool anyDigit = false;
  while (i < s.size() && IsDigit(s[i])) {
    number += s[i++];
    anyDigit = true;
  }
  if (i < s.size() && s[i] == '.') {
    number += s[i++];
    while (i < s.size() && IsDigit(s[i])) {
      number += s[i++];
      anyDigit = true;
    }
  }
  if (!anyDigit) return 0.0;
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
    std::size_t j = i + 1;
    std::string exponent = "e";
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent += s[j++];
    const std::size_t digitsStart = j;
    while (j < s.size() && IsDigit(s[j])) exponent += s[j++];
    if (j > digitsStart) number += exponent;  // "12E" alone is just 12
  }
  const double value = std::strtod(number.c_str(), nullptr);
  return std::isfinite(value) ? value : std::copysign(kLargestReading, value);
}

double RoundHalfEven(double value) {
  // nearbyint follows the current rounding mode, which is round-to-nearest-even unless changed.
  return std::nearbyint(value);
}

long long PressureHpa(double rawReading) {
  const double raw = std::clamp(RoundHalfEven(rawReading), -kLargestReading, kLargestReading);
  const double scaled = raw * 5;
  // The sensor formula, with the reading converted to single precision as the device maker's
  // formula did, the rest in double.
  const double value = ((static_cast<double>(static_cast<float>(scaled)) / 1024) - 0.204) / 0.00459 + 150;
  return static_cast<long long>(RoundHalfEven(value));
}
