#include "cli/SendReport.h"

#include <charconv>
#include <cstdio>

namespace {

const char* AnswerName(Answer answer) {
  switch (answer) {
    case Answer::Ack: return "ack";
    case Answer::Err: return "err";
    case Answer::Data: return "data";
    case Answer::Partial: return "partial";
    case Answer::Unexpected: return "unexpected";
    case Answer::None: return "none";
  }
  return "none";
}

std::string Number(double value) {
  char digits[32];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  return std::string(digits, result.ptr);
}

}  // namespace

Answer AnswerOf(std::string_view reply, bool complete) {
  if (reply.empty()) return Answer::None;
  if (!complete) return Answer::Partial;
  if (reply == "\x06\r") return Answer::Ack;
  if (IsRefusal(reply)) return Answer::Err;
  return Answer::Data;
}

std::string TextReport(const SentCommand& sent) {
  return "TXD " + sent.txd + "\nRXD " + sent.rxd + "\nSTATUS " + sent.status + '\n';
}

std::string JsonReport(const SentCommand& sent) {
  // Only a whole reply that is neither an acknowledgement nor a refusal has a value to read.
  const std::string value = sent.answer == Answer::Data ? JsonValue(TypedReply(sent.query, sent.reply)) : "null";
  return "{\"command\":" + JsonString(sent.command) + ",\"frame\":" + JsonString(sent.frame) +
         ",\"reply\":" + JsonString(sent.reply) + ",\"txd\":" + JsonString(sent.txd) +
         ",\"rxd\":" + JsonString(sent.rxd) + ",\"status\":" + JsonString(sent.status) +
         ",\"timed_out\":" + (sent.TimedOut() ? "true" : "false") + ",\"answer\":\"" + AnswerName(sent.answer) +
         "\",\"value\":" + value + ",\"truncated\":" + (sent.truncated ? "true" : "false") + "}\n";
}

std::string JsonValue(const ReplyValue& value) {
  switch (value.kind) {
    case ReplyValue::Kind::Null: return "null";
    case ReplyValue::Kind::Integer: return std::to_string(value.integer);
    case ReplyValue::Kind::Temperatures: {
      std::string json = "[";
      for (const auto& reading : value.temperatures) {
        if (json.size() > 1) json += ',';
        json += reading ? Number(*reading) : "null";
      }
      return json + ']';
    }
    case ReplyValue::Kind::Coded:
      return "{\"code\":" + JsonString(value.code) + ",\"text\":" + (value.text ? JsonString(*value.text) : "null") + '}';
    case ReplyValue::Kind::Text: return JsonString(value.text.value_or(""));
  }
  return "null";
}

std::string JsonString(std::string_view bytes) {
  std::string json = "\"";
  for (const char c : bytes) {
    const auto code = static_cast<unsigned char>(c);
    switch (c) {
      case '"': json += "\\\""; continue;
      case '\\': json += "\\\\"; continue;
      case '\r': json += "\\r"; continue;
      case '\n': json += "\\n"; continue;
      case '\t': json += "\\t"; continue;
      default: break;
    }
    if (code < 0x20 || code >= 0x7F) {
      char escape[7];
      std::snprintf(escape, sizeof escape, "\\u%04x", code);
      json += escape;
    } else {
      json += c;
    }
  }
  return json + '"';
}
