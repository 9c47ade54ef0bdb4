#pragma once

#include <string>
#include <string_view>

#include "ProjectorState.h"

namespace sim {

// Carries out one command (a frame without its address prefix and CR) at the given time and
// returns the reply to it: the status for one of the nine queries, ACK for every other command
// the projector knows, the error reply for anything else.
std::string Perform(std::string_view command, ProjectorState& state, long long nowMs);

}  // namespace sim
