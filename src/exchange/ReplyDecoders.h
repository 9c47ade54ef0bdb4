#pragma once

#include <string>

#include "controller/ControllerState.h"

// Turns the rendered receive buffer into the "STATUS" line when the last frame sent was one of
// the nine status queries built with the current address prefix. Leaves the line alone when no
// decoder is chosen or a table decoder finds no key.
void DecodeReply(const std::string& rendered, ControllerState& state, std::string& statusLine);
