#include "network/Pjlink.h"

#include <algorithm>

namespace pjlink {

namespace {

bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// The operating status codes, as the projector's first two reply characters, and what PJLink
// makes of each. `power` -1: the projector reports a power failure, which PJLink has no state for.
struct Status {
  std::string_view code;
  int power;
  std::string_view errors;  // fan, lamp, temperature, cover open, filter, other
};
constexpr std::array<Status, 13> kStatuses{{
    {"00", 1, "000000"},  // Power ON
    {"80", 0, "000000"},  // Stand by
    {"40", 3, "000000"},  // Count down: warming up
    {"20", 2, "000000"},  // Cooling down
    {"10", -1, "000002"},  // Power Fail
    {"08", 1, "001000"},  // Temperature Warning (Power ON)
    {"02", 1, "000000"},  // NO Key input: on, its keys locked
    {"04", 0, "000000"},  // Lamp OFF by power management
    {"28", 2, "002000"},  // Temperature Warning & cooling down: the heat turned it off
    {"24", 2, "001000"},  // Lamp OFF & temperature warning by power management
    {"88", 0, "001000"},  // Temperature Warning and recovered
    {"21", 2, "020000"},  // Cooling down, all lamps failed
    {"81", 0, "020000"},  // Cooling down & stand by, all lamps failed
}};

const Status* StatusOf(const ProjectorAnswer& answer) {
  if (answer.kind != ProjectorAnswer::Kind::Value) return nullptr;
  const auto* found = std::find_if(kStatuses.begin(), kStatuses.end(),
                                   [&answer](const Status& s) { return s.code == answer.code; });
  return found == kStatuses.end() ? nullptr : found;
}

// Mute and signal codes: what AVMT ? reports. In stand-by there is nothing to report yet.
struct Mute {
  std::string_view code;
  std::string_view avmt;
};
constexpr std::array<Mute, 6> kMutes{{
    {"00", "30"}, {"01", "11"}, {"02", "21"}, {"03", "31"}, {"80", "30"}, {"FF", kUnavailable},
}};

// What a refusal, or no answer, makes of a request: the projector cannot take it now (ERR), or
// could not be asked (no reply, a lost line).
std::optional<std::string> Failed(const ProjectorAnswer& answer) {
  if (answer.kind == ProjectorAnswer::Kind::Err) return std::string(kUnavailable);
  if (answer.kind == ProjectorAnswer::Kind::None) return std::string(kFailure);
  return std::nullopt;
}

}  // namespace

std::vector<std::string> LineReader::Feed(std::string_view bytes) {
  std::vector<std::string> lines;
  for (const char c : bytes) {
    if (c == '\r') {
      if (overlong_) {
        ++dropped_;
      } else {
        lines.push_back(std::move(line_));
      }
      line_.clear();
      overlong_ = false;
      continue;
    }
    if (overlong_) continue;
    // Room for the line without its CR.
    if (line_.size() + 1 >= kLongestLine) {
      overlong_ = true;
      line_.clear();
      continue;
    }
    line_ += c;
  }
  return lines;
}

Digested SplitDigest(std::string_view line) {
  if (line.size() > kDigestLength && line[kDigestLength] == '%' &&
      std::all_of(line.begin(), line.begin() + kDigestLength, IsHex)) {
    return {line.substr(0, kDigestLength), line.substr(kDigestLength)};
  }
  return {{}, line};
}

std::optional<Request> ReadRequest(std::string_view line) {
  // A stray LF from a client that ends its lines in CR LF belongs to no request.
  if (!line.empty() && line.front() == '\n') line.remove_prefix(1);
  if (line.size() < 6 || line[0] != '%' || line[1] < '0' || line[1] > '9') return std::nullopt;
  Request request;
  request.kind = line[1];
  request.command = std::string(line.substr(2, 4));
  // Without its blank the line has no parameter, which no command takes.
  if (line.size() > 6) {
    if (line[6] != ' ') {
      request.parameter = std::string(line.substr(6));
      request.parameter.insert(0, 1, '\0');  // never equal to any parameter the table has
    } else {
      request.parameter = std::string(line.substr(7));
    }
  }
  return request;
}

std::optional<std::string> TextProblem(std::string_view what, std::string_view text, std::size_t longest) {
  if (text.size() > longest) {
    return std::string(what) + " may have at most " + std::to_string(longest) + " bytes, not " +
           std::to_string(text.size());
  }
  if (std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; })) {
    return std::string(what) + " may not hold a control character";
  }
  return std::nullopt;
}

Step Plan(const Request& request, const Texts& texts) {
  if (request.kind != '1') return std::string(kUndefined);
  for (const Translation& row : kTranslations) {
    if (row.command == request.command && row.parameter == request.parameter) return Ask{&row};
  }
  const struct {
    std::string_view command;
    std::string_view answer;
  } asked[] = {{"NAME", texts.name}, {"INF1", texts.maker}, {"INF2", texts.model},
               {"INFO", texts.info}, {"CLSS", "1"},         {"INST", kInputs}};
  for (const auto& [command, answer] : asked) {
    if (command != request.command) continue;
    if (request.parameter != "?") return std::string(kOutOfParameter);
    return std::string(answer);
  }
  const bool known = std::any_of(kTranslations.begin(), kTranslations.end(),
                                 [&request](const Translation& row) { return row.command == request.command; });
  return std::string(known ? kOutOfParameter : kUndefined);
}

std::string Answer(const Translation& row, const std::vector<ProjectorAnswer>& answers) {
  const auto nth = [&answers](std::size_t i) { return i < answers.size() ? answers[i] : ProjectorAnswer{}; };
  const ProjectorAnswer first = nth(0);
  if (const auto failed = Failed(first)) return *failed;
  switch (row.reading) {
    case Reading::Done:
      return first.kind == ProjectorAnswer::Kind::Ack ? "OK" : std::string(kFailure);
    case Reading::Power:
    case Reading::Errors: {
      const Status* status = StatusOf(first);
      if (status == nullptr || (row.reading == Reading::Power && status->power < 0)) return std::string(kFailure);
      return row.reading == Reading::Power ? std::to_string(status->power) : std::string(status->errors);
    }
    case Reading::Input:
      if (first.kind != ProjectorAnswer::Kind::Value || first.integer < 1 || first.integer > 9) return std::string(kFailure);
      return "1" + std::to_string(first.integer);
    case Reading::Mute: {
      const auto* mute = std::find_if(kMutes.begin(), kMutes.end(), [&first](const Mute& m) {
        return first.kind == ProjectorAnswer::Kind::Value && m.code == first.code;
      });
      return mute == kMutes.end() ? std::string(kFailure) : std::string(mute->avmt);
    }
    case Reading::Lamp: {
      const ProjectorAnswer second = nth(1);
      if (const auto failed = Failed(second)) return *failed;
      const Status* status = StatusOf(second);
      if (first.kind != ProjectorAnswer::Kind::Value || first.integer < 0 || status == nullptr) {
        return std::string(kFailure);
      }
      // The lamp burns while the projector is on and while it warms up.
      return std::to_string(first.integer) + (status->power == 1 || status->power == 3 ? " 1" : " 0");
    }
  }
  return std::string(kFailure);
}

std::string Answered(const Request& request, std::string_view body) {
  return std::string("%") + request.kind + request.command + "=" + std::string(body) + "\r";
}

std::string Greeting(std::optional<std::string_view> random) {
  return random ? "PJLINK 1 " + std::string(*random) + "\r" : "PJLINK 0\r";
}

}  // namespace pjlink
