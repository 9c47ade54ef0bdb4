#pragma once

#include <cstdint>
#include <functional>

#include "controller/EventDispatch.h"
#include "controller/PanelView.h"
#include "controller/SerialLink.h"

// What a failed port selection's box adds to the failure: what the operator can do next.
inline constexpr const char* kClosedUntilRestart =
    "No port is open now, and the panel opens a closed port only when it starts: once the device can "
    "be opened, end the panel with END and start it again.";

// Closes the port if it is open or lost, chooses `port`, and opens it if it was open or lost. A
// failure of any of these is reported in one warning box, after which the fallback port is
// chosen, the port stays closed and the settings frame stays shown so that the operator can
// choose again.
void SelectPort(SerialLink& link, EventDispatch& dispatch, PanelState& panel, std::int16_t port,
                std::int16_t fallback);

// The operator named a new device for `port`, the port the panel shows selected. It is opened
// as a port selection opens a port, with one difference: it opens whatever state the port was in,
// since the operator asked for that device, even after an earlier failure left the port closed.
// `giveDevice` makes the port stand for the new device; it runs once the old one is closed, which
// is the link's business alone. A failure is reported in one warning box, after which `fallback`
// is chosen, the port stays closed and the settings frame stays shown. True when the port opened.
bool OpenChosenDevice(SerialLink& link, EventDispatch& dispatch, PanelState& panel, std::int16_t port,
                      std::int16_t fallback, const std::function<void()>& giveDevice);
