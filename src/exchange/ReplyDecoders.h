#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "controller/ControllerState.h"

// The status query the last frame was, built with the current address prefix; None for any
// other frame.
enum class ReplyQuery { None, Status, Mode, Setting, LampTime, Temperature, Setting2, PcType, Pressure, LampMode };
ReplyQuery SelectQuery(const ControllerState& state);

// Whether `reply`, complete with its CR, is the projector's refusal of the command: ERR.
inline bool IsRefusal(std::string_view reply) { return reply == "ERR\r"; }

// The query a command text is, sent with whatever prefix; None for any other text.
ReplyQuery QueryOf(std::string_view command);

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

// A complete reply's decoding with types, for a program rather than a person to read: the same
// table rows and the same cut fields the "STATUS" line is made of, as numbers, codes and texts.
struct ReplyValue {
  enum class Kind {
    Null,          // nothing to report: no query, or a number the fields do not hold
    Integer,       // lamp hours, input mode 1 to 5, air pressure in hPa
    Temperatures,  // the four sensors; a field that is not a number is empty
    Coded,         // operating status, orientation, mute and signal, lamp mode
    Text,          // the PC type
  };
  Kind kind = Kind::Null;
  long long integer = 0;
  std::array<std::optional<double>, 4> temperatures{};
  std::string code;                 // Coded: the reply's first two characters
  std::optional<std::string> text;  // Coded: the listed text without its leading blank; Text: the PC type
};

// `reply` is the whole reply as received, CR included.
ReplyValue TypedReply(ReplyQuery query, std::string_view reply);

// Whether `reply` (complete, CR included) has the shape of an answer to `query`, by the same rows
// and fields the decoders read: a code as long as its table's keys, lamp hours as digits that end
// within their field, the four temperatures filling their fields, the pressure reading as one
// to four digits, the PC type as text. ERR, the refusal, answers any frame; ACK answers only a frame that
// is no query (None). A reply of another shape is not this query's answer, whatever it decodes to.
bool HasShapeOf(ReplyQuery query, std::string_view reply);

// What the answer to a frame looks like: a query's rows, ACK (or ERR) for a button's command that
// asks nothing, anything at all for text the panel does not know.
struct ReplyShape {
  ReplyQuery query = ReplyQuery::None;
  bool known = false;
  bool Fits(std::string_view reply) const { return !known || HasShapeOf(query, reply); }
};
