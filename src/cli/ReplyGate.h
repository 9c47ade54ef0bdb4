#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <string>

#include "controller/SerialLink.h"
#include "exchange/ReplyDecoders.h"

// Bytes that reached no command's reply: the rest of a reply that came after its command's wait
// had ended, or bytes after a complete reply.
struct LateBytes {
  std::string command;  // the command they followed
  std::string bytes;    // the bytes, up to the most one reply may have
  std::size_t count = 0;
  bool owed = false;     // part of that command's reply, which came late
  bool complete = false;  // owed: the reply reached its CR
};

// The port as the command line's core sees it: the core receives only the bytes of the reply it
// is waiting for. A projector answers each frame once, in the order of the frames, so a reply
// that has not reached its CR when its command's wait ends is still owed. Once part of it has
// come, whatever comes next, up to a CR, is the rest of it. One that has not begun takes only a
// whole line with the shape of its answer; a line without it answers a later frame, and the
// replies owed before that frame will not come.
class ReplyGate : public SerialLink {
 public:
  // `limit`: the most the core keeps of one reply; a longer reply is cut there.
  ReplyGate(SerialLink& port, std::size_t limit);

  void SetPortNumber(std::int16_t port) override { port_.SetPortNumber(port); }
  void SetLineSettings(const std::string& settings) override { port_.SetLineSettings(settings); }
  bool IsOpen() const override { return port_.IsOpen(); }
  bool IsLost() const override { return port_.IsLost(); }
  void Open() override { port_.Open(); }
  void Close() override { port_.Close(); }
  void Write(const std::string& bytes) override { port_.Write(bytes); }
  std::string ReadAvailable() override;
  void DiscardInput() override { port_.DiscardInput(); }
  std::int16_t EventCode() const override { return port_.EventCode(); }
  bool OutputPending() const override { return port_.OutputPending(); }
  std::string PortName() const override { return port_.PortName(); }

  // Called with bytes that belong to no awaited reply: an owed reply once it reaches its CR,
  // anything else when FlushLate is called.
  void SetOnLate(std::function<void(const LateBytes&)> onLate) { onLate_ = std::move(onLate); }

  // Takes whatever the port holds now, as its events would have.
  void TakeWaiting();
  // A frame for `command` goes out next; `replyExpected` is false for a broadcast. `shape` tells
  // its answer from another frame's.
  void Expect(const std::string& command, bool replyExpected, ReplyShape shape = {});
  // Its wait has ended. A reply that has not reached its CR is owed from now on.
  void EndWait();

  bool Complete() const { return complete_; }    // the awaited reply reached its CR
  bool Truncated() const { return truncated_; }  // the awaited reply was cut at the limit
  bool Owing() const { return !owed_.empty(); }
  // Every byte taken from the port so far, whoever it went to.
  std::size_t Taken() const { return taken_; }
  // Reports the bytes that followed a complete reply, and with `andOwed` also the owed replies
  // as far as they came (the run is ending).
  void FlushLate(bool andOwed);

 private:
  void OnPortEvent();
  void Sort(std::string input);
  void Add(LateBytes& late, std::string_view bytes) const;

  SerialLink& port_;
  std::size_t limit_;
  std::function<void(const LateBytes&)> onLate_;
  std::string forCore_;  // the awaited reply's bytes the core has not yet read
  std::string command_;  // the last command sent
  ReplyShape shape_;
  bool awaiting_ = false;
  bool complete_ = false;
  bool truncated_ = false;
  std::size_t given_ = 0;     // bytes of the awaited reply handed to the core
  struct Owed {
    LateBytes late;
    bool cut = false;  // the rest of a reply cut at the limit: dropped, not reported as late
    ReplyShape shape;
    bool begun = false;  // part of it reached the core during its wait
    bool Begun() const { return cut || begun || late.count > 0; }
  };
  std::size_t taken_ = 0;
  std::string line_;  // a line not yet whole, while the first owed reply has not begun
  std::deque<Owed> owed_;
  LateBytes stray_;
};
