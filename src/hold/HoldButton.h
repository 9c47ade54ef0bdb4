#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// How a hold button times its repetition.
enum class HoldTiming {
  Fast,       // zoom, focus, lens shift
  Slow,       // digital zoom, keystone
  Select,     // the cursor pad's SELECT
  CursorPad,  // the four cursor-pad arrows: by CursorPadMode, at Timer1's last interval
};

struct HoldButton {
  std::string_view control;
  std::string_view caption;
  std::uint8_t code;          // stored in HoldCode while held; never 0
  std::string_view command;   // sent at the press and at every repetition
  HoldTiming timing;
  bool armsFastCursorPad = false;  // the D.Zoom buttons: release gives the cursor pad 5 ms
};

// Intervals a press applies, in milliseconds.
struct TimingSet {
  int repeat;        // Timer1
  int replyTimeout;  // Timer2
  int displayClear;  // Timer4
};

inline constexpr TimingSet kFastTiming{105, 100, 100};
inline constexpr TimingSet kSlowTiming{250, 200, 245};
inline constexpr TimingSet kSelectTiming{500, 200, 245};
// The cursor pad's arrows in its plain mode set nothing: they keep the reply window every
// release leaves, 500 and 1000 ms (their repeat is Timer1's last interval, 200 at start).
inline constexpr TimingSet kPlainCursorTiming{200, 500, 1000};

// The nineteen hold buttons. Their codes are not consecutive; the values are what is stored.
inline constexpr std::array<HoldButton, 19> kHoldButtons{{
    {"Command15", "+", 7, "C47", HoldTiming::Fast},   // Zoom
    {"Command35", "-", 8, "C46", HoldTiming::Fast},
    {"Command36", "+", 9, "C4B", HoldTiming::Fast},   // Focus
    {"Command37", "-", 10, "C4A", HoldTiming::Fast},
    {"Command59", "↑", 21, "C5D", HoldTiming::Fast},  // LENS SHIFT
    {"Command62", "↓", 22, "C5E", HoldTiming::Fast},
    {"Command60", "←", 23, "C5F", HoldTiming::Fast},
    {"Command61", "→", 24, "C60", HoldTiming::Fast},
    {"Command48", "+", 17, "C30", HoldTiming::Slow, true},  // D.Zoom
    {"Command49", "-", 18, "C31", HoldTiming::Slow, true},
    {"Command50", "↑", 19, "C8E", HoldTiming::Slow},  // Keystone
    {"Command51", "↓", 20, "C8F", HoldTiming::Slow},
    {"Command91", "←", 26, "C91", HoldTiming::Slow},
    {"Command90", "→", 25, "C90", HoldTiming::Slow},
    {"Command5", "↑", 3, "C3C", HoldTiming::CursorPad},  // cursor pad
    {"Command7", "↓", 4, "C3D", HoldTiming::CursorPad},
    {"Command9", "←", 5, "C3B", HoldTiming::CursorPad},
    {"Command8", "→", 6, "C3A", HoldTiming::CursorPad},
    {"Command6", "SELECT", 13, "C3F", HoldTiming::Select},
}};

// The hold button of a control name, or of a HoldCode; nullptr when there is none.
const HoldButton* FindHoldButton(std::string_view control);
const HoldButton* FindHoldButton(std::uint8_t code);
