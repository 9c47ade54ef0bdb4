#pragma once

#include <cstdint>

#include "controller/EventDispatch.h"
#include "controller/PanelView.h"
#include "controller/SerialLink.h"

// Closes the port if it is open or lost, chooses `port`, and opens it if it was open or lost. A
// failure of any of these is reported in one warning box, after which the fallback port is
// chosen, the port stays closed and the settings frame stays shown so that the operator can
// choose again.
void SelectPort(SerialLink& link, EventDispatch& dispatch, PanelState& panel, std::int16_t port,
                std::int16_t fallback);
