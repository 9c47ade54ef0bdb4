#pragma once

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <initializer_list>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/RunSend.h"
#include "cli/SendReport.h"
#include "controller/Addressing.h"

// One run of the command line, in this process, with what it printed.
struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

// The three monitor lines of one command, without their names.
struct Block {
  std::string txd, rxd, status;
  bool operator==(const Block&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Block& b) {
  return os << "{TXD \"" << b.txd << "\", RXD \"" << b.rxd << "\", STATUS \"" << b.status << "\"}";
}

inline SendRequest Request(std::initializer_list<std::string> commands) {
  SendRequest request;
  request.commands = commands;
  return request;
}

inline const AddressOption* Address(std::string_view caption) {
  return &*std::find_if(kAddressOptions.begin(), kAddressOptions.end(),
                        [caption](const AddressOption& o) { return o.caption == caption; });
}

inline Outcome SendFrom(const SendRequest& request, const QString& com1,
                        const QString& com2 = QStringLiteral("/nonexistent/com2")) {
  std::ostringstream out, err;
  Outcome outcome;
  outcome.status = RunSend(request, PortMap{com1, com2}, out, err);
  outcome.out = out.str();
  outcome.err = err.str();
  return outcome;
}

// The blocks of a plain-text run; a line out of place ends the list with a block that says so.
inline std::vector<Block> Blocks(const std::string& out) {
  std::vector<Block> blocks;
  std::istringstream lines(out);
  std::string txd, rxd, status;
  while (std::getline(lines, txd)) {
    std::getline(lines, rxd);
    std::getline(lines, status);
    if (txd.rfind("TXD ", 0) != 0 || rxd.rfind("RXD ", 0) != 0 || status.rfind("STATUS ", 0) != 0) {
      blocks.push_back({"malformed: " + txd, rxd, status});
      break;
    }
    blocks.push_back({txd.substr(4), rxd.substr(4), status.substr(7)});
  }
  return blocks;
}

// The string field `name` of a JSON line, as written (escapes and all); nothing without one.
// Scanned by hand: std::regex recurses once per character and cannot take a long reply.
inline std::optional<std::string> Field(const std::string& line, const std::string& name) {
  const std::string key = "\"" + name + "\":\"";
  const std::size_t start = line.find(key);
  if (start == std::string::npos) return std::nullopt;
  std::string content;
  for (std::size_t i = start + key.size(); i < line.size() && line[i] != '"'; ++i) {
    if (line[i] == '\\') content += line[i++];
    content += line[i];
  }
  return content;
}

// `text` with PORT standing for COM1 on `path`, as the messages name it.
inline std::string WithPort(std::string text, const QString& path) {
  const std::string port = "COM1 (" + path.toStdString() + ")";
  for (std::size_t at = text.find("PORT"); at != std::string::npos; at = text.find("PORT", at + port.size())) {
    text.replace(at, 4, port);
  }
  return text;
}

// Lets the event loop run for a while: real time is the point where a simulator is involved.
inline void Pause(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}
