#pragma once

#include <cstdint>
#include <string_view>

#include "controller/ControllerState.h"
#include "controller/EventDispatch.h"
#include "controller/PanelView.h"
#include "controller/SerialLink.h"
#include "controller/Timer.h"

// The settings frame: "COM" shows it, a choice or Timer3 hides it again. Port changes close and
// reopen the link; speed changes apply to the open link.
class LinkSettings {
 public:
  static constexpr std::string_view kFastLine = "19200,N,8,1";
  static constexpr std::string_view kSlowLine = "9600,N,8,1";

  LinkSettings(ControllerState& state, SerialLink& link, Timers timers, PanelState& panel, EventDispatch& dispatch)
      : state_(state), link_(link), timers_(timers), panel_(panel), dispatch_(dispatch) {}

  void Command33_Click();  // "COM"
  void Timer3_Timer();
  void Option1_Click();    // "COM1"
  void Option2_Click();    // "COM2"
  // Speed failures are not caught: the dispatch of these two ends the program.
  void Option9_Click();    // "19200"
  void Option10_Click();   // "9600"

  // From now on a port choice opens the port even where a failed one left it closed: the window's
  // port is meant to be open once it has started.
  void KeepPortOpen() { keepOpen_ = true; }

 private:
  void SelectSpeed(std::string_view settings);

  ControllerState& state_;
  SerialLink& link_;
  Timers timers_;
  PanelState& panel_;
  EventDispatch& dispatch_;
  bool keepOpen_ = false;
};
