#include "controller/PortSelection.h"

#include <optional>
#include <string>

void SelectPort(SerialLink& link, EventDispatch& dispatch, PanelState& panel, std::int16_t port,
                std::int16_t fallback) {
  std::optional<std::string> failure;
  // Each step is still attempted after an earlier one failed; the first failure is reported.
  auto attempt = [&failure](auto&& operation) {
    try {
      operation();
    } catch (const LinkError& error) {
      if (!failure) failure = error.what();
    }
  };

  bool wasOpen = false;
  bool closed = true;  // the port is closed now
  attempt([&] {
    // A port the device dropped counts as open: choosing it again is how the operator asks for
    // it back.
    if (link.IsOpen() || link.IsLost()) {
      wasOpen = true;
      closed = false;
      link.Close();
      closed = true;
    }
  });
  attempt([&] { link.SetPortNumber(port); });
  if (!failure && wasOpen) attempt([&] { link.Open(); });

  if (failure) {
    // What follows from here is not the device's business but the panel's: a closed port stays
    // closed, whatever is chosen next, until the panel starts again.
    if (closed) *failure += " " + std::string(kClosedUntilRestart);
    dispatch.Warn(*failure);
    // The operator has been told the choice failed and can choose again; a failing fallback
    // adds nothing worth a second box.
    attempt([&] { link.SetPortNumber(fallback); });
    return;
  }
  panel.Frame8Visible = false;
}
