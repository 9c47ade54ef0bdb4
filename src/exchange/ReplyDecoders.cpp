#include "exchange/ReplyDecoders.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <span>
#include <string_view>

#include "exchange/Pressure.h"
#include "exchange/Render.h"
#include "exchange/ReplyTables.h"

namespace {

// Positions count from 1; past the end they give what exists there, or nothing.
std::string_view Left(std::string_view r, std::size_t n) { return r.substr(0, std::min(n, r.size())); }

std::string_view Mid(std::string_view r, std::size_t position, std::size_t n) {
  if (position > r.size()) return {};
  return r.substr(position - 1, n);
}

// The row whose key the reply begins with, or none.
const ReplyText* MatchRow(std::span<const ReplyText> table, std::size_t keyLength, std::string_view r) {
  const std::string_view key = Left(r, keyLength);
  const auto row = std::find_if(table.begin(), table.end(), [key](const ReplyText& t) { return t.key == key; });
  return row == table.end() ? nullptr : &*row;
}

StatusWrite FromTable(std::span<const ReplyText> table, std::size_t keyLength, std::string_view r,
                      std::string& statusLine) {
  const ReplyText* row = MatchRow(table, keyLength, r);
  if (row == nullptr) return StatusWrite::Kept;
  statusLine = row->text;
  return StatusWrite::Written;
}

// The cut fields both forms are made of: the lamp hours' first 19 reply characters, and the four
// temperature readings at their fixed places.
std::string_view LampHoursField(std::string_view r) { return Left(r, 38); }

constexpr std::size_t kTemperatureWidth = 8;  // S2 to S4, rendered

std::array<std::string_view, 4> TemperatureFields(std::string_view r) {
  return {Left(r, 10), Mid(r, 15, kTemperatureWidth), Mid(r, 28, kTemperatureWidth), Mid(r, 41, kTemperatureWidth)};
}

void LampHours(std::string_view r, std::string& statusLine) {
  statusLine = std::string(LampHoursField(r)) + " Hour Use";
}

void Temperatures(std::string_view r, std::string& statusLine) {
  const auto f = TemperatureFields(r);
  statusLine = "  S1=" + std::string(f[0]) + " C  ,   S2= " + std::string(f[1]) + " C  ,   S3= " +
               std::string(f[2]) + " C  ,   S4= " + std::string(f[3]) + " C ";
}

void Pressure(double reading, ControllerState& state, std::string& statusLine) {
  const long long hpa = PressureHpa(reading);
  // The record keeps a 16-bit working value; the line shows the true result even where that
  // does not fit.
  constexpr long long lo = std::numeric_limits<std::int16_t>::min();
  constexpr long long hi = std::numeric_limits<std::int16_t>::max();
  state.PressureReading = static_cast<std::int16_t>(std::clamp(hpa, lo, hi));
  statusLine = std::to_string(hpa) + " hPa";
}

struct QueryText {
  std::string_view command;
  ReplyQuery query;
};

// In the order they are tried.
constexpr QueryText kQueries[] = {
    {"CR0", ReplyQuery::Status},      {"CR1", ReplyQuery::Mode},         {"CR4", ReplyQuery::Setting},
    {"CR3", ReplyQuery::LampTime},    {"CR6", ReplyQuery::Temperature},  {"CRA", ReplyQuery::Setting2},
    {"CR9", ReplyQuery::PcType},      {"CR PRESSURE", ReplyQuery::Pressure}, {"CR7", ReplyQuery::LampMode},
};

}  // namespace

ReplyQuery SelectQuery(const ControllerState& state) {
  // The same comparison as with BuildFrame(prefix, command), without building nine frames at
  // every receive event.
  const std::string_view frame = state.TxFrame;
  const std::string_view prefix = state.AddressPrefix;
  for (const QueryText& q : kQueries) {
    if (frame.size() == prefix.size() + q.command.size() + 1 && frame.starts_with(prefix) &&
        frame.substr(prefix.size(), q.command.size()) == q.command && frame.back() == '\r') {
      return q.query;
    }
  }
  return ReplyQuery::None;
}

