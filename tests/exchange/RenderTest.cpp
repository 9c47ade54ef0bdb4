#include "exchange/Render.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Case {
  std::string text;
  std::string rendered;
};

class RenderTest : public ::testing::TestWithParam<Case> {};

TEST_P(RenderTest, ShowsEachCharacterAsItsToken) { EXPECT_EQ(Render(GetParam().text), GetParam().rendered); }

INSTANTIATE_TEST_SUITE_P(
    Tokens, RenderTest,
    ::testing::Values(
        Case{"", " "},
        Case{"C00\r", " C 0 0 CR "},
        Case{"A001CR0\r", " A 0 0 1 C R 0 CR "},
        Case{"CF IMAGE REAL\r", " C F   I M A G E   R E A L CR "},  // a blank becomes two
        Case{"\x06", " ACK "},
        Case{"1\x14" "2", " 1 &2 "},  // 0x14 has no blank after it
        Case{"\n", " LF "},
        Case{std::string("\0\x01\x1f", 3), " ? ? ? "},
        Case{"z{|}~\x7f", " z ? ? ? ? ? "},  // "z" is the last printable
        Case{"\x80\xff\xe3", " ? ? ? "},      // every byte above "z" is one "? "
        Case{" !09AZaz", "   ! 0 9 A Z a z "}));

TEST(RenderLongText, RendersPast32767Characters) {
  const std::string text(70000, '5');
  const std::string rendered = Render(text);
  ASSERT_EQ(rendered.size(), 1 + 2 * text.size());
  EXPECT_EQ(rendered.substr(rendered.size() - 4), "5 5 ");
}

}  // namespace
