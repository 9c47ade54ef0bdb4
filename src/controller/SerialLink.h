#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>

// A failing serial operation. The text is shown to the operator as it stands, so it says what
// went wrong and what to do about it.
class LinkError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The device went away under the operation (hung up, unplugged): the port is lost, not refused.
// Whatever the operation was, the program keeps running; the port comes back through the next
// transmit or port selection once the device is there again.
class LinkLost : public LinkError {
 public:
  using LinkError::LinkError;
};

// The port is not opened until the operator says which device it stands for: what is at its path
// is not the device kept for it. Choosing a device is the way on, not a new start.
class LinkRefused : public LinkError {
 public:
  using LinkError::LinkError;
};

// The operations the controller needs of a serial port. Every operation may throw LinkError;
// the caller's handler ends there and what it already did stays done.
//
// A port is open, closed (by the controller), or lost: closed by the link itself after the
// device hung up. A write on a lost port first tries once to open the device again, and only the
// device that was lost: another one now at the same place gets nothing, and the write fails. A
// port selection treats a lost port as an open one and opens whatever is there. What the link
// reports while it opens or closes a port itself belongs to that operation and never makes a
// port lost. A write fails when the device does not take the frame, whether at once (LinkError)
// or after it returned (a notice, below).
class SerialLink {
 public:
  static constexpr std::int16_t kDataReceived = 2;

  virtual ~SerialLink() = default;

  virtual void SetPortNumber(std::int16_t port) = 0;        // 1 or 2; only while closed
  virtual void SetLineSettings(const std::string& settings) = 0;  // "19200,N,8,1"; also while open
  virtual bool IsOpen() const = 0;
  // A link whose device cannot vanish is never lost.
  virtual bool IsLost() const { return false; }
  virtual void Open() = 0;
  virtual void Close() = 0;                                  // no-op on a closed port; a lost one becomes closed
  virtual void Write(const std::string& bytes) = 0;
  virtual std::string ReadAvailable() = 0;                   // everything received, not yet taken
  // Drops every byte received and not yet taken, what the driver still holds included: bytes
  // that came before a frame went out cannot be its answer. Nothing on a closed port.
  virtual void DiscardInput() = 0;
  virtual std::int16_t EventCode() const = 0;                // code of the event being notified
  // True while bytes written earlier have not yet left for the line, counting what the driver
  // still holds as well as the port's own buffer.
  virtual bool OutputPending() const = 0;
  // The port as the operator knows it, "COM1 (/dev/ttyS0)"; empty for a link that cannot say.
  virtual std::string PortName() const { return {}; }

  // Raised for every event of the port; every arrival of data raises it with EventCode 2.
  void SetOnComm(std::function<void()> handler) { onComm_ = std::move(handler); }

  // Something the operator must be told that no operation of the controller's can throw: a
  // failure that comes back after the operation returned (a write the driver could not deliver),
  // or a setting the device cannot take but the program can live with. The text is shown as a
  // warning, as it stands.
  void SetOnNotice(std::function<void(const std::string&)> handler) { onNotice_ = std::move(handler); }
  // The same, giving back the handler that had the events: a hand that borrows the line gives
  // them back when it is done.
  std::function<void()> ExchangeOnComm(std::function<void()> handler) { return std::exchange(onComm_, std::move(handler)); }
  std::function<void(const std::string&)> ExchangeOnNotice(std::function<void(const std::string&)> handler) {
    return std::exchange(onNotice_, std::move(handler));
  }

  // What becomes of the port without an operation of the controller's saying so: the link marked
  // it lost when the device went away, or a write opened the lost device again.
  enum class PortChange { Lost, Reopened };
  void SetOnPortChange(std::function<void(PortChange)> handler) { onPortChange_ = std::move(handler); }

  // While one lives, a write on a lost port fails at once instead of opening the device again.
  // The repeat tick sends under one: a held button must not try to open a vanished device at
  // every tick; the next press may.
  class NoReopen {
   public:
    explicit NoReopen(SerialLink& link) : link_(link), before_(link.reopenAllowed_) { link.reopenAllowed_ = false; }
    ~NoReopen() { link_.reopenAllowed_ = before_; }
    NoReopen(const NoReopen&) = delete;
    NoReopen& operator=(const NoReopen&) = delete;

   private:
    SerialLink& link_;
    bool before_;
  };

 protected:
  void RaiseOnComm() {
    if (onComm_) onComm_();
  }
  void RaiseNotice(const std::string& text) {
    if (onNotice_) onNotice_(text);
  }
  void RaisePortChange(PortChange change) {
    if (onPortChange_) onPortChange_(change);
  }
  bool ReopenAllowed() const { return reopenAllowed_; }

 private:
  std::function<void()> onComm_;
  std::function<void(const std::string&)> onNotice_;
  std::function<void(PortChange)> onPortChange_;
  bool reopenAllowed_ = true;
};
