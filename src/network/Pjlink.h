#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// The projector as a PJLink Class 1 device: the network face reads the standard's request lines,
// translates each into the projector's own commands and queries (one table, `kTranslations`, which
// docs/pjlink.md shows too), and makes the standard's answer from the replies the panel decoded.
// Plain C++ with bounds on everything: a client may send anything.
namespace pjlink {

inline constexpr int kStandardPort = 4352;
// A request line at most, its CR included: "%1", four letters, a blank, 128 bytes of parameter, CR.
inline constexpr std::size_t kLongestLine = 136;
inline constexpr std::size_t kDigestLength = 32;  // MD5 in lower-case hex
inline constexpr std::size_t kLongestPassword = 32;

// Cuts the bytes a client sends into lines at CR. A line longer than the standard's longest is
// no request: it is dropped, up to and including its CR, without keeping more than that many bytes.
class LineReader {
 public:
  // The whole lines `bytes` completes, without their CR.
  std::vector<std::string> Feed(std::string_view bytes);
  // Lines dropped as too long so far.
  std::size_t Dropped() const { return dropped_; }

 private:
  std::string line_;
  bool overlong_ = false;
  std::size_t dropped_ = 0;
};

// A line split into the authentication digest in front (empty when none) and the rest.
struct Digested {
  std::string_view digest;
  std::string_view rest;
};
Digested SplitDigest(std::string_view line);

struct Request {
  char kind = '1';        // the class digit after '%'
  std::string command;    // four characters
  std::string parameter;  // after the blank
};
// A line that is a request, or nothing when it is no PJLink line at all (no "%", a class that
// is no digit, fewer than four command characters): such a line gets no answer.
std::optional<Request> ReadRequest(std::string_view line);

// The operator's texts, answered as they are.
struct Texts {
  std::string name;  // NAME
  std::string maker;  // INF1
  std::string model;  // INF2
  std::string info;  // INFO
};
// Why `text` cannot be answered as `what` (too long for the standard, or a control character in
// it); nothing when it can.
std::optional<std::string> TextProblem(std::string_view what, std::string_view text, std::size_t longest);

// What a PJLink answer is made of.
enum class Reading {
  Done,     // a command: OK once the projector acknowledged it
  Power,    // POWR ?: 0 stand by, 1 on, 2 cooling down, 3 warming up, from the operating status
  Input,    // INPT ?: "1n" from the input mode
  Mute,     // AVMT ?: 11, 21, 31 or 30 from the mute and signal setting
  Errors,   // ERST ?: six digits from the operating status
  Lamp,     // LAMP ?: the lamp hours, then 1 when the lamp is lit
};

// One row of the translation.
struct Translation {
  std::string_view command;  // "POWR"
  std::string_view parameter;  // the parameter exactly
  std::array<std::string_view, 2> sent;  // the projector's commands, by the names --send takes; "" for none
  Reading reading;
};
inline constexpr std::array<Translation, 15> kTranslations{{
    {"POWR", "1", {"power-on", ""}, Reading::Done},
    {"POWR", "0", {"power-off", ""}, Reading::Done},
    {"POWR", "?", {"status", ""}, Reading::Power},
    {"INPT", "11", {"input-1", ""}, Reading::Done},
    {"INPT", "12", {"input-2", ""}, Reading::Done},
    {"INPT", "13", {"input-3", ""}, Reading::Done},
    {"INPT", "14", {"input-4", ""}, Reading::Done},
    {"INPT", "?", {"input-mode", ""}, Reading::Input},
    // The projector blanks its picture with NO SHOW, and reports that as video mute; it has no
    // command of its own for the sound, so audio alone (21, 20) is out of its range.
    {"AVMT", "11", {"no-show-on", ""}, Reading::Done},
    {"AVMT", "10", {"no-show-off", ""}, Reading::Done},
    {"AVMT", "31", {"no-show-on", ""}, Reading::Done},
    {"AVMT", "30", {"no-show-off", ""}, Reading::Done},
    {"AVMT", "?", {"mute-signal", ""}, Reading::Mute},
    {"ERST", "?", {"status", ""}, Reading::Errors},
    {"LAMP", "?", {"lamp-hours", "status"}, Reading::Lamp},
}};

// The inputs INST lists: the four INPUT MODE SET buttons.
inline constexpr std::string_view kInputs = "11 12 13 14";

// What a request comes to: an answer now, or the projector's commands to send first.
struct Ask {
  const Translation* row;
};
using Step = std::variant<std::string, Ask>;  // the string: the answer's body, after "="
Step Plan(const Request& request, const Texts& texts);

// A command's outcome as the panel decoded it.
struct ProjectorAnswer {
  enum class Kind { Ack, Err, Value, None };  // None: no whole reply, or none of this shape, or the line failed
  Kind kind = Kind::None;
  std::string code;        // a coded value's two characters ("80")
  long long integer = -1;  // a numeric value (-1: none)
};
// The body of the answer to `row`, from the outcomes of its commands, in order (missing ones
// count as no reply): never a value the projector did not give.
std::string Answer(const Translation& row, const std::vector<ProjectorAnswer>& answers);

// The whole line that answers `request` with `body`.
std::string Answered(const Request& request, std::string_view body);

// Greetings and the refusal of a wrong password.
std::string Greeting(std::optional<std::string_view> random);
inline constexpr std::string_view kAuthorisationError = "PJLINK ERRA\r";

inline constexpr std::string_view kUndefined = "ERR1";
inline constexpr std::string_view kOutOfParameter = "ERR2";
inline constexpr std::string_view kUnavailable = "ERR3";
inline constexpr std::string_view kFailure = "ERR4";

}  // namespace pjlink
