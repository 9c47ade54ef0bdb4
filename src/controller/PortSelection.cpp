#include "controller/PortSelection.h"

#include <optional>
#include <string>

namespace {

// The first LinkError of a run of steps, each still attempted after an earlier one failed.
struct Attempts {
  std::optional<std::string> failure;
  bool refused = false;  // the failure is a LinkRefused

  template <typename Operation>
  void operator()(Operation&& operation) {
    try {
      operation();
    } catch (const LinkRefused& error) {
      if (!failure) failure = error.what(), refused = true;
    } catch (const LinkError& error) {
      if (!failure) failure = error.what();
    }
  }
};

// Closes the port if it is open or lost; true when it was. A port the device dropped counts as
// open: choosing it again is how the operator asks for it back.
bool CloseForSwitch(SerialLink& link, Attempts& attempt, bool& closed) {
  bool wasOpen = false;
  attempt([&] {
    if (link.IsOpen() || link.IsLost()) {
      wasOpen = true;
      closed = false;
      link.Close();
      closed = true;
    }
  });
  return wasOpen;
}

}  // namespace

void SelectPort(SerialLink& link, EventDispatch& dispatch, PanelState& panel, std::int16_t port,
                std::int16_t fallback, bool openClosed) {
  Attempts attempt;
  bool closed = true;  // the port is closed now
  const bool wasOpen = CloseForSwitch(link, attempt, closed);
  attempt([&] { link.SetPortNumber(port); });
  if (!attempt.failure && (wasOpen || openClosed)) attempt([&] { link.Open(); });
  if (!attempt.failure) {
    panel.Frame8Visible = false;
    return;
  }
  // What follows from here is not the device's business but the panel's: the next choice of a
  // port, or of a device, opens it. A refused device waits for a device choice, which its own
  // text asks for.
  if (closed && openClosed && !attempt.refused) *attempt.failure += " " + std::string(kClosedUntilChosen);
  dispatch.Warn(*attempt.failure);
  // The operator has been told the choice failed and can choose again; a failing fallback
  // adds nothing worth a second box.
  attempt([&] { link.SetPortNumber(fallback); });
}

bool OpenChosenDevice(SerialLink& link, EventDispatch& dispatch, PanelState& panel, std::int16_t port,
                      const DeviceSwitch& change) {
  Attempts attempt;
  bool closed = true;
  const bool wasOpen = CloseForSwitch(link, attempt, closed);
  if (!closed) {  // still open on the old device: nothing has changed
    dispatch.Warn(*attempt.failure);
    return false;
  }
  change.giveNew();
  attempt([&] { link.SetPortNumber(port); });
  if (!attempt.failure) attempt([&] { link.Open(); });
  if (!attempt.failure) {
    panel.Frame8Visible = false;
    return true;
  }
  // The choice failed: the port goes back to the device it had, open again if it was open, so a
  // working line is not lost to a mistyped path. Its reopening failing is not worth a second box.
  attempt([&] { link.Close(); });
  change.giveOld();
  if (wasOpen) attempt([&] { link.Open(); });
  dispatch.Warn(*attempt.failure + " The panel stays on " + change.oldName + ".");
  return false;
}
