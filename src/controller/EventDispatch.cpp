#include "controller/EventDispatch.h"

#include "controller/SerialLink.h"

void EventDispatch::Run(OnFailure onFailure, const std::function<void()>& handler) {
  try {
    handler();
  } catch (const LinkError& error) {
    // A device that went away is never a reason to end: it can come back.
    if (onFailure == OnFailure::EndProgram && dynamic_cast<const LinkLost*>(&error) == nullptr) {
      window_.Refresh();
      window_.ShowFatal(error.what());
    } else {
      Warn(error.what());
    }
  }
  window_.Refresh();
}

void EventDispatch::Warn(const std::string& text) {
  if (warningOpen_) return;
  warningOpen_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{warningOpen_};
  window_.Refresh();  // the box should stand over what the handler has done so far
  window_.ShowWarning(text);
}
