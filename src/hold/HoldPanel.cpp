#include "hold/HoldPanel.h"

#include <algorithm>
#include <string>

#include "hold/HoldNames.h"

const HoldButton* FindHoldButton(std::string_view control) {
  const auto it = std::find_if(kHoldButtons.begin(), kHoldButtons.end(),
                               [control](const HoldButton& b) { return b.control == control; });
  return it == kHoldButtons.end() ? nullptr : &*it;
}

const HoldButton* FindHoldButton(std::uint8_t code) {
  const auto it = std::find_if(kHoldButtons.begin(), kHoldButtons.end(),
                               [code](const HoldButton& b) { return b.code == code; });
  return it == kHoldButtons.end() ? nullptr : &*it;
}

const HoldButton* HoldButtonOfName(std::string_view name) {
  const auto it = std::find_if(kHoldNames.begin(), kHoldNames.end(), [name](const HoldName& n) { return n.name == name; });
  return it == kHoldNames.end() ? nullptr : FindHoldButton(it->control);
}

const HoldButton* HoldButtonOfCommand(std::string_view command) {
  const auto it = std::find_if(kHoldButtons.begin(), kHoldButtons.end(),
                               [command](const HoldButton& b) { return b.command == command; });
  return it == kHoldButtons.end() ? nullptr : &*it;
}

namespace {

TimingSet FixedTiming(HoldTiming timing) {
  switch (timing) {
    case HoldTiming::Fast: return kFastTiming;
    case HoldTiming::Slow: return kSlowTiming;
    default: return kSelectTiming;
  }
}

}  // namespace

TimingSet PlainTiming(const HoldButton& button) {
  return button.timing == HoldTiming::CursorPad ? kPlainCursorTiming : FixedTiming(button.timing);
}

void HoldPanel::Press(const HoldButton& button) {
  if (button.timing == HoldTiming::CursorPad) {
    PressCursorPad(button);
    return;
  }
  state_.HoldCode = button.code;
  // A failing transmit ends the press here: Timer1 is not started, so nothing repeats.
  exchange_.Send(std::string(button.command));
  const TimingSet timing = FixedTiming(button.timing);
  timers_.Timer1.SetInterval(timing.repeat);
  timers_.Timer2.SetInterval(timing.replyTimeout);
  timers_.Timer4.SetInterval(timing.displayClear);
  timers_.Timer1.SetEnabled(true);
}

void HoldPanel::PressCursorPad(const HoldButton& button) {
  // The arrows set their intervals before the frame, and repeat at whatever Timer1 was last given.
  if (state_.CursorPadMode == 1) {
    timers_.Timer2.SetInterval(150);
    timers_.Timer4.SetInterval(190);
  } else if (state_.CursorPadMode == 3) {
    timers_.Timer2.SetInterval(5);
    timers_.Timer4.SetInterval(5);
  }
  state_.HoldCode = button.code;
  exchange_.Send(std::string(button.command));
  timers_.Timer1.SetEnabled(true);
}

void HoldPanel::Release(const HoldButton& button) {
  state_.HoldCode = 0;
  timers_.Timer1.SetEnabled(false);
  // No missing-reply notice after a hold: the reply time-out is dropped.
  timers_.Timer2.SetEnabled(false);
  timers_.Timer4.SetEnabled(true);
  panel_.Label11.clear();
  panel_.Label12.clear();
  timers_.Timer2.SetInterval(kPlainCursorTiming.replyTimeout);
  timers_.Timer4.SetInterval(kPlainCursorTiming.displayClear);
  state_.RxBuffer.clear();
  if (button.armsFastCursorPad) {
    timers_.Timer1.SetInterval(5);
    state_.CursorPadMode = 3;
  }
}

void HoldPanel::EndHoldWithoutRelease() {
  if (const HoldButton* held = FindHoldButton(state_.HoldCode)) Release(*held);
}

void HoldPanel::Timer1_Timer() {
  if (state_.HoldCode == 0) return;
  // A frame still waiting in the output would only pile up behind it: at 9600 baud an 8-byte
  // frame takes 8 ms, longer than the 5 ms repeat, and queued frames would keep the motor running
  // long after the release. Skip this repetition; the next tick tries again.
  if (link_.OutputPending()) return;
  const HoldButton* held = FindHoldButton(state_.HoldCode);
  if (held == nullptr) return;
  try {
    const SerialLink::NoReopen noReopen(link_);
    exchange_.Send(std::string(held->command));
  } catch (const LinkError&) {
    // Stop repeating, so the failure is reported once instead of at every tick.
    timers_.Timer1.SetEnabled(false);
    throw;
  }
  timers_.Timer1.SetEnabled(true);
}
