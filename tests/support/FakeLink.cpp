#include "FakeLink.h"

#include <algorithm>
#include <utility>

void FakeLink::Fail(const std::string& operation) {
  if (auto it = failures.find(operation); it != failures.end()) throw LinkError(it->second);
  if (auto it = refusals.find(operation); it != refusals.end()) throw LinkRefused(it->second);
  if (auto it = losses.find(operation); it != losses.end()) {
    open = false;
    lost = true;
    throw LinkLost(it->second);
  }
}

void FakeLink::SetPortNumber(std::int16_t number) {
  calls.push_back("SetPortNumber " + std::to_string(number));
  Fail("SetPortNumber");
  port = number;
}

void FakeLink::SetLineSettings(const std::string& value) {
  calls.push_back("SetLineSettings " + value);
  Fail("SetLineSettings");
  settings = value;
}

bool FakeLink::IsOpen() const {
  const_cast<FakeLink*>(this)->calls.push_back("IsOpen");
  return open;
}

void FakeLink::Open() {
  calls.push_back("Open");
  Fail("Open");
  if (missingPorts.count(port) != 0) throw LinkError("COM" + std::to_string(port) + " does not exist");
  open = true;
  lost = false;
}

void FakeLink::Close() {
  calls.push_back("Close");
  Fail("Close");
  open = false;
  lost = false;
}

void FakeLink::Write(const std::string& bytes) {
  calls.push_back("Write " + bytes);
  Fail("Write");
  if (lost) {
    if (!ReopenAllowed()) throw LinkLost("COM" + std::to_string(port) + " was lost");
    calls.push_back("Reopen");
    if (missingPorts.count(port) != 0) throw LinkLost("COM" + std::to_string(port) + " was lost and is still missing");
    open = true;
    lost = false;
  }
  if (!open) throw LinkError("port is not open");
  wire += bytes;
  if (clock_ != nullptr) {
    drainedAt_ = std::max(drainedAt_, static_cast<double>(clock_->Now())) + msPerByte_ * static_cast<double>(bytes.size());
  }
}

bool FakeLink::OutputPending() const { return outputPending || PendingBytes() > 0; }

double FakeLink::PendingBytes() const {
  if (clock_ == nullptr) return 0;
  return std::max(0.0, drainedAt_ - static_cast<double>(clock_->Now())) / msPerByte_;
}

std::string FakeLink::ReadAvailable() {
  calls.push_back("ReadAvailable");
  return std::exchange(pending_, {});
}

std::int16_t FakeLink::EventCode() const { return code_; }

void FakeLink::Receive(const std::string& input, std::int16_t code) {
  pending_ += input;
  code_ = code;
  RaiseOnComm();
}
