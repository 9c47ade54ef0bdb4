#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "controller/Addressing.h"

// What the command line asks of the window-less face: the commands to send, in order, and the
// line to send them on. The parser fills it; `RunSend` carries it out.
struct SendRequest {
  std::vector<std::string> commands;                    // --send, in the order given
  std::int16_t port = 1;                                // --port 1|2
  int speed = 19200;                                    // --speed 19200|9600
  const AddressOption* address = &kAddressOptions[0];   // --address single|all|001..004
  bool json = false;                                    // --json
};
