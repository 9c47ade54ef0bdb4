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
  SentCommand sent;
  sent.txd = " C R   P ";
  sent.rxd = " 0 8 5 3 CR ";
  sent.status = "1013 hPa";
  EXPECT_EQ(TextReport(sent), "TXD  C R   P \nRXD  0 8 5 3 CR \nSTATUS 1013 hPa\n");
  const SentCommand silent{"CR0", "CR0\r", "", " C R 0 CR ", " X X X X", ""};
  EXPECT_EQ(TextReport(silent), "TXD  C R 0 CR \nRXD  X X X X\nSTATUS \n");
}

// The value where a reply does not hold what its query promises; the simulator's own replies
// are checked against a running simulator.
TEST(SendReport, TypedValueIsNullWhereTheReplyHoldsNoReading) {
  const struct {
    ReplyQuery query;
    std::string reply;
    std::string json;
  } cases[] = {
      {ReplyQuery::Status, "99\r", R"({"code":"99","text":null})"},
      {ReplyQuery::Mode, "6\r", "null"},
      {ReplyQuery::LampTime, "80\r", "80"},
      {ReplyQuery::LampTime, "12345678901234567890123\r", "null"},  // cut before its CR
      {ReplyQuery::LampTime, "12a4\r", "null"},
      {ReplyQuery::Temperature, "-03.5  43.0  7x.0   47.\r", "[-3.5,43,null,null]"},
      {ReplyQuery::Temperature, "+25.0\r", "[25,null,null,null]"},
      {ReplyQuery::Pressure, "ERR\r", "null"},
      {ReplyQuery::PcType, "PJ \"Q8\"\r", R"("PJ \"Q8\"")"},
      {ReplyQuery::None, "80\r", "null"},
  };
  for (const auto& c : cases) EXPECT_EQ(JsonValue(TypedReply(c.query, c.reply)), c.json) << c.reply;
}

}  // namespace