ReplyQuery QueryOf(std::string_view command) {
  const auto* q = std::find_if(std::begin(kQueries), std::end(kQueries),
                               [command](const QueryText& t) { return t.command == command; });
  return q == std::end(kQueries) ? ReplyQuery::None : q->query;
}

StatusWrite DecodeStart(ReplyQuery query, std::string_view r, double reading, ControllerState& state,
                        std::string& statusLine) {
  switch (query) {
    case ReplyQuery::None: return StatusWrite::Kept;
    case ReplyQuery::Status: return FromTable(kOperatingStatus, 4, r, statusLine);
    case ReplyQuery::Mode: return FromTable(kInputMode, 2, r, statusLine);
    case ReplyQuery::Setting: return FromTable(kOrientation, 4, r, statusLine);
    case ReplyQuery::LampTime: LampHours(r, statusLine); return StatusWrite::Written;
    case ReplyQuery::Temperature: Temperatures(r, statusLine); return StatusWrite::Written;
    case ReplyQuery::Setting2: return FromTable(kMuteAndSignal, 4, r, statusLine);
    case ReplyQuery::PcType: return StatusWrite::WholeLine;
    case ReplyQuery::Pressure: Pressure(reading, state, statusLine); return StatusWrite::Written;
    case ReplyQuery::LampMode: return FromTable(kLampMode, 4, r, statusLine);
  }
  return StatusWrite::Kept;
}

void DecodeReply(const std::string& rendered, ControllerState& state, std::string& statusLine) {
  const ReplyQuery query = SelectQuery(state);
  const double reading = query == ReplyQuery::Pressure ? LeadingNumber(rendered) : 0.0;
  if (DecodeStart(query, rendered, reading, state, statusLine) == StatusWrite::WholeLine) statusLine = rendered;
}

namespace {

std::string WithoutBlanks(std::string_view field) {
  std::string s;
  for (const char c : field) {
    if (c != ' ') s += c;
  }
  return s;
}

// A whole field as a reading: optional sign, digits, optional point and digits; nothing more.
std::optional<double> Reading(std::string_view field) {
  std::string s = WithoutBlanks(field);
  const bool negative = !s.empty() && s[0] == '-';
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) s.erase(0, 1);
  const auto digitsAt = [&s](std::size_t i) {
    std::size_t j = i;
    while (j < s.size() && s[j] >= '0' && s[j] <= '9') ++j;
    return j - i;
  };
  const std::size_t whole = digitsAt(0);
  const bool point = whole < s.size() && s[whole] == '.';
  const std::size_t decimals = point ? digitsAt(whole + 1) : 0;
  if (whole == 0 || (point && decimals == 0) || whole + (point ? 1 + decimals : 0) != s.size()) return std::nullopt;
  double value = 0;
  std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::fixed);
  return negative ? -value : value;
}

// Lamp hours are the reply's digits up to its CR; a field cut before the CR holds no count.
std::optional<long long> Hours(std::string_view field) {
  std::string s = WithoutBlanks(field);
  if (s.size() < 3 || !s.ends_with("CR")) return std::nullopt;
  s.resize(s.size() - 2);
  long long hours = 0;
  const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), hours);
  if (error != std::errc() || end != s.data() + s.size() || s[0] == '-' || s[0] == '+') return std::nullopt;
  return hours;
}

// Whether the reply begins with a number at all: the pressure decoder reads a reply without one
// as 0, which would pass for a reading of 106 hPa.
bool StartsWithNumber(std::string_view rendered) {
  const std::string s = WithoutBlanks(rendered);
  std::size_t i = (!s.empty() && (s[0] == '+' || s[0] == '-')) ? 1 : 0;
  if (i < s.size() && s[i] == '.') ++i;
  return i < s.size() && s[i] >= '0' && s[i] <= '9';
}

