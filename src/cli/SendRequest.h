#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "controller/Addressing.h"

// What the command line asks of the window-less face: the commands to send, in order, and the
// line to send them on. The parser fills it; `RunSend` carries it out.
struct SendRequest {
  std::vector<std::string> commands;                    // --send, in the order given: texts or names
  std::int16_t port = 1;                                // --port 1|2
  int speed = 19200;                                    // --speed 19200|9600
  bool speedGiven = false;                              // --speed was on the command line
  const AddressOption* address = &kAddressOptions[0];   // --address single|all|001..004
  bool json = false;                                    // --json
  std::optional<int> timeoutMs;                         // --timeout MS: the wait for every command
  std::optional<std::string> log;                       // --log FILE: the traffic log
};

// The range --timeout takes, in milliseconds: long enough for a reply at 9600 baud, short enough
// that a script notices a silent projector within the minute.
inline constexpr int kShortestTimeout = 50;
inline constexpr int kLongestTimeout = 60000;
