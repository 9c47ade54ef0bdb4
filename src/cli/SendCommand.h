#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "cli/SendRequest.h"

// One command of a run: as the operator gave it, and the text that goes on the line.
struct SendCommand {
  std::string given;
  std::string text;

  // How messages name it: "CR0", or "status" (CR0) for a name.
  std::string Named() const;
};

// The command `given` stands for, or the whole line saying why it cannot be sent (empty, not
// plain ASCII, an unknown name, a status query to every projector).
std::variant<SendCommand, std::string> ResolveCommand(const std::string& given, const SendRequest& request);

// For text sent as typed that the projector refused: " (did you mean NAME?)" when it is, ignoring
// case, a button's caption or a name; otherwise empty.
std::string DidYouMean(const SendCommand& command);

// Text in quotes with its control characters and bytes from 0x7F up as \xNN: a CR in it must not
// break the line, nor a device's byte upset the terminal.
std::string Quoted(std::string_view text);
