#include "exchange/ReplyDecoders.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <span>
#include <string_view>

#include "exchange/Pressure.h"
#include "exchange/ReplyTables.h"

namespace {

// Positions count from 1; past the end they give what exists there, or nothing.
std::string_view Left(std::string_view r, std::size_t n) { return r.substr(0, std::min(n, r.size())); }

std::string_view Mid(std::string_view r, std::size_t position, std::size_t n) {
  if (position > r.size()) return {};
  return r.substr(position - 1, n);
}

StatusWrite FromTable(std::span<const ReplyText> table, std::size_t keyLength, std::string_view r,
                      std::string& statusLine) {
  const std::string_view key = Left(r, keyLength);
  StatusWrite write = StatusWrite::Kept;
  for (const ReplyText& row : table) {
    if (row.key == key) {
      statusLine = row.text;
      write = StatusWrite::Written;
    }
  }
  return write;
}

void LampHours(std::string_view r, std::string& statusLine) {
  statusLine = std::string(Left(r, 38)) + " Hour Use";
}

void Temperatures(std::string_view r, std::string& statusLine) {
  statusLine = "  S1=" + std::string(Left(r, 10)) + " C  ,   S2= " + std::string(Mid(r, 15, 8)) +
               " C  ,   S3= " + std::string(Mid(r, 28, 8)) + " C  ,   S4= " +
               std::string(Mid(r, 41, 8)) + " C ";
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
