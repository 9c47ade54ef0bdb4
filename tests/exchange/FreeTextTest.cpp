#include <gtest/gtest.h>

#include "CoreRig.h"

namespace {

class FreeTextTest : public ::testing::Test {
 protected:
  void SetUp() override { rig.Start(); }
  void Send(const std::string& typed) {
    rig.form.Panel.Text1 = typed;
    rig.form.Dispatch.Run(OnFailure::Warn, [&] { rig.form.freeText.Command95_Click(); });
  }
  CoreRig rig;
  PanelState& panel = rig.form.Panel;
};

TEST_F(FreeTextTest, EmptyBoxSendsThePrefixAndCrOnly) {
  Send("");
  EXPECT_EQ(rig.link.wire, "\r");
  EXPECT_EQ(panel.Label11, " CR ");
  rig.form.State.AddressPrefix = "A004";
  Send("");
  EXPECT_EQ(rig.link.wire, "\rA004\r");
}

TEST_F(FreeTextTest, TypedQueryIsDecodedAsIfItsButtonHadSentIt) {
  rig.form.State.AddressPrefix = "AFFF";
  Send("CR0");
  EXPECT_EQ(rig.link.wire, "AFFFCR0\r");
  rig.link.Receive("20\r");
  EXPECT_EQ(panel.Label22, " Cooling down");

  rig.clock.Advance(2000);  // the reply window closes and empties the buffer
  rig.form.State.AddressPrefix = "";
  Send("CR PRESSURE");
  rig.link.Receive("512\r");
  EXPECT_EQ(panel.Label22, "650 hPa");
}

TEST_F(FreeTextTest, TypedPrefixIsPartOfTheCommandAndSelectsNoDecoder) {
  Send("A001CR0");
  EXPECT_EQ(rig.link.wire, "A001CR0\r");
  rig.link.Receive("00\r");
  EXPECT_EQ(panel.Label22, "");
}

TEST_F(FreeTextTest, SendsExactlyAsTypedWithItsOwnIntervalsAndKeepsTheBox) {
  rig.timer2.SetInterval(5000);
  Send(" cr0 ");
  EXPECT_EQ(rig.link.wire, " cr0 \r");
  EXPECT_EQ(rig.form.State.ManualCommand, " cr0 ");
  EXPECT_EQ(panel.Text1, " cr0 ");
  EXPECT_EQ(rig.timer2.Interval(), 2000);
  EXPECT_EQ(rig.timer4.Interval(), 2500);
}

TEST_F(FreeTextTest, ClsEmptiesTheBoxOnly) {
  Send("CR0");
  rig.link.Receive("00\r");
  const PanelState before = panel;
  rig.form.Dispatch.Run(OnFailure::Warn, [&] { rig.form.freeText.Command96_Click(); });
  EXPECT_EQ(panel.Text1, "");
  EXPECT_EQ(panel.Label11, before.Label11);
  EXPECT_EQ(panel.Label12, before.Label12);
  EXPECT_EQ(panel.Label22, before.Label22);
}

TEST_F(FreeTextTest, NonAsciiTextIsRefusedWithAReasonAndNothingChanges) {
  for (const char* typed : {"CF IMAGE CINÉMA", "CR0\xe3\x80\x80", "\xe2\x86\x91"}) {
    rig.form.State.TxFrame = "C00\r";
    Send(typed);
    EXPECT_EQ(rig.link.wire, "") << typed;
    EXPECT_EQ(rig.form.State.TxFrame, "C00\r") << typed;
    EXPECT_EQ(rig.form.State.ManualCommand, "") << typed;
    EXPECT_EQ(rig.timer2.Interval(), 500) << typed;
  }
  ASSERT_EQ(rig.window.warnings.size(), 3u);
  EXPECT_NE(rig.window.warnings[0].find("ASCII"), std::string::npos);
}

TEST_F(FreeTextTest, TextThatCannotGoOutAsOneCommandIsRefusedAndNothingChanges) {
  const struct {
    std::string typed;
    const char* says;
  } cases[] = {
      {"C00\rC01", "line break"},  // a paste of two lines: the second would go out unaddressed
      {"C00\r", "line break"},
      {"C00\nC01", "line break"},
      {"\nCR0", "line break"},
      {std::string(kLongestFreeText + 1, 'C'), "501 characters long"},
      {std::string(40000, 'C'), "40000 characters long"},
  };
  // --send names its own text.
  EXPECT_NE(FreeTextRefusal(cases[4].typed, "the --send text")->find("Shorten the --send text and send again."),
            std::string::npos);
  rig.form.State.AddressPrefix = "A001";
  for (const auto& c : cases) {
    rig.form.State.TxFrame = "C00\r";
    panel.Label11 = " C 0 0 CR ";
    rig.window.warnings.clear();
    Send(c.typed);
    ASSERT_EQ(rig.window.warnings.size(), 1u) << c.says;
    EXPECT_NE(rig.window.warnings[0].find(c.says), std::string::npos) << rig.window.warnings[0];
    EXPECT_NE(rig.window.warnings[0].find("the text in the CMD box"), std::string::npos) << rig.window.warnings[0];
    EXPECT_EQ(rig.link.wire, "") << c.says;
    EXPECT_EQ(rig.form.State.TxFrame, "C00\r") << c.says;
    EXPECT_EQ(rig.form.State.ManualCommand, "") << c.says;
    EXPECT_EQ(panel.Label11, " C 0 0 CR ") << c.says;
    EXPECT_EQ(panel.Text1, c.typed) << c.says;  // left for the operator to mend
    EXPECT_EQ(rig.timer2.Interval(), 500) << c.says;
    EXPECT_EQ(rig.timer4.Interval(), 1000) << c.says;
    EXPECT_FALSE(rig.timer2.Enabled()) << c.says;
    EXPECT_EQ(rig.form.State.AwaitingReply, 0) << c.says;
  }
}

// Only a line break splits a command: other control characters stay in the frame, as typed.
TEST_F(FreeTextTest, AsciiWithoutLineBreaksUpToTheLongestCommandGoesOutWhole) {
  for (const std::string& typed : {std::string(" !\"#$%&'()*+,-./09:;<=>?@AZ[\\]^_`az{|}~"),
                                   std::string(kLongestFreeText, 'C'), std::string("C"),
                                   std::string("\tCR0\x1b[A\x7f\0", 9)}) {
    rig.link.wire.clear();
    Send(typed);
    EXPECT_EQ(rig.link.wire, typed + "\r") << typed.size();
  }
  EXPECT_TRUE(rig.window.warnings.empty());
}

TEST(FreeTextRefusal, AdviceNamesWhereTheTextWasTyped) {
  EXPECT_EQ(FreeTextRefusal("CF IMAGE REAL"), std::nullopt);
  for (const char* text : {"C00\rC01", "CINÉMA"}) {
    const std::string advice = FreeTextRefusal(text, "the --send text").value_or("");
    EXPECT_NE(advice.find("the --send text"), std::string::npos) << advice;
    EXPECT_EQ(advice.find("CMD"), std::string::npos) << advice;
  }
}

}  // namespace
