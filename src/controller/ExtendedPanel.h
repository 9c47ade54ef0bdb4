#pragma once

#include "controller/ControllerState.h"
#include "controller/PanelView.h"
#include "controller/Timer.h"

// The four window heights and the three ways between them: Ctrl+H (service view), a double-click
// on the picture once unlocked (full panel), and Command34 (compact panel <-> data view).
class ExtendedPanel {
 public:
  static constexpr int kKeyH = 72;
  static constexpr int kShiftMask = 1, kCtrlMask = 2, kAltMask = 4;

  ExtendedPanel(ControllerState& state, Timers timers, PanelState& panel)
      : state_(state), timers_(timers), panel_(panel) {}

  // keyCode as the platform numbers keys (72 = H); shift holds Shift 1, Ctrl 2, Alt 4 and maybe
  // more bits, which are ignored.
  void Form_KeyDown(int keyCode, int shift);
  void Image1_DblClick();
  void Command34_Click();

 private:
  ControllerState& state_;
  Timers timers_;
  PanelState& panel_;
};
