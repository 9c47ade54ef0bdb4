#pragma once

#include <string>

// What --list-commands prints: every button's command with its name and where it sits on the
// panel, then the status queries with what each reports.
std::string CommandListText();
