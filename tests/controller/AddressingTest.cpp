#include <gtest/gtest.h>

#include "CoreRig.h"
#include "commands/CommandCatalogue.h"

namespace {

class AddressingTest : public ::testing::Test {
 protected:
  void SetUp() override { rig.Start(); }
  void Select(const char* control) {
    for (const AddressOption& option : kAddressOptions) {
      if (option.control == control) rig.form.Dispatch.Run(OnFailure::Warn, [&] { rig.form.AddressOption_Click(option); });
    }
  }
  void Click(const char* control) {
    rig.form.Dispatch.Run(OnFailure::Warn, [&] { rig.form.commands.Click(*FindCommand(control)); });
  }
  CoreRig rig;
};

TEST_F(AddressingTest, PowerOnGoesOutWithTheSelectedAddress) {
  struct Case {
    const char* option;
    const char* wire;
  };
  const Case cases[] = {{"Option4", "AFFFC00\r"}, {"Option7", "A003C00\r"}, {"Option5", "A001C00\r"},
                        {"Option8", "A004C00\r"}, {"Option3", "C00\r"}};
  for (const Case& c : cases) {
    Select(c.option);
    rig.link.wire.clear();
    Click("Command17");
    EXPECT_EQ(rig.link.wire, c.wire) << c.option;
    EXPECT_EQ(rig.form.Panel.AddressOption, c.option);
  }
}

TEST_F(AddressingTest, SelectingAnAddressSendsAndTouchesNothingElse) {
  rig.form.Panel.Label11 = "kept";
  Select("Option6");
  EXPECT_TRUE(rig.link.calls.empty());
  EXPECT_EQ(rig.form.State.AddressPrefix, "A002");
  EXPECT_EQ(rig.form.Panel.Label11, "kept");
}

TEST_F(AddressingTest, ChangingTheAddressBeforeTheReplyMeansNoDecoderMatches) {
  Select("Option6");
  Click("Command44");
  Select("Option7");
  rig.link.Receive("00\r");
  EXPECT_EQ(rig.form.Panel.Label12, " 0 0 CR ");
  EXPECT_EQ(rig.form.Panel.Label22, "");
  Select("Option6");  // back to the address of the query: decoded at the next piece
  rig.link.Receive("");
  EXPECT_EQ(rig.form.Panel.Label22, " Power ON");
}

}  // namespace
