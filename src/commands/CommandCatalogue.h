#pragma once

#include <array>
#include <string_view>

#include "commands/PanelCommand.h"

namespace catalogue_detail {
constexpr PanelCommand P(std::string_view control, std::string_view caption, std::string_view command) {
  return {control, caption, command, SendKind::Plain};
}
constexpr PanelCommand Arm(std::string_view control, std::string_view caption, std::string_view command) {
  return {control, caption, command, SendKind::ArmCursorPad};
}
// Picture modes change slowly on the projector: a longer reply window.
constexpr PanelCommand Image(std::string_view control, std::string_view caption, std::string_view command) {
  return {control, caption, command, SendKind::LongWait, 2000, 2500};
}
// Input switching takes the projector longer still.
constexpr PanelCommand Input(std::string_view control, std::string_view caption, std::string_view command) {
  return {control, caption, command, SendKind::LongWait, 5000, 5500};
}
}  // namespace catalogue_detail

// The 58 one-shot buttons, top of the panel down. Captions and commands differ on purpose in a
// few places ("Nopmal", "CUSTAM4", SHUTTER "ON" closing it, "DVI"/"RGB").
inline constexpr std::array<PanelCommand, 58> kCommandCatalogue = [] {
  using namespace catalogue_detail;
  return std::array<PanelCommand, 58>{{
      // POWER
      P("Command17", "ON", "C00"),
      P("Command18", "OFF", "C01"),
      // INPUT MODE SET
      P("Command27", "1", "C05"),
      P("Command28", "2", "C06"),
      P("Command29", "3", "C07"),
      P("Command53", "4", "C08"),
      // MENU
      Arm("Command23", "ON", "C1C"),
      P("Command24", "OFF", "C1D"),
      // NO SHOW
      P("Command21", "ON", "C0D"),
      P("Command22", "OFF", "C0E"),
      // FREEZE
      P("Command25", "ON", "C43"),
      P("Command26", "OFF", "C44"),
      // AV Size
      P("Command31", "Nopmal", "C0F"),
      P("Command32", "Wide", "C10"),
      // SHUTTER
      P("Command88", "ON", "CF SHUTTER CLOSE"),
      P("Command89", "OFF", "CF SHUTTER OPEN"),
      // key column
      Arm("Command13", "A-PC Adj", "C89"),
      P("Command30", "IMAGE", "C27"),
      P("Command14", "P-TIMER", "C8A"),
      P("Command3", "DISPLAY CLEAR", "C1E"),
      // LAMP Mode
      P("Command56", "AUTO", "CF AUTOLAMPCONTRL AUTO"),
      P("Command57", "NORMAL", "CF AUTOLAMPCONTRL NORMAL"),
      P("Command58", "ECO", "CF AUTOLAMPCONTRL ECO"),
      // picture modes
      Image("Command4", "STAND", "CF IMAGE STAND"),
      Image("Command10", "REAL", "CF IMAGE REAL"),
      Image("Command11", "CINEMA", "CF IMAGE CINEMA"),
      Image("Command39", "CUSTOM1", "CF IMAGE CUSTOM1"),
      Image("Command40", "CUSTOM2", "CF IMAGE CUSTOM2"),
      Image("Command41", "CUSTOM3", "CF IMAGE CUSTOM3"),
      Image("Command42", "CUSTAM4", "CF IMAGE CUSTOM4"),
      // status queries
      P("Command44", "STATUS", "CR0"),
      P("Command45", "MODE", "CR1"),
      P("Command46", "L-TIME", "CR3"),
      P("Command47", "SETTING", "CR4"),
      P("Command54", "TEMP", "CR6"),
      P("Command55", "L-MODE", "CR7"),
      P("Command38", "PC type", "CR9"),
      P("Command12", "SETTING 2", "CRA"),
      // FAN SPEED
      P("Command97", "MAX", "CF FANSPEED MAX"),
      P("Command98", "NOR", "CF FANSPEED NOR"),
      // input selection grid: rows 1 to 3, columns DVI RGB VIDEO YPbPr YCbCr S-VIDEO
      Input("Command63", "DVI", "CF INPUT1 DIGITAL"),
      Input("Command64", "RGB", "CF INPUT1 ANALOG"),
      Input("Command65", "VIDEO", "CF INPUT1 VIDEO"),
      Input("Command66", "YPbPr", "CF INPUT1 YPBPR"),
      Input("Command67", "YCbCr", "CF INPUT1 YCBCR"),
      Input("Command68", "S-VIDEO", "CF INPUT1 S-VIDEO"),
      Input("Command71", "DVI", "CF INPUT2 DIGITAL"),
      Input("Command72", "RGB", "CF INPUT2 ANALOG"),
      Input("Command73", "VIDEO", "CF INPUT2 VIDEO"),
      Input("Command74", "YPbPr", "CF INPUT2 YPBPR"),
      Input("Command75", "YCbCr", "CF INPUT2 YCBCR"),
      Input("Command76", "S-VIDEO", "CF INPUT2 S-VIDEO"),
      Input("Command79", "DVI", "CF INPUT3 DIGITAL"),
      Input("Command80", "RGB", "CF INPUT3 ANALOG"),
      Input("Command81", "VIDEO", "CF INPUT3 VIDEO"),
      Input("Command82", "YPbPr", "CF INPUT3 YPBPR"),
      Input("Command83", "YCbCr", "CF INPUT3 YCBCR"),
      Input("Command84", "S-VIDEO", "CF INPUT3 S-VIDEO"),
  }};
}();

// The catalogue entry of a control, or nullptr.
const PanelCommand* FindCommand(std::string_view control);
