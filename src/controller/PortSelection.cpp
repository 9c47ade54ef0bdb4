#include "controller/PortSelection.h"

#include <optional>
#include <string>

namespace {

// Closes the port if it is open or lost, lets the port stand for its new device, chooses `port`
// and opens it when it was open (or, for a chosen device, always). Each step is still attempted
// after an earlier one failed; the first failure is reported in one box, then `fallback` is chosen.
bool ChoosePort(SerialLink& link, EventDispatch& dispatch, PanelState& panel, std::int16_t port,
                std::int16_t fallback, bool openAlways, const std::function<void()>& giveDevice) {
  std::optional<std::string> failure;
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
  if (giveDevice) giveDevice();
  attempt([&] { link.SetPortNumber(port); });
  if (!failure && (wasOpen || openAlways)) attempt([&] { link.Open(); });

  if (failure) {
    // What follows from here is not the device's business but the panel's: a closed port stays
    // closed, whatever is chosen next, until the panel starts again. A chosen device is opened
    // whatever the state, so choosing one again is the way on from there.
    if (closed && !openAlways) *failure += " " + std::string(kClosedUntilRestart);
    dispatch.Warn(*failure);
    // The operator has been told the choice failed and can choose again; a failing fallback
    // adds nothing worth a second box.
    attempt([&] { link.SetPortNumber(fallback); });
    return false;
  }
  panel.Frame8Visible = false;
  return true;
}

}  // namespace

void SelectPort(SerialLink& link, EventDispatch& dispatch, PanelState& panel, std::int16_t port,
                std::int16_t fallback) {
  ChoosePort(link, dispatch, panel, port, fallback, false, nullptr);
}

bool OpenChosenDevice(SerialLink& link, EventDispatch& dispatch, PanelState& panel, std::int16_t port,
                      std::int16_t fallback, const std::function<void()>& giveDevice) {
  return ChoosePort(link, dispatch, panel, port, fallback, true, giveDevice);
}
