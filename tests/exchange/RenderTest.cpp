#include "exchange/Render.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Case {
  const char* name;
  std::string text;
  std::string rendered;
};

// A failing case shows its text, not the bytes of the row.
void PrintTo(const Case& c, std::ostream* os) { *os << ::testing::PrintToString(c.text); }

class RenderTest : public ::testing::TestWithParam<Case> {};

TEST_P(RenderTest, ShowsEachCharacterAsItsToken) { EXPECT_EQ(Render(GetParam().text), GetParam().rendered); }

INSTANTIATE_TEST_SUITE_P(
    Tokens, RenderTest,
    ::testing::Values(
        Case{"Empty", "", " "},
        Case{"FrameWithCr", "C00\r", " C 0 0 CR "},
        Case{"AddressedQuery", "A001CR0\r", " A 0 0 1 C R 0 CR "},
        Case{"BlankBecomesTwo", "CF IMAGE REAL\r", " C F   I M A G E   R E A L CR "},
        Case{"Ack", "\x06", " ACK "},
        Case{"Byte14HasNoBlankAfter", "1\x14" "2", " 1 &2 "},
        Case{"LineFeed", "\n", " LF "},
        Case{"ControlBytes", std::string("\0\x01\x1f", 3), " ? ? ? "},
        Case{"PastLastPrintable", "z{|}~\x7f", " z ? ? ? ? ? "},  // "z" is the last printable
        Case{"HighBytes", "\x80\xff\xe3", " ? ? ? "},          // every byte above "z" is one "? "
        Case{"PrintableEdges", " !09AZaz", "   ! 0 9 A Z a z "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RenderLongText, RendersPast32767Characters) {
  const std::string text(70000, '5');
  const std::string rendered = Render(text);
  ASSERT_EQ(rendered.size(), 1 + 2 * text.size());
  EXPECT_EQ(rendered.substr(rendered.size() - 4), "5 5 ");
}

}  // namespace
