#include "exchange/Pressure.h"

#include <gtest/gtest.h>

namespace {

TEST(LeadingNumber, ReadsTheNumberAtTheStartIgnoringBlanks) {
  struct Case {
    const char* text;
    double value;
  };
  const Case cases[] = {
      {" 5 1 2 CR ", 512},      {" 0 CR ", 0},          {" CR ", 0},         {"", 0},
      {" - 4 2 CR ", -42},      {" + 7 CR ", 7},        {" 1 . 5 CR ", 1.5}, {" . 5 CR ", 0.5},
      {" 1 2 E 2 CR ", 1200},   {" 1 2 E CR ", 12},     {" 2 e - 1 ", 0.2},  {" ACK 5 ", 0},
      {" - CR ", 0},            {" 3 4 x 5 ", 34},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(LeadingNumber(c.text), c.value) << c.text;
}

TEST(RoundHalfEven, RoundsHalvesToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(1.5), 2);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(2.4), 2);
  EXPECT_EQ(RoundHalfEven(2.6), 3);
}

TEST(PressureHpa, MatchesTheWorkedReadings) {
  EXPECT_EQ(PressureHpa(512), 650);
  EXPECT_EQ(PressureHpa(0), 106);
  EXPECT_EQ(PressureHpa(1023), 1194);
  EXPECT_EQ(PressureHpa(1.5), PressureHpa(2));  // the reading is rounded first
  EXPECT_EQ(PressureHpa(2.5), PressureHpa(2));
}

// Outside -6553..6553 the fivefold reading no longer fits 16 bits; the result must still be
// the formula's value, not a wrapped one.
TEST(PressureHpa, StaysCorrectForReadingsThatOverflowSixteenBits) {
  EXPECT_EQ(PressureHpa(6553), 7077);
  EXPECT_EQ(PressureHpa(6554), 7078);
  EXPECT_EQ(PressureHpa(10000), 10743);
  EXPECT_EQ(PressureHpa(-10000), -10532);
  EXPECT_EQ(PressureHpa(100000), 106485);
  EXPECT_GT(PressureHpa(1e300), 0);  // absurd readings are clamped, never undefined
  EXPECT_LT(PressureHpa(-1e300), 0);
}

}  // namespace
