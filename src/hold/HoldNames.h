#pragma once

#include <array>
#include <string_view>

#include "hold/HoldButton.h"

// Names a script can give for one step of a hold button: the press, its reply and the release.
// Kept beside the panel group the button sits in; the command text comes from the hold table.
struct HoldName {
  std::string_view name;
  std::string_view group;  // the group's title on the panel
  std::string_view control;
};

inline constexpr std::array<HoldName, 19> kHoldNames{{
    {"zoom-in", "Zoom", "Command15"},
    {"zoom-out", "Zoom", "Command35"},
    {"focus-far", "Focus", "Command36"},
    {"focus-near", "Focus", "Command37"},
    {"lens-shift-up", "LENS SHIFT", "Command59"},
    {"lens-shift-down", "LENS SHIFT", "Command62"},
    {"lens-shift-left", "LENS SHIFT", "Command60"},
    {"lens-shift-right", "LENS SHIFT", "Command61"},
    {"d-zoom-in", "D.Zoom", "Command48"},
    {"d-zoom-out", "D.Zoom", "Command49"},
    {"keystone-up", "Keystone", "Command50"},
    {"keystone-down", "Keystone", "Command51"},
    {"keystone-left", "Keystone", "Command91"},
    {"keystone-right", "Keystone", "Command90"},
    // The cursor pad has no title; its arrows move the projector's menu cursor.
    {"cursor-up", "", "Command5"},
    {"cursor-down", "", "Command7"},
    {"cursor-left", "", "Command9"},
    {"cursor-right", "", "Command8"},
    {"select", "", "Command6"},
}};

// The hold button a name stands for, or nullptr.
const HoldButton* HoldButtonOfName(std::string_view name);

// The hold button whose press sends `command`, or nullptr.
const HoldButton* HoldButtonOfCommand(std::string_view command);

// The intervals a press of `button` gives in the panel's plain mode: its own fixed set, or for a
// cursor-pad arrow those it keeps when no mode is armed.
TimingSet PlainTiming(const HoldButton& button);
