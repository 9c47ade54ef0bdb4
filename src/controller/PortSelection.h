#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "controller/EventDispatch.h"
#include "controller/PanelView.h"
#include "controller/SerialLink.h"

// What a failed port selection's box adds to the failure: what the operator can do next.
inline constexpr const char* kClosedUntilChosen =
    "No port is open now: once the device can be opened, choose COM1 or COM2 again with COM, or choose "
    "another device for the port (right-click it).";

// Closes the port if it is open or lost, chooses `port`, and opens it if it was open or lost, or
// with `openClosed` whatever its state (the window, whose port is meant to be open once it has
// started). A failure of any of these is reported in one warning box, after which the fallback
// port is chosen, the port stays closed and the settings frame stays shown so that the operator
// can choose again.
void SelectPort(SerialLink& link, EventDispatch& dispatch, PanelState& panel, std::int16_t port,
                std::int16_t fallback, bool openClosed);

// A device choice for a port: how to give the port its new device, and its old one back.
struct DeviceSwitch {
  std::function<void()> giveNew;
  std::function<void()> giveOld;
  std::string oldName;  // the old device, as the operator knows it
};

// The operator named a new device for `port`, the port the panel shows selected. It is opened
// whatever state the port was in, since the operator asked for that device, even after an earlier
// failure left the port closed. `giveNew` runs once the old device is closed, which is the link's
// business alone. A failure is reported in one warning box that ends with "The panel stays on
// OLD."; the port then has its old device again, open if it was open or lost, and stays the
// chosen port: no fallback, the choice changed nothing. True when the new device opened.
bool OpenChosenDevice(SerialLink& link, EventDispatch& dispatch, PanelState& panel, std::int16_t port,
                      const DeviceSwitch& change);
