#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "controller/SerialLink.h"

// A serial link that records every call in order and fails where a test tells it to.
class FakeLink : public SerialLink {
 public:
  void SetPortNumber(std::int16_t port) override;
  void SetLineSettings(const std::string& settings) override;
  bool IsOpen() const override;
  void Open() override;
  void Close() override;
  void Write(const std::string& bytes) override;
  std::string ReadAvailable() override;
  std::int16_t EventCode() const override;

  // Delivers received characters with an event of the given code.
  void Receive(const std::string& input, std::int16_t code = kDataReceived);

  // Operation name ("Open", "Close", "SetPortNumber" ...) -> description it fails with.
  std::map<std::string, std::string> failures;
  std::set<int> missingPorts;  // Open fails on these port numbers

  std::vector<std::string> calls;  // "SetPortNumber 1", "Open", "Write C00\r" ...
  std::string wire;                // every byte written, in order
  bool open = false;
  int port = 0;
  std::string settings;

 private:
  void Fail(const std::string& operation) const;
  std::string pending_;
  std::int16_t code_ = 0;
};
