#include "exchange/ReplyDecoders.h"

#include <gtest/gtest.h>

#include <string>

#include "exchange/Render.h"

namespace {

// What the "STATUS" line shows after `reply` arrives for the frame `sent`.
std::string Decoded(const std::string& sent, const std::string& reply, const std::string& prefix = "",
                    const std::string& before = "(previous)") {
  ControllerState state;
  state.AddressPrefix = prefix;
  state.TxFrame = sent;
  std::string line = before;
  DecodeReply(Render(reply), state, line);
  return line;
}

struct Case {
  const char* query;
  const char* reply;
  const char* shown;
};

class DecoderTable : public ::testing::TestWithParam<Case> {};

TEST_P(DecoderTable, ShowsTheTextForTheReply) {
  const Case& c = GetParam();
  EXPECT_EQ(Decoded(std::string(c.query) + "\r", c.reply), c.shown);
}

// Written from the reply formats, a few rows of each table, among them every misspelt text.
INSTANTIATE_TEST_SUITE_P(
    Replies, DecoderTable,
    ::testing::Values(
        Case{"CR0", "00\r", " Power ON"},
        Case{"CR0", "80\r", " Stand by"},
        Case{"CR0", "02\r", " NO Key input "},
        Case{"CR0", "24\r", " Lamp OFF & Tempereture Warning by PWR Management"},
        Case{"CR0", "88\r", " Temperature Warning and recoverd"},
        Case{"CR0", "81\r", " Cooling down & sutandby (All Lamp FAIL)"},
        Case{"CR0", "00", " Power ON"},  // nothing waits for the CR
        Case{"CR1", "3\r", " Input mode 3"},
        Case{"CR1", "5", " Input mode 5"},
        Case{"CR4", "11\r", " Normally"},
        Case{"CR4", "00\r", " Top/Bottom , Left/Right reversal"},
        Case{"CRA", "FF\r", " Stand by"},
        Case{"CRA", "80\r", " No signal"},
        Case{"CRA", "03\r", " Video & Audio mute ON"},
        Case{"CR7", "01\r", " No1 ON  : 2 Lamp mode"},
        Case{"CR7", "22\r", " No2 ON  : 1 Lamp mode(No2 USE)"},
        // Computing decoders.
        Case{"CR3", "12345\r", " 1 2 3 4 5 CR  Hour Use"},
        Case{"CR3", "12345678901234567890123\r", " 1 2 3 4 5 6 7 8 9 0 1 2 3 4 5 6 7 8 9 Hour Use"},
        Case{"CR6", "123456789012345678901234\r",
             "  S1= 1 2 3 4 5 C  ,   S2=  8 9 0 1 C  ,   S3= 4 5 6 7  C  ,   S4=  1 2 3 4 C "},
        Case{"CR6", "12\r", "  S1= 1 2 CR  C  ,   S2=  C  ,   S3=  C  ,   S4=  C "},
        Case{"CR9", "PC-98\r", " P C - 9 8 CR "},
        Case{"CR PRESSURE", "512\r", "650 hPa"},
        Case{"CR PRESSURE", "0\r", "106 hPa"},
        Case{"CR PRESSURE", "1023\r", "1194 hPa"},
        Case{"CR PRESSURE", "ERR\r", "106 hPa"},
        Case{"CR PRESSURE", "10000\r", "10743 hPa"}));

TEST(DecoderTable, LeavesTheLineAloneWhenNoKeyMatches) {
  const char* untouched = "(previous)";
  EXPECT_EQ(Decoded("CR1\r", "6\r"), untouched);
  EXPECT_EQ(Decoded("CR0\r", "0"), untouched);          // key not complete yet
  EXPECT_EQ(Decoded("CR0\r", "\x06" "00\r"), untouched);  // reply starting with ACK
  EXPECT_EQ(Decoded("CR0\r", "99\r"), untouched);
  EXPECT_EQ(Decoded("CR4\r", ""), untouched);
}

TEST(DecoderSelection, OnlyTheNineQueriesWithTheCurrentPrefixChooseADecoder) {
  const char* untouched = "(previous)";
  EXPECT_EQ(Decoded("C00\r", "00\r"), untouched);              // not a query
  EXPECT_EQ(Decoded("cr0\r", "00\r"), untouched);              // letter case counts
  EXPECT_EQ(Decoded("CR0", "00\r"), untouched);                // the frame ends in CR
  EXPECT_EQ(Decoded("A002CR0\r", "00\r", "A002"), " Power ON");
  EXPECT_EQ(Decoded("A002CR0\r", "00\r", "A003"), untouched);  // prefix changed since the query
  EXPECT_EQ(Decoded("A001CR0\r", "00\r", ""), untouched);      // a typed prefix is no prefix
  EXPECT_EQ(Decoded("CR0\r", "00\r", "AFFF"), untouched);
}

TEST(PressureDecoder, KeepsTheConvertedValueAsTheWorkingReading) {
  ControllerState state;
  state.TxFrame = "CR PRESSURE\r";
  std::string line;
  DecodeReply(Render("512\r"), state, line);
  EXPECT_EQ(state.PressureReading, 650);
  DecodeReply(Render("100000\r"), state, line);
  EXPECT_EQ(line, "106485 hPa");
  EXPECT_EQ(state.PressureReading, 32767);  // the 16-bit field saturates; the line is exact
}

}  // namespace
