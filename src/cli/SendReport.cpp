#include "cli/SendReport.h"

#include <cstdio>

std::string TextReport(const SentCommand& sent) {
  return "TXD " + sent.txd + "\nRXD " + sent.rxd + "\nSTATUS " + sent.status + '\n';
}

std::string JsonReport(const SentCommand& sent) {
  return "{\"command\":" + JsonString(sent.command) + ",\"frame\":" + JsonString(sent.frame) +
         ",\"reply\":" + JsonString(sent.reply) + ",\"txd\":" + JsonString(sent.txd) +
         ",\"rxd\":" + JsonString(sent.rxd) + ",\"status\":" + JsonString(sent.status) +
         ",\"timed_out\":" + (sent.timedOut ? "true" : "false") + "}\n";
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
