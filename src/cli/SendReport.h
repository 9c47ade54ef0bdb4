#pragma once

#include <string>
#include <string_view>

// One command's exchange as the command line reports it.
struct SentCommand {
  std::string command;  // as given
  std::string frame;    // the bytes that went out: prefix, command, CR
  std::string reply;    // the receive buffer when the reply was complete
  std::string txd;      // the panel's three monitor lines at that moment
  std::string rxd;
  std::string status;
  bool timedOut = false;  // the reply window ended with nothing received
};

// The three monitor lines, each as its name, one blank and the panel's text exactly (texts that
// begin with a blank keep it).
std::string TextReport(const SentCommand& sent);

// One JSON object on one line, ending in a newline.
std::string JsonReport(const SentCommand& sent);

// `bytes` as a quoted JSON string. Each byte is the character with that code (U+0000..U+00FF),
// so any reply, even one with bytes above 0x7F, round-trips.
std::string JsonString(std::string_view bytes);
