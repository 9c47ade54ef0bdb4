#include "cli/ReplyGate.h"

#include <algorithm>
#include <utility>

namespace {

LateBytes Following(const std::string& command, bool owed) {
  LateBytes late;
  late.command = command;
  late.owed = owed;
  return late;
}

}  // namespace

ReplyGate::ReplyGate(SerialLink& port, std::size_t limit) : port_(port), limit_(limit) {
  port_.SetOnComm([this] { OnPortEvent(); });
  port_.SetOnNotice([this](const std::string& text) { RaiseNotice(text); });
}

std::string ReplyGate::ReadAvailable() { return std::exchange(forCore_, {}); }

void ReplyGate::OnPortEvent() {
  if (port_.EventCode() != kDataReceived) {
    RaiseOnComm();
    return;
  }
  TakeWaiting();
}

void ReplyGate::TakeWaiting() {
  Sort(port_.ReadAvailable());
  // Only bytes of the awaited reply are news to the core: an event that brought none must not
  // count as an answer.
  if (!forCore_.empty()) RaiseOnComm();
}

void ReplyGate::Sort(std::string_view input) {
  // Up to and including the first CR, or all of it.
  const auto upToCr = [&input] {
    const std::size_t cr = input.find('\r');
    return cr == std::string_view::npos ? input.size() : cr + 1;
  };
  while (!input.empty()) {
    if (!owed_.empty()) {
      const std::size_t n = upToCr();
      Owed& owed = owed_.front();
      Add(owed.late, input.substr(0, n));
      owed.late.complete = input[n - 1] == '\r';
      input.remove_prefix(n);
      if (!owed.late.complete) continue;
      const Owed done = std::move(owed);
      owed_.pop_front();
      if (!done.cut && onLate_) onLate_(done.late);
    } else if (awaiting_ && !complete_) {
      const std::size_t n = upToCr();
      const std::size_t room = limit_ - given_;
      if (n > room) {
        // The core keeps no more of one reply; the rest of it, up to its CR, is dropped.
        forCore_.append(input.substr(0, room));
        input.remove_prefix(room);
        given_ = limit_;
        truncated_ = true;
        awaiting_ = false;
        owed_.push_back({Following(command_, true), true});
        continue;
      }
      forCore_.append(input.substr(0, n));
      given_ += n;
      complete_ = input[n - 1] == '\r';
      input.remove_prefix(n);
    } else {
      Add(stray_, input);
      input = {};
    }
  }
}

void ReplyGate::Add(LateBytes& late, std::string_view bytes) const {
  late.bytes.append(bytes.substr(0, limit_ - std::min(late.bytes.size(), limit_)));
  late.count += bytes.size();
}

void ReplyGate::Expect(const std::string& command, bool replyExpected) {
  command_ = command;
  awaiting_ = replyExpected;
  complete_ = false;
  truncated_ = false;
  given_ = 0;
  stray_ = Following(command, false);
}

void ReplyGate::EndWait() {
  if (awaiting_ && !complete_) {
    owed_.push_back({Following(command_, true)});
  }
  awaiting_ = false;
}

void ReplyGate::FlushLate(bool andOwed) {
  if (stray_.count > 0 && onLate_) onLate_(stray_);
  stray_ = Following(command_, false);
  if (!andOwed) return;
  for (const Owed& owed : owed_) {
    if (!owed.cut && owed.late.count > 0 && onLate_) onLate_(owed.late);
  }
  owed_.clear();
}
