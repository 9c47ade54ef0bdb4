#pragma once

#include "controller/ControllerState.h"
#include "controller/PanelView.h"
#include "controller/SerialLink.h"
#include "controller/Timer.h"
#include "exchange/Exchange.h"
#include "hold/HoldButton.h"

// Press, release and the repeat tick of the hold buttons. One HoldCode serves the whole panel,
// so at most one hold is active; a second press replaces it.
class HoldPanel {
 public:
  HoldPanel(ControllerState& state, SerialLink& link, Timers timers, PanelState& panel, Exchange& exchange)
      : state_(state), link_(link), timers_(timers), panel_(panel), exchange_(exchange) {}

  void Press(const HoldButton& button);
  void Release(const HoldButton& button);
  void Timer1_Timer();

  // The window lost the mouse or the focus while a button may be down: a motor must never keep
  // running with no hand on the button, so a hold in progress ends as its release would.
  void EndHoldWithoutRelease();

 private:
  void PressCursorPad(const HoldButton& button);

  ControllerState& state_;
  SerialLink& link_;
  Timers timers_;
  PanelState& panel_;
  Exchange& exchange_;
};
