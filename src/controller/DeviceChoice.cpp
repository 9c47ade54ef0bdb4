#include "controller/DeviceChoice.h"

#include <optional>
#include <string>

bool OpenChosenDevice(SerialLink& link, EventDispatch& dispatch, PanelState& panel, std::int16_t port,
                      std::int16_t fallback, const std::function<void()>& giveDevice) {
  std::optional<std::string> failure;
  const auto attempt = [&failure](const std::function<void()>& operation) {
    try {
      operation();
    } catch (const LinkError& error) {
      if (!failure) failure = error.what();
    }
  };
  // Closed first: the old device may be of another kind than the new one, and only the link it
  // is open on can close it.
  attempt([&] {
    if (link.IsOpen() || link.IsLost()) link.Close();
  });
  giveDevice();
  attempt([&] { link.SetPortNumber(port); });
  if (!failure) attempt([&] { link.Open(); });
  if (failure) {
    dispatch.Warn(*failure);
    attempt([&] { link.SetPortNumber(fallback); });
    return false;
  }
  panel.Frame8Visible = false;
  return true;
}
