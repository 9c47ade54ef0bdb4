#include "exchange/ReplyDecoders.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <span>
#include <string_view>

#include "exchange/Frame.h"
#include "exchange/Pressure.h"
#include "exchange/ReplyTables.h"

namespace {

// Positions count from 1; past the end they give what exists there, or nothing.
std::string_view Left(std::string_view r, std::size_t n) { return r.substr(0, std::min(n, r.size())); }

std::string_view Mid(std::string_view r, std::size_t position, std::size_t n) {
  if (position > r.size()) return {};
  return r.substr(position - 1, n);
}

void FromTable(std::span<const ReplyText> table, std::size_t keyLength, std::string_view r,
               std::string& statusLine) {
  const std::string_view key = Left(r, keyLength);
  for (const ReplyText& row : table) {
    if (row.key == key) statusLine = row.text;
  }
}

void LampHours(std::string_view r, std::string& statusLine) {
  statusLine = std::string(Left(r, 38)) + " Hour Use";
}

void Temperatures(std::string_view r, std::string& statusLine) {
  statusLine = "  S1=" + std::string(Left(r, 10)) + " C  ,   S2= " + std::string(Mid(r, 15, 8)) +
               " C  ,   S3= " + std::string(Mid(r, 28, 8)) + " C  ,   S4= " +
               std::string(Mid(r, 41, 8)) + " C ";
}

void Pressure(std::string_view r, ControllerState& state, std::string& statusLine) {
  const long long hpa = PressureHpa(LeadingNumber(r));
  // The record keeps a 16-bit working value; the line shows the true result even where that
  // does not fit.
  constexpr long long lo = std::numeric_limits<std::int16_t>::min();
  constexpr long long hi = std::numeric_limits<std::int16_t>::max();
  state.PressureReading = static_cast<std::int16_t>(std::clamp(hpa, lo, hi));
  statusLine = std::to_string(hpa) + " hPa";
}

enum class Query { Status, Mode, Setting, LampTime, Temperature, Setting2, PcType, Pressure, LampMode };

struct QueryText {
  std::string_view command;
  Query query;
};

// In the order they are tried.
constexpr QueryText kQueries[] = {
    {"CR0", Query::Status},      {"CR1", Query::Mode},         {"CR4", Query::Setting},
    {"CR3", Query::LampTime},    {"CR6", Query::Temperature},  {"CRA", Query::Setting2},
    {"CR9", Query::PcType},      {"CR PRESSURE", Query::Pressure}, {"CR7", Query::LampMode},
};

}  // namespace

void DecodeReply(const std::string& rendered, ControllerState& state, std::string& statusLine) {
  const std::string_view r = rendered;
  for (const QueryText& q : kQueries) {
    if (state.TxFrame != BuildFrame(state.AddressPrefix, q.command)) continue;
    switch (q.query) {
      case Query::Status: FromTable(kOperatingStatus, 4, r, statusLine); break;
      case Query::Mode: FromTable(kInputMode, 2, r, statusLine); break;
      case Query::Setting: FromTable(kOrientation, 4, r, statusLine); break;
      case Query::LampTime: LampHours(r, statusLine); break;
      case Query::Temperature: Temperatures(r, statusLine); break;
      case Query::Setting2: FromTable(kMuteAndSignal, 4, r, statusLine); break;
      case Query::PcType: statusLine = rendered; break;
      case Query::Pressure: Pressure(r, state, statusLine); break;
      case Query::LampMode: FromTable(kLampMode, 4, r, statusLine); break;
    }
  }
}
