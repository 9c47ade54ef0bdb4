#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "FakeClock.h"
#include "controller/SerialLink.h"

// A serial link that records every call in order and fails where a test tells it to.
class FakeLink : public SerialLink {
 public:
  void SetPortNumber(std::int16_t port) override;
  void SetLineSettings(const std::string& settings) override;
  bool IsOpen() const override;
  bool IsLost() const override { return lost; }
  void Open() override;
  void Close() override;
  void Write(const std::string& bytes) override;
  std::string ReadAvailable() override;
  void DiscardInput() override {
    calls.push_back("DiscardInput");
    pending_.clear();
  }
  std::int16_t EventCode() const override;
  bool OutputPending() const override;

  // Models a line that drains at a fixed rate on the fake clock: each written byte takes
  // `msPerByte` to leave. Without it, output is pending only while `outputPending` is set.
  void DrainAt(const FakeClock& clock, double msPerByte) {
    clock_ = &clock;
    msPerByte_ = msPerByte;
  }
  bool outputPending = false;
  double PendingBytes() const;

  // Tells the operator something no operation threw, as a link does when a failure comes later.
  void Notice(const std::string& text) { RaiseNotice(text); }

  // Delivers received characters with an event of the given code.
  void Receive(const std::string& input, std::int16_t code = kDataReceived);

  // Operation name ("Open", "Close", "SetPortNumber" ...) -> description it fails with.
  std::map<std::string, std::string> failures;
  std::map<std::string, std::string> refusals;  // operation -> the text of its LinkRefused
  // Operation name -> description it fails with as the device goes away: LinkLost, port lost.
  std::map<std::string, std::string> losses;
  std::set<int> missingPorts;  // Open, and the reopen of a lost port, fail on these port numbers

  std::vector<std::string> calls;  // "SetPortNumber 1", "Open", "Write C00\r" ...
  std::string wire;                // every byte written, in order
  bool open = false;
  bool lost = false;  // a write tries one reopen ("Reopen" in calls) unless under SerialLink::NoReopen
  int port = 0;
  std::string settings;

 private:
  void Fail(const std::string& operation);
  const FakeClock* clock_ = nullptr;
  double msPerByte_ = 0;
  double drainedAt_ = 0;  // when the last written byte will have left
  std::string pending_;
  std::int16_t code_ = 0;
};
