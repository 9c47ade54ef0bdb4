#include "panel/Form1.h"

#include <algorithm>
#include <string>

#include "commands/CommandCatalogue.h"
#include "hold/HoldNames.h"

ReplyShape ShapeOfCommand(std::string_view command) {
  const ReplyQuery query = QueryOf(command);
  const bool button =
      HoldButtonOfCommand(command) != nullptr ||
      std::any_of(kCommandCatalogue.begin(), kCommandCatalogue.end(),
                  [command](const PanelCommand& entry) { return entry.command == command; });
  return ReplyShape{query, query != ReplyQuery::None || button};
}

Form1::Form1(SerialLink& link, Timers timers, WindowPort& window)
    : Dispatch(window),
      exchange(State, link, timers, Panel),
      commands(State, timers, exchange),
      hold(State, link, timers, Panel, exchange),
      linkSettings(State, link, timers, Panel, Dispatch),
      freeText(State, timers, Panel, exchange, Dispatch),
      extendedPanel(State, timers, Panel),
      link_(link),
      timers_(timers),
      window_(window) {
  // The intervals the timers are created with; all four start stopped.
  timers_.Timer1.SetInterval(200);
  timers_.Timer2.SetInterval(500);
  timers_.Timer3.SetInterval(5000);
  timers_.Timer4.SetInterval(1000);
  for (Timer* timer : {&timers_.Timer1, &timers_.Timer2, &timers_.Timer3, &timers_.Timer4}) {
    timer->SetEnabled(false);
  }

  exchange.SetShapeOf(ShapeOfCommand);
  link_.SetOnComm([this] { Dispatch.Run(OnFailure::Warn, [this] { exchange.MSComm1_OnComm(); }); });
  link_.SetOnNotice([this](const std::string& text) { Dispatch.Warn(text); });
  timers_.Timer1.SetTickHandler([this] { Dispatch.Run(OnFailure::Warn, [this] { hold.Timer1_Timer(); }); });
  timers_.Timer2.SetTickHandler([this] { Dispatch.Run(OnFailure::Warn, [this] { exchange.ReplyWindowElapsed(); }); });
  timers_.Timer3.SetTickHandler([this] { Dispatch.Run(OnFailure::Warn, [this] { linkSettings.Timer3_Timer(); }); });
  timers_.Timer4.SetTickHandler([this] { Dispatch.Run(OnFailure::Warn, [this] { exchange.Timer4_Timer(); }); });
}

void Form1::Load() {
  Dispatch.Run(OnFailure::EndProgram, [this] { Form_Load(); });
}

void Form1::Form_Load() {
  State.CommSettings = std::string(LinkSettings::kFastLine);
  State.AddressPrefix = "";
  // Centred for the full design height before it is shortened, so the compact window's top edge
  // sits where the full window's would.
  window_.CentreOnScreen(Panel.OuterHeight);
  Panel.OuterHeight = WindowHeight::kCompact;
  State.HoldCode = 0;
  State.AwaitingReply = 0;
  State.RxBuffer = "";
  // The window's port is meant to be open from here on: a later choice opens it whatever an
  // earlier failed one left.
  linkSettings.KeepPortOpen();
  link_.SetPortNumber(1);
  link_.SetLineSettings(State.CommSettings);
  link_.Open();
  // Selecting the option from the program runs its click, which reopens the port.
  linkSettings.Option1_Click();
}

void Form1::Command16_Click() {
  link_.Close();
  window_.EndProgram();
}

void Form1::AddressOption_Click(const AddressOption& option) {
  Panel.AddressOption = option.control;
  State.AddressPrefix = std::string(option.prefix);
}
