#pragma once

#include <string>

// What --list-commands prints: every button's command with its name and where it sits on the
// panel, the hold buttons' likewise, then the status queries with what each reports.
std::string CommandListText();

// The same names as one Markdown table with each command's reply window, for docs/commands.md.
std::string CommandListMarkdown();
