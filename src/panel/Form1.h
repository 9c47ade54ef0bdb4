#pragma once

#include "commands/CommandPanel.h"
#include "controller/Addressing.h"
#include "controller/ControllerState.h"
#include "controller/EventDispatch.h"
#include "controller/ExtendedPanel.h"
#include "controller/LinkSettings.h"
#include "controller/PanelView.h"
#include "controller/SerialLink.h"
#include "controller/Timer.h"
#include "exchange/Exchange.h"
#include "exchange/FreeText.h"
#include "hold/HoldPanel.h"

// What the answer to `command` looks like: a query's rows, ACK or ERR for any button's command,
// anything for text the panel does not know.
ReplyShape ShapeOfCommand(std::string_view command);

// The controller: the window's record, its timers and port, and the handlers of its events.
// The shell owns the widgets and routes every widget event here through Dispatch.
class Form1 {
 public:
  static constexpr const char* kTitle = "VESK   Q8    CONTROL   Ver.1.41 BASE";

  Form1(SerialLink& link, Timers timers, WindowPort& window);
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // Runs the start-up; a failure there is shown and ends the program.
  void Load();

  void Form_Load();
  void Command16_Click();  // "END"
  // Option3 .. Option8: the prefix for every later frame; nothing is sent.
  void AddressOption_Click(const AddressOption& option);

  // The four timers, for whoever must see their intervals from outside (the window's tests).
  Timers WindowTimers() const { return timers_; }

  ControllerState State;
  PanelState Panel;
  EventDispatch Dispatch;
  Exchange exchange;
  CommandPanel commands;
  HoldPanel hold;
  LinkSettings linkSettings;
  FreeText freeText;
  ExtendedPanel extendedPanel;

 private:
  SerialLink& link_;
  Timers timers_;
  WindowPort& window_;
};
