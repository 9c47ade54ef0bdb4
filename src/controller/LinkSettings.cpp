#include "controller/LinkSettings.h"

#include <string>

#include "controller/PortSelection.h"

void LinkSettings::Command33_Click() {
  panel_.Frame8Visible = true;
  timers_.Timer3.SetEnabled(true);
}

void LinkSettings::Timer3_Timer() {
  panel_.Frame8Visible = false;
  timers_.Timer3.SetEnabled(false);
}

void LinkSettings::Option1_Click() {
  panel_.PortOption = 1;
  SelectPort(link_, dispatch_, panel_, 1, 2, keepOpen_);
}

void LinkSettings::Option2_Click() {
  panel_.PortOption = 2;
  SelectPort(link_, dispatch_, panel_, 2, 1, keepOpen_);
}

void LinkSettings::Option9_Click() {
  panel_.SpeedOption = 9;
  SelectSpeed(kFastLine);
}

void LinkSettings::Option10_Click() {
  panel_.SpeedOption = 10;
  SelectSpeed(kSlowLine);
}

void LinkSettings::SelectSpeed(std::string_view settings) {
  state_.CommSettings = std::string(settings);
  // Applied to the open port as it is: nothing is closed or reopened.
  link_.SetLineSettings(state_.CommSettings);
  panel_.Frame8Visible = false;
}
