#pragma once

#include <string>
#include <string_view>

#include "controller/ControllerState.h"

// The status query the last frame was, built with the current address prefix; None for any
// other frame.
enum class ReplyQuery { None, Status, Mode, Setting, LampTime, Temperature, Setting2, PcType, Pressure, LampMode };
ReplyQuery SelectQuery(const ControllerState& state);

// What a decoder did to the "STATUS" line.
enum class StatusWrite {
  Kept,       // no decoder, or a table decoder found no key
  Written,    // a decoder wrote the line
  WholeLine,  // the line is to be the whole rendered reply; left to the caller
};

// Runs the decoder of `query`. The table and cutting decoders read only the first 48 characters
// of `rendered`; the pressure decoder takes `reading`, the LeadingNumber of the whole rendered
// line. The raw copy is left to the caller, who may hold most of it already.
StatusWrite DecodeStart(ReplyQuery query, std::string_view rendered, double reading, ControllerState& state,
                        std::string& statusLine);

// Turns the rendered receive buffer into the "STATUS" line when the last frame sent was one of
// the nine status queries built with the current address prefix. Leaves the line alone when no
// decoder is chosen or a table decoder finds no key.
void DecodeReply(const std::string& rendered, ControllerState& state, std::string& statusLine);
