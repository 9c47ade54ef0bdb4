#pragma once

#include <string>

#include "controller/SerialLink.h"

// The holder's open port as one hand's session sees it: the hand's frames and replies pass, but
// what would change the line under its holder does not. The session's own choice of port and
// speed and its open and close find the port as they want it: open, on the held device, at the
// held speed (a hand that asks for another speed is refused before it gets here).
class HeldLink : public SerialLink {
 public:
  explicit HeldLink(SerialLink& held) : held_(held) { Borrow(); }
  // The events go back to whoever had them before.
  ~HeldLink() override { GiveBack(); }

  // Between two of the run's exchanges another hand may have the line, and its events.
  void GiveBack() {
    if (!borrowed_) return;
    held_.ExchangeOnComm(std::move(onComm_));
    held_.ExchangeOnNotice(std::move(onNotice_));
    borrowed_ = false;
  }
  void Borrow() {
    if (borrowed_) return;
    onComm_ = held_.ExchangeOnComm([this] { RaiseOnComm(); });
    onNotice_ = held_.ExchangeOnNotice([this](const std::string& text) { RaiseNotice(text); });
    borrowed_ = true;
  }
  HeldLink(const HeldLink&) = delete;
  HeldLink& operator=(const HeldLink&) = delete;

  void SetPortNumber(std::int16_t) override {}
  void SetLineSettings(const std::string&) override {}
  bool IsOpen() const override { return held_.IsOpen() || held_.IsLost(); }
  bool IsLost() const override { return held_.IsLost(); }
  void Open() override {}
  void Close() override {}
  void Write(const std::string& bytes) override { held_.Write(bytes); }
  std::string ReadAvailable() override { return held_.ReadAvailable(); }
  void DiscardInput() override { held_.DiscardInput(); }
  std::int16_t EventCode() const override { return held_.EventCode(); }
  bool OutputPending() const override { return held_.OutputPending(); }
  std::string PortName() const override { return held_.PortName(); }

 private:
  SerialLink& held_;
  std::function<void()> onComm_;
  std::function<void(const std::string&)> onNotice_;
  bool borrowed_ = false;
};
