#pragma once

#include <string>

// A pseudo-terminal pair: the panel opens SlavePath() as its serial device, the test plays the
// projector on the master end.
class Pty {
 public:
  Pty();
  ~Pty();
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;

  const std::string& SlavePath() const { return slavePath_; }
  // For a test that passes bytes on itself (a relay): the master end, non-blocking, and the slave
  // end the pair holds open.
  int MasterFd() const { return master_; }
  int SlaveFd() const { return slave_; }

  void Write(const std::string& bytes);
  // Reads what the panel has written, waiting up to timeoutMs for `count` bytes.
  std::string Read(std::size_t count, int timeoutMs = 3000);
  // Closes the master end, as a pulled cable or a vanished adapter would: the line hangs up and
  // SlavePath() is gone, for good while this pair lives.
  void HangUp();

 private:
  int master_ = -1;
  int slave_ = -1;  // kept open so the line does not hang up before the panel opens it, and its number
  std::string slavePath_;
};
