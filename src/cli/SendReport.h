#pragma once

#include <string>
#include <string_view>

#include "exchange/ReplyDecoders.h"

// What came back for a command, as a script branches on it.
enum class Answer {
  Ack,      // the acknowledgement, ACK CR
  Err,      // the projector refused the command: ERR CR
  Data,     // any other reply complete at its CR
  Partial,  // something came, but not its CR before the wait ended (or it was cut)
  Unexpected,  // a whole reply without the shape of an answer to what was sent: not decoded
  None,     // nothing came
};

// One command's exchange as the command line reports it.
struct SentCommand {
  std::string command;  // as given: a command or its name
  std::string frame;    // the bytes that went out: prefix, command, CR
  std::string reply;    // what came for it: up to its CR, or as far as it came
  std::string txd;      // the panel's three monitor lines when the wait ended
  std::string rxd;
  std::string status;
  Answer answer = Answer::None;
  ReplyQuery query = ReplyQuery::None;  // the status query it was, if any
  bool broadcast = false;  // sent to every projector: no reply was awaited
  bool truncated = false;  // the reply was cut at the most the panel keeps
  int waitMs = 0;          // how long its reply was awaited

  bool TimedOut() const { return answer == Answer::None && !broadcast; }
};

// What `reply` is, complete at its CR or not.
Answer AnswerOf(std::string_view reply, bool complete);

// The three monitor lines, each as its name, one blank and the panel's text exactly (texts that
// begin with a blank keep it).
std::string TextReport(const SentCommand& sent);

// One JSON object on one line, ending in a newline.
std::string JsonReport(const SentCommand& sent);

// The decoded value as JSON: numbers, an array, {"code","text"}, a string, or null.
std::string JsonValue(const ReplyValue& value);

// `bytes` as a quoted JSON string. Each byte is the character with that code (U+0000..U+00FF),
// so any reply, even one with bytes above 0x7F, round-trips.
std::string JsonString(std::string_view bytes);
