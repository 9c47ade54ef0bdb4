#include "commands/CommandNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "commands/CommandCatalogue.h"
#include "hold/HoldNames.h"

namespace {

TEST(CommandNames, EveryButtonHasExactlyOneNameAndEveryNameOneCommand) {
  for (const PanelCommand& button : kCommandCatalogue) {
    const auto names = std::count_if(kCommandNames.begin(), kCommandNames.end(),
                                     [&button](const CommandName& n) { return n.control == button.control; });
    EXPECT_EQ(names, 1) << button.control << " " << button.command;
  }
  std::set<std::string_view> seen;
  for (const CommandName& entry : kCommandNames) {
    EXPECT_TRUE(seen.insert(entry.name).second) << entry.name << " twice";
    // A name that did not look like one would go out to the projector as typed.
    EXPECT_TRUE(LooksLikeName(entry.name)) << entry.name;
    const std::string_view command = CommandOfName(entry.name);
    EXPECT_TRUE(command == kPressureQuery || (FindCommand(entry.control) && FindCommand(entry.control)->command == command))
        << entry.name;
  }
  EXPECT_EQ(CommandOfName("pressure"), "CR PRESSURE");
  // The hold buttons' names share the one namespace.
  for (const HoldName& entry : kHoldNames) {
    EXPECT_TRUE(seen.insert(entry.name).second) << entry.name << " twice";
    EXPECT_TRUE(LooksLikeName(entry.name)) << entry.name;
    EXPECT_EQ(HoldButtonOfName(entry.name), FindHoldButton(entry.control)) << entry.name;
  }
}

// Raw command text keeps going out as written: the projector's commands are upper case, and a
// short lower-case slip such as "c00" is the projector's to refuse.
TEST(CommandNames, OnlyTextWrittenLikeANameIsTakenForOne) {
  const struct {
    const char* text;
    bool name;
  } cases[] = {
      {"power-on", true}, {"stat", true},  {"input-9", true}, {"c00", false}, {"cr0", false},
      {"CR0", false},     {"FOO", false},  {"foo", false},    {"Power-on", false}, {"power on", false}, {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(LooksLikeName(c.text), c.name) << c.text;
}

}  // namespace
