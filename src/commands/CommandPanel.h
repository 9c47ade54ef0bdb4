#pragma once

#include "commands/PanelCommand.h"
#include "controller/ControllerState.h"
#include "controller/Timer.h"
#include "exchange/Exchange.h"

// The click shared by every one-shot button.
class CommandPanel {
 public:
  CommandPanel(ControllerState& state, Timers timers, Exchange& exchange)
      : state_(state), timers_(timers), exchange_(exchange) {}

  void Click(const PanelCommand& entry);

 private:
  ControllerState& state_;
  Timers timers_;
  Exchange& exchange_;
};
