#pragma once

#include <cstdint>

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
