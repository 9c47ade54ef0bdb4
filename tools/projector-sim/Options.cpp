#include "Options.h"

#include <charconv>
#include <functional>
#include <map>
#include <type_traits>

namespace sim {

const char* const kUsage =
    "Usage: projector-sim [OPTION]...\n"
    "\n"
    "Plays a projector on a serial line. Prints the device a client opens on its first line.\n"
    "\n"
    "  --device PATH        attach to this serial device instead of a new pseudo terminal\n"
    "  --baud N             line speed on --device: 19200 (default) or 9600\n"
    "  --address N          answer only to A00N (1..4), unprefixed frames and act on AFFF\n"
    "  --warmup-ms MS       count down after power on (default 5000)\n"
    "  --cooldown-ms MS     cooling down after power off (default 5000)\n"
    "  --lamp-hours H       lamp hours at start (default 1234)\n"
    "  --ambient C          room temperature (default 25.0)\n"
    "  --pressure-hpa P     air pressure (default 1013)\n"
    "  --ceiling            mounted upside down (top/bottom reversal)\n"
    "  --rear               rear projection (left/right reversal)\n"
    "  --reply-delay MS     answer this long after a frame arrived\n"
    "  --split              send each reply in three pieces\n"
    "  --split-gap MS       gap between the pieces (default 40)\n"
    "  --silent             never answer\n"
    "  --garbage            sprinkle stray bytes into replies\n"
    "  --ff-before-cr       put a 0xFF byte before the CR of every reply\n"
    "  --hangup-after N     hang the line up after answering N frames\n"
    "  --help               show this help and exit\n"
    "  --version            show the version and exit\n";

namespace {

template <typename Number>
bool ParseNumber(const std::string& text, Number& out) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, out);
  return ec == std::errc() && ptr == end && !text.empty();
}

}  // namespace

std::variant<Options, std::string> ParseOptions(const std::vector<std::string>& args) {
  Options o;
  using Setter = std::function<bool(const std::string&)>;
  const auto count = [](auto& field, long long lo, long long hi) {
    return Setter([&field, lo, hi](const std::string& v) {
      long long n = 0;
      if (!ParseNumber(v, n) || n < lo || n > hi) return false;
      field = static_cast<std::remove_reference_t<decltype(field)>>(n);
      return true;
    });
  };
  const auto real = [](double& field, double lo, double hi) {
    return Setter([&field, lo, hi](const std::string& v) {
      double x = 0;
      return ParseNumber(v, x) && x >= lo && x <= hi && (field = x, true);
    });
  };
  constexpr long long kDay = 24LL * 3600 * 1000;
  const std::map<std::string, Setter> valued{
      {"--device", [&o](const std::string& v) { return !v.empty() && (o.device = v, true); }},
      {"--baud", [&o](const std::string& v) { return (v == "19200" || v == "9600") && ParseNumber(v, o.baud); }},
      {"--address", Setter([&o](const std::string& v) {
         int n = 0;
         if (v.size() != 3 || !ParseNumber(v, n) || n < 1 || n > 4) return false;
         o.address = n;
         return true;
       })},
      {"--warmup-ms", count(o.warmupMs, 0, kDay)},
      {"--cooldown-ms", count(o.cooldownMs, 0, kDay)},
      {"--lamp-hours", count(o.lampHours, 0, 99999)},
      {"--ambient", real(o.ambientC, -40, 60)},
      {"--pressure-hpa", real(o.pressureHpa, 106, 1194)},
      {"--reply-delay", count(o.replyDelayMs, 0, kDay)},
      {"--split-gap", count(o.splitGapMs, 0, 10000)},
      {"--hangup-after", count(o.hangupAfter, 1, 1000000000)},
  };
  const std::map<std::string, bool*> flags{
      {"--ceiling", &o.ceiling}, {"--rear", &o.rear},       {"--split", &o.split},
      {"--silent", &o.silent},   {"--garbage", &o.garbage}, {"--help", &o.help},
      {"--version", &o.version}, {"--ff-before-cr", &o.ffBeforeCr},
  };

  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (auto f = flags.find(arg); f != flags.end()) {
      *f->second = true;
    } else if (auto v = valued.find(arg); v != valued.end()) {
      if (i + 1 == args.size()) return arg + " needs a value";
      if (!v->second(args[++i])) return "invalid value for " + arg + ": " + args[i];
    } else {
      return "unknown option: " + arg;
    }
  }
  return o;
}

}  // namespace sim
