#pragma once

#include <ostream>
#include <streambuf>
#include <string_view>

// An unbuffered stream on a file descriptor that keeps the error of its first failed write, so
// that a run can tell a closed pipe from a full disk.
class FdStreamBuf : public std::streambuf {
 public:
  explicit FdStreamBuf(int fd) : fd_(fd) {}
  int Error() const { return error_; }

 protected:
  int overflow(int c) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;

 private:
  int fd_;
  int error_ = 0;
};

// Why the last writes to `out` failed (an errno value), or 0 when they did not.
int WriteError(std::ostream& out);

// Writes `text` to standard output and gives the exit status: 0, or 1 when it could not be
// written (said on standard error). For what the program prints and then ends with: the help,
// the version, the lists.
int PrintOut(std::string_view text);
