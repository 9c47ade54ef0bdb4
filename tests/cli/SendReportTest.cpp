#include <gtest/gtest.h>

#include "cli/SendReport.h"

namespace {

TEST(SendReport, JsonStringsEscapeWhatJsonCannotHoldAndNothingElse) {
  const struct {
    std::string bytes;
    std::string json;
  } cases[] = {
      {"", R"("")"},
      {"CR0 ~", R"("CR0 ~")"},
      {"80\r", R"("80\r")"},
      {"\x06\r", R"("\u0006\r")"},
      {"a\nb\tc", R"("a\nb\tc")"},
      {"\"quoted\" back\\slash", R"("\"quoted\" back\\slash")"},
      {std::string("\0\x14\x1f", 3), R"("\u0000\u0014\u001f")"},
      {"\x7f\x80\xff", R"("\u007f\u0080\u00ff")"},
  };
  for (const auto& c : cases) EXPECT_EQ(JsonString(c.bytes), c.json) << c.json;
}

TEST(SendReport, TextBlockKeepsThePanelsTextsExactly) {
  const SentCommand sent{"CR PRESSURE", "CR PRESSURE\r", "0853\r", " C R   P ", " 0 8 5 3 CR ", "1013 hPa", false};
  EXPECT_EQ(TextReport(sent), "TXD  C R   P \nRXD  0 8 5 3 CR \nSTATUS 1013 hPa\n");
  const SentCommand silent{"CR0", "CR0\r", "", " C R 0 CR ", " X X X X", "", true};
  EXPECT_EQ(TextReport(silent), "TXD  C R 0 CR \nRXD  X X X X\nSTATUS \n");
}

}  // namespace
