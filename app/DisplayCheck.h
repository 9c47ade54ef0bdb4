#pragma once

#include <optional>
#include <string>

// Why the window would have no display to open on ("DISPLAY and WAYLAND_DISPLAY are not set",
// "DISPLAY=:99 cannot be reached"), or nothing when it looks to have one. Asked before any Qt
// application object exists: Qt's X11 plugin aborts the program when it finds no display.
std::optional<std::string> MissingDisplay();
