#include "exchange/LeadingNumberReader.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// The same bound LeadingNumber clamps infinities to.
constexpr double kLargestReading = 1e15;
constexpr long long kExponentCeiling = 1'000'000'000;
// Beyond these decimal magnitudes a double is infinite or zero whatever the digits are.
constexpr long long kOverflowMagnitude = 400;
constexpr long long kUnderflowMagnitude = -400;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

void LeadingNumberReader::Feed(std::string_view text) {
  for (const char c : text) {
    if (phase_ == Phase::Done) return;
    if (c != ' ') Step(c);
  }
}

void LeadingNumberReader::Digit(char c, bool fraction) {
  anyDigit_ = true;
  if (digits_.size() >= kKeptDigits) {
    droppedNonZero_ = droppedNonZero_ || c != '0';
    if (!fraction) ++scale_;
    return;
  }
  if (digits_.empty() && c == '0') {
    if (fraction) --scale_;
    return;
  }
  digits_ += c;
  if (fraction) --scale_;
}

void LeadingNumberReader::Step(char c) {
  const bool exponentMark = c == 'E' || c == 'e';
  switch (phase_) {
    case Phase::Start:
      if (c == '+' || c == '-') {
        negative_ = c == '-';
        phase_ = Phase::Whole;
        return;
      }
      [[fallthrough]];
    case Phase::Whole:
      if (IsDigit(c)) {
        Digit(c, false);
        phase_ = Phase::Whole;
      } else if (c == '.') {
        phase_ = Phase::Fraction;
      } else {
        phase_ = exponentMark && anyDigit_ ? Phase::ExponentMark : Phase::Done;
      }
      return;
    case Phase::Fraction:
      if (IsDigit(c)) {
        Digit(c, true);
      } else {
        phase_ = exponentMark && anyDigit_ ? Phase::ExponentMark : Phase::Done;
      }
      return;
    case Phase::ExponentMark:
      if (c == '+' || c == '-') {
        exponentNegative_ = c == '-';
        phase_ = Phase::ExponentSign;
        return;
      }
      [[fallthrough]];
    case Phase::ExponentSign:
    case Phase::Exponent:
      if (IsDigit(c)) {
        exponent_ = std::min(exponent_ * 10 + (c - '0'), kExponentCeiling);
        phase_ = Phase::Exponent;
      } else {
        phase_ = Phase::Done;
      }
      return;
    case Phase::Done:
      return;
  }
}

double LeadingNumberReader::Value() const {
  if (!anyDigit_) return 0.0;
  const double sign = negative_ ? -1.0 : 1.0;
  if (digits_.empty()) return std::copysign(0.0, sign);
  // An exponent given without digits ("12E", "12E-") is no exponent.
  const long long power = scale_ + (exponentNegative_ ? -exponent_ : exponent_);
  const long long magnitude = static_cast<long long>(digits_.size()) - 1 + power;
  if (magnitude > kOverflowMagnitude) return std::copysign(kLargestReading, sign);
  if (magnitude < kUnderflowMagnitude) return std::copysign(0.0, sign);
  if (!cached_ || cachedDigits_ != digits_.size() || cachedPower_ != power || cachedDropped_ != droppedNonZero_) {
    // A non-zero tail stands as one more digit 1: it moves the number off every point where the
    // rounding could tie, and no further.
    std::string number = digits_;
    long long numberPower = power;
    if (droppedNonZero_) {
      number += '1';
      --numberPower;
    }
    number += 'e' + std::to_string(numberPower);
    const double value = std::strtod(number.c_str(), nullptr);
    cachedValue_ = std::isfinite(value) ? value : kLargestReading;
    cached_ = true;
    cachedDigits_ = digits_.size();
    cachedPower_ = power;
    cachedDropped_ = droppedNonZero_;
  }
  return sign * cachedValue_;
}
