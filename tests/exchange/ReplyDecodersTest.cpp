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
  const char* name;
  const char* query;
  const char* reply;
  const char* shown;
};

// A failing case shows the query and the reply, not the bytes of the row.
void PrintTo(const Case& c, std::ostream* os) {
  *os << c.query << " answered " << ::testing::PrintToString(std::string(c.reply));
}

class DecoderTable : public ::testing::TestWithParam<Case> {};

TEST_P(DecoderTable, ShowsTheTextForTheReply) {
  const Case& c = GetParam();
  EXPECT_EQ(Decoded(std::string(c.query) + "\r", c.reply), c.shown);
}

// Written from the reply formats, a few rows of each table, among them every misspelt text.
INSTANTIATE_TEST_SUITE_P(
    Replies, DecoderTable,
    ::testing::Values(
        Case{"StatusPowerOn", "CR0", "00\r", " Power ON"},
        Case{"StatusStandBy", "CR0", "80\r", " Stand by"},
        Case{"StatusNoKeyInput", "CR0", "02\r", " NO Key input "},
        Case{"StatusLampOffTemperatureWarning", "CR0", "24\r", " Lamp OFF & Tempereture Warning by PWR Management"},
        Case{"StatusTemperatureRecovered", "CR0", "88\r", " Temperature Warning and recoverd"},
        Case{"StatusCoolingDownAllLampsFailed", "CR0", "81\r", " Cooling down & sutandby (All Lamp FAIL)"},
        Case{"StatusWithoutCr", "CR0", "00", " Power ON"},  // nothing waits for the CR
        Case{"InputModeThree", "CR1", "3\r", " Input mode 3"},
        Case{"InputModeWithoutCr", "CR1", "5", " Input mode 5"},
        Case{"SettingNormal", "CR4", "11\r", " Normally"},
        Case{"SettingBothReversed", "CR4", "00\r", " Top/Bottom , Left/Right reversal"},
        Case{"SettingTwoStandBy", "CRA", "FF\r", " Stand by"},
        Case{"SettingTwoNoSignal", "CRA", "80\r", " No signal"},
        Case{"SettingTwoVideoAudioMute", "CRA", "03\r", " Video & Audio mute ON"},
        Case{"LampModeNo1TwoLamps", "CR7", "01\r", " No1 ON  : 2 Lamp mode"},
        Case{"LampModeNo2OneLamp", "CR7", "22\r", " No2 ON  : 1 Lamp mode(No2 USE)"},
        // Computing decoders.
        Case{"LampHoursFiveDigits", "CR3", "12345\r", " 1 2 3 4 5 CR  Hour Use"},
        Case{"LampHoursCutAtNineteenDigits", "CR3", "12345678901234567890123\r",
             " 1 2 3 4 5 6 7 8 9 0 1 2 3 4 5 6 7 8 9 Hour Use"},
        Case{"TemperaturesFullReply", "CR6", "123456789012345678901234\r",
             "  S1= 1 2 3 4 5 C  ,   S2=  8 9 0 1 C  ,   S3= 4 5 6 7  C  ,   S4=  1 2 3 4 C "},
        Case{"TemperaturesShortReply", "CR6", "12\r", "  S1= 1 2 CR  C  ,   S2=  C  ,   S3=  C  ,   S4=  C "},
        Case{"PcType", "CR9", "PC-98\r", " P C - 9 8 CR "},
        Case{"PressureMidScale", "CR PRESSURE", "512\r", "650 hPa"},
        Case{"PressureZero", "CR PRESSURE", "0\r", "106 hPa"},
        Case{"PressureFullScale", "CR PRESSURE", "1023\r", "1194 hPa"},
        Case{"PressureNotANumber", "CR PRESSURE", "ERR\r", "106 hPa"},
        Case{"PressureBeyondTenBits", "CR PRESSURE", "10000\r", "10743 hPa"}),
    [](const auto& info) { return std::string(info.param.name); });

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
