#pragma once

#include <string_view>

// How a one-shot button's click goes beyond sending its frame.
enum class SendKind {
  Plain,         // just the frame
  LongWait,      // sets the reply time-out and display-clearing intervals first
  ArmCursorPad,  // afterwards gives the cursor pad its 200 ms repeat and its timing set 1
};

struct PanelCommand {
  std::string_view control;  // the button's control name, also its Qt object name
  std::string_view caption;
  std::string_view command;  // sent with the address prefix in front and CR behind
  SendKind kind = SendKind::Plain;
  int replyTimeout = 0;  // LongWait only: Timer2's interval
  int displayClear = 0;  // LongWait only: Timer4's interval
};
