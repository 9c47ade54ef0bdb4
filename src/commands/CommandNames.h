#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

// Names a script can give instead of a button's command text: "power-on" for "C00". One name for
// every one-shot button, kept beside the panel group the button sits in; the command text itself
// always comes from the catalogue.
struct CommandName {
  std::string_view name;
  std::string_view group;    // the group's title on the panel ("" where it has none); the input grid by its row
  std::string_view control;  // the catalogue button; "" for the pressure query, which has no button
};

// The query no button sends: it is typed into the panel's command box.
inline constexpr std::string_view kPressureQuery = "CR PRESSURE";

inline constexpr std::array<CommandName, 59> kCommandNames{{
    {"power-on", "POWER", "Command17"},
    {"power-off", "POWER", "Command18"},
    {"input-1", "INPUT MODE SET", "Command27"},
    {"input-2", "INPUT MODE SET", "Command28"},
    {"input-3", "INPUT MODE SET", "Command29"},
    {"input-4", "INPUT MODE SET", "Command53"},
    {"menu-on", "MENU", "Command23"},
    {"menu-off", "MENU", "Command24"},
    {"no-show-on", "NO SHOW", "Command21"},
    {"no-show-off", "NO SHOW", "Command22"},
    {"freeze-on", "FREEZE", "Command25"},
    {"freeze-off", "FREEZE", "Command26"},
    {"av-size-normal", "AV Size", "Command31"},
    {"av-size-wide", "AV Size", "Command32"},
    // Named for what they do: the caption "ON" closes the shutter.
    {"shutter-close", "SHUTTER", "Command88"},
    {"shutter-open", "SHUTTER", "Command89"},
    {"a-pc-adj", "", "Command13"},
    {"image", "", "Command30"},
    {"p-timer", "", "Command14"},
    {"display-clear", "", "Command3"},
    {"lamp-auto", "LAMP Mode", "Command56"},
    {"lamp-normal", "LAMP Mode", "Command57"},
    {"lamp-eco", "LAMP Mode", "Command58"},
    {"image-stand", "", "Command4"},
    {"image-real", "", "Command10"},
    {"image-cinema", "", "Command11"},
    {"image-custom1", "", "Command39"},
    {"image-custom2", "", "Command40"},
    {"image-custom3", "", "Command41"},
    {"image-custom4", "", "Command42"},
    // The status queries, named for what they report.
    {"status", "", "Command44"},
    {"input-mode", "", "Command45"},
    {"lamp-hours", "", "Command46"},
    {"orientation", "", "Command47"},
    {"temperatures", "", "Command54"},
    {"lamp-mode", "", "Command55"},
    {"pc-type", "", "Command38"},
    {"mute-signal", "", "Command12"},
    {"pressure", "", ""},
    {"fan-max", "FAN SPEED", "Command97"},
    {"fan-normal", "FAN SPEED", "Command98"},
    {"input-1-dvi", "INPUT 1", "Command63"},
    {"input-1-rgb", "INPUT 1", "Command64"},
    {"input-1-video", "INPUT 1", "Command65"},
    {"input-1-ypbpr", "INPUT 1", "Command66"},
    {"input-1-ycbcr", "INPUT 1", "Command67"},
    {"input-1-s-video", "INPUT 1", "Command68"},
    {"input-2-dvi", "INPUT 2", "Command71"},
    {"input-2-rgb", "INPUT 2", "Command72"},
    {"input-2-video", "INPUT 2", "Command73"},
    {"input-2-ypbpr", "INPUT 2", "Command74"},
    {"input-2-ycbcr", "INPUT 2", "Command75"},
    {"input-2-s-video", "INPUT 2", "Command76"},
    {"input-3-dvi", "INPUT 3", "Command79"},
    {"input-3-rgb", "INPUT 3", "Command80"},
    {"input-3-video", "INPUT 3", "Command81"},
    {"input-3-ypbpr", "INPUT 3", "Command82"},
    {"input-3-ycbcr", "INPUT 3", "Command83"},
    {"input-3-s-video", "INPUT 3", "Command84"},
}};

// The command text a name stands for; empty for a text that is no name.
std::string_view CommandOfName(std::string_view name);

// The button's command text, or the pressure query's.
std::string_view CommandOf(const CommandName& entry);

// Whether a text is written like a name (lower-case letters, digits and hyphens, with a hyphen or
// at least four characters), so that an unknown one is a mistake rather than a command to send.
// Short texts such as "c00" and "cr0" stay raw commands: the projector answers them itself.
bool LooksLikeName(std::string_view text);

// Up to three of `names` nearest to `text`, the nearest first.
std::vector<std::string_view> NearestNames(std::string_view text, const std::vector<std::string_view>& names);