ReplyValue Coded(std::span<const ReplyText> table, std::string_view r, std::string_view reply) {
  ReplyValue value;
  value.kind = ReplyValue::Kind::Coded;
  value.code = std::string(reply.substr(0, 2));
  if (const ReplyText* row = MatchRow(table, 4, r)) value.text = std::string(row->text.substr(1));
  return value;
}

ReplyValue Integer(std::optional<long long> number) {
  ReplyValue value;
  if (number) {
    value.kind = ReplyValue::Kind::Integer;
    value.integer = *number;
  }
  return value;
}

}  // namespace

ReplyValue TypedReply(ReplyQuery query, std::string_view reply) {
  const std::string r = Render(reply);
  switch (query) {
    case ReplyQuery::None: return {};
    case ReplyQuery::Status: return Coded(kOperatingStatus, r, reply);
    case ReplyQuery::Setting: return Coded(kOrientation, r, reply);
    case ReplyQuery::Setting2: return Coded(kMuteAndSignal, r, reply);
    case ReplyQuery::LampMode: return Coded(kLampMode, r, reply);
    case ReplyQuery::Mode: {
      const ReplyText* row = MatchRow(kInputMode, 2, r);
      return Integer(row == nullptr ? std::nullopt : std::optional<long long>(row->key.back() - '0'));
    }
    case ReplyQuery::LampTime: return Integer(Hours(LampHoursField(r)));
    case ReplyQuery::Temperature: {
      ReplyValue value;
      value.kind = ReplyValue::Kind::Temperatures;
      const auto fields = TemperatureFields(r);
      std::transform(fields.begin(), fields.end(), value.temperatures.begin(), Reading);
      return value;
    }
    case ReplyQuery::PcType: {
      ReplyValue value;
      value.kind = ReplyValue::Kind::Text;
      value.text = std::string(reply.substr(0, reply.find('\r')));
      return value;
    }
    case ReplyQuery::Pressure:
      return Integer(StartsWithNumber(r) ? std::optional<long long>(PressureHpa(LeadingNumber(r))) : std::nullopt);
  }
  return {};
}

namespace {

bool MadeOf(std::string_view text, std::string_view allowed) { return text.find_first_not_of(allowed) == text.npos; }

constexpr std::string_view kDigits = "0123456789";

// Printable ASCII, blank included.
bool Printable(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= ' ' && c <= '~'; });
}

// A key shows each reply character as a blank and the character.
bool CodeOf(std::span<const ReplyText> table, std::string_view body) {
  return body.size() == table.front().key.size() / 2 && Printable(body) && body.find(' ') == body.npos;
}

}  // namespace

bool HasShapeOf(ReplyQuery query, std::string_view reply) {
  if (reply == "ERR\r") return true;
  if (!reply.ends_with('\r')) return false;
  const std::string_view body = reply.substr(0, reply.size() - 1);
  switch (query) {
    case ReplyQuery::None: return reply == "\x06\r";
    case ReplyQuery::Status: return CodeOf(kOperatingStatus, body);
    case ReplyQuery::Mode: return CodeOf(kInputMode, body);
    case ReplyQuery::Setting: return CodeOf(kOrientation, body);
    case ReplyQuery::Setting2: return CodeOf(kMuteAndSignal, body);
    case ReplyQuery::LampMode: return CodeOf(kLampMode, body);
    case ReplyQuery::LampTime: return !body.empty() && MadeOf(body, kDigits) && Hours(LampHoursField(Render(reply)));
    case ReplyQuery::Temperature: {
      // The last field is whole, and would not be without the reply's last character.
      const auto lastWhole = [](std::string_view text) {
        return TemperatureFields(Render(text))[3].size() == kTemperatureWidth;
      };
      return !body.empty() && MadeOf(body, "+-. 0123456789") && lastWhole(body) &&
             !lastWhole(body.substr(0, body.size() - 1));
    }
    case ReplyQuery::PcType: return !body.empty() && Printable(body);
    // The sensor reads 0 to 1023, with or without leading zeros ("512", "0853").
    case ReplyQuery::Pressure: return !body.empty() && body.size() <= 4 && MadeOf(body, kDigits);
  }
  return false;
}
