#include "network/HandOver.h"

#include <algorithm>
#include <cstdint>

namespace hand_over {

namespace {

constexpr std::string_view kMagic = "PPH1";
constexpr std::size_t kHeader = kMagic.size() + 4;

void PutNumber(std::string& out, std::int64_t value) {
  const auto bits = static_cast<std::uint32_t>(static_cast<std::int32_t>(value));
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((bits >> shift) & 0xFF));
}

void PutText(std::string& out, std::string_view text) {
  PutNumber(out, static_cast<std::int64_t>(text.size()));
  out.append(text);
}

std::string Framed(const std::string& body) {
  std::string message(kMagic);
  PutNumber(message, static_cast<std::int64_t>(body.size()));
  return message + body;
}

// Reads the fields of a body in order; the first field that is not there, or is too long for
// what is left, marks the whole body as bad.
class Reader {
 public:
  explicit Reader(std::string_view body) : body_(body) {}

  std::int32_t Number() {
    if (body_.size() < 4) return Fail();
    std::uint32_t bits = 0;
    for (int i = 3; i >= 0; --i) bits = (bits << 8) | static_cast<unsigned char>(body_[static_cast<std::size_t>(i)]);
    body_.remove_prefix(4);
    return static_cast<std::int32_t>(bits);
  }
  std::string Text() {
    const std::int32_t size = Number();
    if (size < 0 || static_cast<std::size_t>(size) > body_.size()) return Fail(), std::string();
    std::string text(body_.substr(0, static_cast<std::size_t>(size)));
    body_.remove_prefix(static_cast<std::size_t>(size));
    return text;
  }
  bool Flag() {
    const std::int32_t value = Number();
    if (value != 0 && value != 1) Fail();
    return value == 1;
  }
  bool Good() const { return good_ && body_.empty(); }

 private:
  std::int32_t Fail() {
    good_ = false;
    body_ = {};
    return 0;
  }
  std::string_view body_;
  bool good_ = true;
};

// The body of the message at the start of `bytes`, if it is whole.
std::variant<NeedMore, Malformed, std::string_view> Body(std::string_view bytes) {
  if (bytes.substr(0, kMagic.size()) != kMagic.substr(0, std::min(bytes.size(), kMagic.size()))) {
    return Malformed{"not a request of projector-panel"};
  }
  if (bytes.size() < kHeader) return NeedMore{};
  Reader header(bytes.substr(kMagic.size(), 4));
  const auto size = static_cast<std::uint32_t>(header.Number());
  if (size > kLongestMessage) return Malformed{"longer than " + std::to_string(kLongestMessage) + " bytes"};
  if (bytes.size() - kHeader < size) return NeedMore{};
  return bytes.substr(kHeader, size);
}

}  // namespace

std::string Encode(const Request& request) {
  std::string body;
  PutText(body, request.device);
  PutNumber(body, request.port);
  PutNumber(body, request.speed);
  PutNumber(body, request.speedGiven ? 1 : 0);
  PutText(body, request.address);
  PutNumber(body, request.json ? 1 : 0);
  PutNumber(body, request.timeoutMs.value_or(-1));
  PutNumber(body, request.log ? 1 : 0);
  PutText(body, request.log.value_or(""));
  PutNumber(body, static_cast<std::int64_t>(request.commands.size()));
  for (const std::string& command : request.commands) PutText(body, command);
  PutNumber(body, request.lend ? 1 : 0);
  PutNumber(body, request.probe ? 1 : 0);
  PutText(body, request.hand);
  return Framed(body);
}

std::string Encode(const Reply& reply) {
  std::string body;
  PutNumber(body, reply.exit);
  PutText(body, reply.out);
  PutText(body, reply.err);
  return Framed(body);
}

std::variant<NeedMore, Malformed, Request> DecodeRequest(std::string_view bytes) {
  const auto body = Body(bytes);
  if (std::holds_alternative<NeedMore>(body)) return NeedMore{};
  if (const auto* bad = std::get_if<Malformed>(&body)) return *bad;
  Reader read(std::get<std::string_view>(body));
  Request request;
  request.device = read.Text();
  request.port = read.Number();
  request.speed = read.Number();
  request.speedGiven = read.Flag();
  request.address = read.Text();
  request.json = read.Flag();
  // One way to say each thing: what encodes back to other bytes is no request of ours.
  const std::int32_t timeout = read.Number();
  if (timeout < -1) return Malformed{"its fields do not add up"};
  if (timeout >= 0) request.timeoutMs = timeout;
  const bool log = read.Flag();
  std::string file = read.Text();
  if (!log && !file.empty()) return Malformed{"its fields do not add up"};
  if (log) request.log = std::move(file);
  const std::int32_t count = read.Number();
  if (count < 0 || static_cast<std::size_t>(count) > kMostCommands) return Malformed{"too many commands"};
  for (std::int32_t i = 0; i < count; ++i) request.commands.push_back(read.Text());
  request.lend = read.Flag();
  request.probe = read.Flag();
  request.hand = read.Text();
  if (!read.Good()) return Malformed{"its fields do not add up"};
  return request;
}

std::variant<NeedMore, Malformed, Reply> DecodeReply(std::string_view bytes) {
  const auto body = Body(bytes);
  if (std::holds_alternative<NeedMore>(body)) return NeedMore{};
  if (const auto* bad = std::get_if<Malformed>(&body)) return *bad;
  Reader read(std::get<std::string_view>(body));
  Reply reply;
  reply.exit = read.Number();
  reply.out = read.Text();
  reply.err = read.Text();
  if (!read.Good()) return Malformed{"its fields do not add up"};
  return reply;
}

}  // namespace hand_over
