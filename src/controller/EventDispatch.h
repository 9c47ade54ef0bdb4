#pragma once

#include <functional>
#include <string>

#include "controller/PanelView.h"

// How a link failure that escapes a handler is reported.
enum class OnFailure {
  Warn,        // a warning box; the program keeps running
  EndProgram,  // the description is shown and the program ends (start-up, speed selection),
               // unless the port was lost: that is a warning, as a lost port can come back
};

// Every event that reaches the core passes through here: the handler runs to its end or to its
// first failing link operation, the failure is reported, and the window redraws.
class EventDispatch {
 public:
  explicit EventDispatch(WindowPort& window) : window_(window) {}

  void Run(OnFailure onFailure, const std::function<void()>& handler);

  // Shows a warning box unless one is already open. While a box is open its nested event loop
  // keeps timers and the port alive; a failure there must not stack a second box on the first.
  void Warn(const std::string& text);

 private:
  WindowPort& window_;
  bool warningOpen_ = false;
};
