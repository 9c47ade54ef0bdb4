#pragma once

#include <cstdint>
#include <string_view>

// One control of the panel as designed: where it sits, how it looks. What it does lives in the
// core's tables; the shell joins the two by control name.
enum class Kind { Frame, Label, Button, Option, TextBox, Picture };

enum class Colour { Standard, Grey, Peach, Pink, LightGreen, LightCyan, Lavender, LightYellow, Teal, Orange, White };

enum class FontKey { F1, F2, F3, F4, F5, F6, F7, F8, F9, F10 };

namespace Note {
inline constexpr std::uint8_t kNone = 0;
inline constexpr std::uint8_t kCentred = 1;
inline constexpr std::uint8_t kRightAligned = 2;
inline constexpr std::uint8_t kDarkRedText = 4;
inline constexpr std::uint8_t kRedText = 8;
inline constexpr std::uint8_t kSingleBorder = 16;
inline constexpr std::uint8_t kHiddenAtStart = 32;
inline constexpr std::uint8_t kSelectedAtStart = 64;
}  // namespace Note

struct ControlLayout {
  std::string_view name;
  std::string_view container;  // "" for the window's client area, else a frame's name
  Kind kind;
  std::string_view caption;    // UTF-8
  int left, top, width, height;  // twips, from the container's top left corner
  int tab;                     // focus order among the controls that take the focus
  Colour colour;
  FontKey font;
  std::uint8_t notes;
};

enum class LineStyle { Solid, Dotted, Dashed };

struct DecorationLine {
  std::string_view name;
  int x1, y1, x2, y2;  // twips, in the window's client area
  LineStyle style;
};
