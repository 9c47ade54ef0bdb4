#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// What passes between a --send run and the process that holds its port (the holder serves every
// script of its user through a local socket): the run's request, and what the run printed and
// its status. Each is one message: "PPH1", the body's length (4 bytes, little-endian), the body.
// Plain C++ with bounds on everything, since a peer may send anything.
namespace hand_over {

// The most one message may have: far more than any command line a shell passes, far less than
// a peer could make the holder keep.
inline constexpr std::size_t kLongestMessage = 256 * 1024;
inline constexpr std::size_t kMostCommands = 4096;

struct Request {
  std::string device;  // the port's device, as the run names it
  int port = 1;
  int speed = 19200;
  bool speedGiven = false;
  std::string address = "SINGLE";  // the address selector's caption
  bool json = false;
  std::optional<int> timeoutMs;
  std::optional<std::string> log;
  std::vector<std::string> commands;
  // Not a run: a window that is starting asks the holder for the line itself. The holder
  // finishes the run in progress, closes the port and answers; it hands later runs to the window
  // and takes the line back when the window has gone.
  bool lend = false;
  // Not a run either: whether the holder has `device` open (a network serial device has no lock
  // file to say who holds it). Exit 0 when it has.
  bool probe = false;
  // The hand a holder passes the run on for (a PJLink client, while --serve has lent the line to
  // a window), as the log names it; empty: the process that asks.
  std::string hand;

  bool operator==(const Request&) const = default;
};

struct Reply {
  int exit = 0;
  std::string out;  // standard output, as a direct run prints it
  std::string err;  // standard error

  bool operator==(const Reply&) const = default;
};

std::string Encode(const Request& request);
std::string Encode(const Reply& reply);

// Not yet a whole message: read more.
struct NeedMore {};
// The bytes can never become a message: why.
struct Malformed {
  std::string why;
};

// Reads the message at the start of `bytes`; what comes after it is ignored.
std::variant<NeedMore, Malformed, Request> DecodeRequest(std::string_view bytes);
std::variant<NeedMore, Malformed, Reply> DecodeReply(std::string_view bytes);

}  // namespace hand_over
