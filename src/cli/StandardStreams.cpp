#include "cli/StandardStreams.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

int FdStreamBuf::overflow(int c) {
  if (c == traits_type::eof()) return traits_type::not_eof(c);
  const char byte = static_cast<char>(c);
  return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
}

std::streamsize FdStreamBuf::xsputn(const char* s, std::streamsize n) {
  if (error_ != 0) return 0;
  std::streamsize done = 0;
  while (done < n) {
    const ssize_t written = ::write(fd_, s + done, static_cast<std::size_t>(n - done));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      error_ = written < 0 ? errno : EIO;
      break;
    }
    done += written;
  }
  return done;
}

int WriteError(std::ostream& out) {
  if (const auto* buffer = dynamic_cast<const FdStreamBuf*>(out.rdbuf()); buffer != nullptr && buffer->Error() != 0) {
    return buffer->Error();
  }
  return out.good() ? 0 : EIO;
}

int PrintOut(std::string_view text) {
  FdStreamBuf buffer(STDOUT_FILENO);
  std::ostream out(&buffer);
  out << text;
  if (const int error = WriteError(out)) {
    std::cerr << "projector-panel: standard output could not be written (" << std::strerror(error)
              << "); send it to a file or a program that can take it\n";
    return 1;
  }
  return 0;
}
