#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sim {

// The projector's end of the serial line: the master of a new pseudo terminal, or a real serial
// device. Raw 8N1: every byte passes unchanged both ways. Failures throw std::runtime_error.
class Line {
 public:
  // A pseudo terminal when `device` is empty; `baud` applies to a device only.
  Line(const std::optional<std::string>& device, int baud);
  ~Line();
  Line(const Line&) = delete;
  Line& operator=(const Line&) = delete;

  int Fd() const { return fd_; }
  // The path a client opens: the pseudo terminal's other end, or the device itself.
  const std::string& ClientPath() const { return clientPath_; }

  // What has arrived; empty when nothing has. Throws when the device has gone away.
  std::string Read();
  // As much of `bytes` as the line takes now; returns how many it took.
  std::size_t Write(std::string_view bytes);
  // Gives the client a moment to take what was written, then closes the line: a client on the
  // pseudo terminal sees a hang-up, as if the cable had been pulled.
  void HangUp();

 private:
  int fd_ = -1;
  int clientFd_ = -1;  // our own hold on the pseudo terminal's other end; see the constructor
  std::string clientPath_;
};

}  // namespace sim
