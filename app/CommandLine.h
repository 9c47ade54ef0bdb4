#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/PjlinkOptions.h"
#include "cli/SendRequest.h"

// What the program was asked to do. The command line is read before any Qt application object
// exists, so help, version, the port list and usage errors never need a display.
enum class RunMode {
  Window,        // the panel (the default)
  Send,          // --send: commands on the line, no window
  Serve,         // --serve: hold the port and serve the user's --send runs, no window
  ListPorts,     // --list-ports
  ListCommands,  // --list-commands
  Help,          // --help, -h
  Version,       // --version
  Usage,         // a mistake on the command line: `error` says which
};

struct CommandLine {
  RunMode mode = RunMode::Window;
  std::optional<std::string> com1;  // --com1 PATH
  std::optional<std::string> com2;  // --com2 PATH
  std::optional<std::string> log;   // --log FILE: the traffic log, for either face
  SendRequest send;                 // filled in Send mode
  bool markdown = false;            // --markdown, with --list-commands
  bool serve = false;               // --serve
  PjlinkOptions pjlink;             // --pjlink, --pjlink2 and what they answer
  std::string error;                // Usage mode: one line, without the program's name
};

// `args` are the arguments after the program's name.
CommandLine ParseCommandLine(const std::vector<std::string_view>& args);

// The full help; its first lines are the usage summary.
std::string UsageText();
std::string HelpText();
// "projector-panel 1.0.0"
std::string VersionText();
