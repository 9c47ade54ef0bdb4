#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "controller/ControllerState.h"
#include "controller/EventDispatch.h"
#include "controller/PanelView.h"
#include "controller/Timer.h"
#include "exchange/Exchange.h"

// The longest typed command sent. The projector's own commands are at most 21 characters; at
// this length the whole frame, with any address, still shows on the monitor's "TXD" line.
inline constexpr std::size_t kLongestFreeText = 500;

// Why `text` cannot go to the projector as one command, with what to do about it; nothing when
// it can: plain ASCII without CR or LF, at most kLongestFreeText characters. The
// panel's "SEND" and every other sender of typed text apply the same rule; `source` names where
// the text was typed, for the advice: the text itself, as the operator knows it.
std::optional<std::string> FreeTextRefusal(std::string_view text, std::string_view source = "the text in the CMD box");

// The free-text row: "SEND" sends what the operator typed in Text1 as a command, "CLS" empties it.
class FreeText {
 public:
  FreeText(ControllerState& state, Timers timers, PanelState& panel, Exchange& exchange, EventDispatch& dispatch)
      : state_(state), timers_(timers), panel_(panel), exchange_(exchange), dispatch_(dispatch) {}

  void Command95_Click();  // "SEND"
  void Command96_Click();  // "CLS"

 private:
  ControllerState& state_;
  Timers timers_;
  PanelState& panel_;
  Exchange& exchange_;
  EventDispatch& dispatch_;
};
