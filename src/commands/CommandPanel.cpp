#include "commands/CommandPanel.h"

#include <algorithm>
#include <string>

#include "commands/CommandCatalogue.h"

const PanelCommand* FindCommand(std::string_view control) {
  const auto it = std::find_if(kCommandCatalogue.begin(), kCommandCatalogue.end(),
                               [control](const PanelCommand& entry) { return entry.control == control; });
  return it == kCommandCatalogue.end() ? nullptr : &*it;
}

void CommandPanel::Click(const PanelCommand& entry) {
  // The intervals outlast this exchange: they hold for every later frame until another sender
  // sets its own.
  if (entry.kind == SendKind::LongWait) {
    timers_.Timer2.SetInterval(entry.replyTimeout);
    timers_.Timer4.SetInterval(entry.displayClear);
  }
  exchange_.Send(std::string(entry.command));
  if (entry.kind == SendKind::ArmCursorPad) {
    timers_.Timer1.SetInterval(200);
    state_.CursorPadMode = 1;
  }
}
