#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

// A failing serial operation. The text is shown to the operator as it stands, so it says what
// went wrong and what to do about it.
class LinkError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The operations the controller needs of a serial port. Every operation may throw LinkError;
// the caller's handler ends there and what it already did stays done.
class SerialLink {
 public:
  static constexpr std::int16_t kDataReceived = 2;

  virtual ~SerialLink() = default;

  virtual void SetPortNumber(std::int16_t port) = 0;        // 1 or 2; only while closed
  virtual void SetLineSettings(const std::string& settings) = 0;  // "19200,N,8,1"; also while open
  virtual bool IsOpen() const = 0;
  virtual void Open() = 0;
  virtual void Close() = 0;                                  // no-op on a closed port
  virtual void Write(const std::string& bytes) = 0;
  virtual std::string ReadAvailable() = 0;                   // everything received, not yet taken
  virtual std::int16_t EventCode() const = 0;                // code of the event being notified
  // True while bytes written earlier have not yet left for the line, counting what the driver
  // still holds as well as the port's own buffer.
  virtual bool OutputPending() const = 0;

  // Raised for every event of the port; every arrival of data raises it with EventCode 2.
  void SetOnComm(std::function<void()> handler) { onComm_ = std::move(handler); }

 protected:
  void RaiseOnComm() {
    if (onComm_) onComm_();
  }

 private:
  std::function<void()> onComm_;
};
