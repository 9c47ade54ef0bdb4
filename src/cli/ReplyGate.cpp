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

void ReplyGate::Sort(std::string input) {
  taken_ += input.size();
  std::size_t at = 0;
  // Up to and including the next CR, or all that is left.
  const auto upToCr = [&input, &at] {
    const std::size_t cr = input.find('\r', at);
    return cr == std::string::npos ? input.size() - at : cr + 1 - at;
  };
  while (at < input.size()) {
    if (!owed_.empty() && owed_.front().Begun()) {
      const std::size_t n = upToCr();
      Owed& owed = owed_.front();
      Add(owed.late, std::string_view(input).substr(at, n));
      at += n;
      owed.late.complete = input[at - 1] == '\r';
      if (!owed.late.complete) continue;
      const Owed done = std::move(owed);
      owed_.pop_front();
      if (!done.cut && onLate_) onLate_(done.late);
    } else if (!owed_.empty()) {
      const std::size_t n = upToCr();
      line_.append(input, at, n);
      at += n;
      if (line_.back() != '\r') continue;
      std::string line = std::exchange(line_, {});
      const auto fits = std::find_if(owed_.begin(), owed_.end(), [&line](const Owed& o) { return o.shape.Fits(line); });
      if (fits == owed_.end()) {
        // A later frame's answer: those owed before it were passed over and will not come.
        owed_.clear();
        input = line + input.substr(at);
        at = 0;
        continue;
      }
      owed_.erase(owed_.begin(), fits);
      Owed done = std::move(owed_.front());
      owed_.pop_front();
      Add(done.late, line);
      done.late.complete = true;
      if (onLate_) onLate_(done.late);
    } else if (awaiting_ && !complete_) {
      const std::size_t n = upToCr();
      const std::size_t room = limit_ - given_;
      if (n > room) {
        // The core keeps no more of one reply; the rest of it, up to its CR, is dropped.
        forCore_.append(input, at, room);
        at += room;
        given_ = limit_;
        truncated_ = true;
        awaiting_ = false;
        owed_.push_back({Following(command_, true), true, shape_});
        continue;
      }
      forCore_.append(input, at, n);
      given_ += n;
      at += n;
      complete_ = input[at - 1] == '\r';
    } else {
      Add(stray_, std::string_view(input).substr(at));
      at = input.size();
    }
  }
}

void ReplyGate::Add(LateBytes& late, std::string_view bytes) const {
  late.bytes.append(bytes.substr(0, limit_ - std::min(late.bytes.size(), limit_)));
  late.count += bytes.size();
}

void ReplyGate::Expect(const std::string& command, bool replyExpected, ReplyShape shape) {
  command_ = command;
  shape_ = shape;
  awaiting_ = replyExpected;
  complete_ = false;
  truncated_ = false;
  given_ = 0;
  stray_ = Following(command, false);
}

void ReplyGate::EndWait() {
  if (awaiting_ && !complete_) {
    owed_.push_back({Following(command_, true), false, shape_, given_ > 0});
  }
  awaiting_ = false;
}

void ReplyGate::FlushLate(bool andOwed) {
  if (stray_.count > 0 && onLate_) onLate_(stray_);
  stray_ = Following(command_, false);
  if (!andOwed) return;
  // A line begun for no owed reply in particular goes with the first, as far as it came.
  if (!line_.empty() && !owed_.empty()) Add(owed_.front().late, std::exchange(line_, {}));
  for (const Owed& owed : owed_) {
    if (!owed.cut && owed.late.count > 0 && onLate_) onLate_(owed.late);
  }
  owed_.clear();
  line_.clear();
}
