#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// LeadingNumber of a text that arrives in pieces, at a cost that depends on the piece and not
// on all that came before: it keeps the state of the reading instead of the text. Value() after
// any sequence of Feed calls equals LeadingNumber of their concatenation, bit for bit.
class LeadingNumberReader {
 public:
  void Feed(std::string_view text);
  double Value() const;
  void Reset() { *this = LeadingNumberReader(); }

 private:
  enum class Phase { Start, Whole, Fraction, ExponentMark, ExponentSign, Exponent, Done };

  void Step(char c);
  void Digit(char c, bool fraction);

  // A correctly rounded decimal to double conversion never needs more than 768 significant
  // digits; every digit past those only tells whether the tail is zero.
  static constexpr std::size_t kKeptDigits = 800;

  Phase phase_ = Phase::Start;
  bool negative_ = false;
  bool anyDigit_ = false;
  std::string digits_;       // significant digits, leading zeros dropped, at most kKeptDigits
  long long scale_ = 0;      // the number is digits_ x 10^scale_ (plus the dropped tail)
  bool droppedNonZero_ = false;
  bool exponentNegative_ = false;
  long long exponent_ = 0;   // saturates far beyond any exponent a double can reach

  // The last conversion, reused while nothing it depends on has changed.
  mutable bool cached_ = false;
  mutable std::size_t cachedDigits_ = 0;
  mutable long long cachedPower_ = 0;
  mutable bool cachedDropped_ = false;
  mutable double cachedValue_ = 0;
};
