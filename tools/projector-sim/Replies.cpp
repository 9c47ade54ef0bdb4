#include "Replies.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace sim::reply {

namespace {

std::string Printf(const char* format, double value) {
  char text[16];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// Zero-padded decimal digits.
std::string Digits(int value, std::size_t width) {
  const std::string digits = std::to_string(value);
  return std::string(width - std::min(width, digits.size()), '0') + digits;
}

}  // namespace

std::string OperatingStatus(const ProjectorState& s) {
  switch (s.power()) {
    case Power::Standby: return "80\r";
    case Power::CountDown: return "40\r";
    case Power::On: return "00\r";
    case Power::Cooling: return "20\r";
  }
  return kError;
}

std::string InputMode(const ProjectorState& s) { return std::to_string(s.input) + "\r"; }

// Five digits, whole hours; the counter stops at 99999.
std::string LampHours(const ProjectorState& s) {
  return Digits(std::min(s.LampHours(), 99999), 5) + "\r";
}

std::string Orientation(const ProjectorState& s) {
  std::string r = "11\r";
  if (s.TopBottomReversed()) r[1] = '0';
  if (s.LeftRightReversed()) r[0] = '0';
  return r;
}

// 24 characters and CR. The intake sensor, the only one that can read below freezing, is signed
// ("+25.0", characters 1-5); the three inside the case are unsigned ("43.0"), at characters 8-11,
// 14-17 and 21-24. Blanks fill the gaps. Readings out of range are clamped to what fits.
std::string Temperatures(const ProjectorState& s) {
  const auto t = s.Temperatures();
  const auto inside = [](double c) { return Printf("%04.1f", std::clamp(c, 0.0, 99.9)); };
  return Printf("%+05.1f", std::clamp(t[0], -99.9, 99.9)) + "  " + inside(t[1]) + "  " +
         inside(t[2]) + "   " + inside(t[3]) + "\r";
}

std::string LampMode(const ProjectorState& s) {
  // AUTO and NORMAL run both lamps; ECO runs on lamp No1 alone.
  if (s.lampControl == LampControl::Eco) return s.LampLit() ? "11\r" : "10\r";
  return s.LampLit() ? "03\r" : "00\r";
}

std::string PcType(const ProjectorState&) { return "PJ-Q8\r"; }

std::string MuteAndSignal(const ProjectorState& s) {
  if (s.power() == Power::Standby) return "FF\r";
  return s.noShow || s.shutterClosed ? "01\r" : "00\r";
}

// The sensor gives 0.204 V at 150 hPa and 4.59 mV more per hPa; the converter reads 5 V as 1024.
int PressureReading(double hpa) {
  constexpr double kVoltsAt150 = 0.204;
  constexpr double kVoltsPerHpa = 0.00459;
  constexpr double kCountsPerVolt = 1024.0 / 5;
  const double volts = kVoltsAt150 + (hpa - 150) * kVoltsPerHpa;
  return static_cast<int>(std::clamp(std::round(volts * kCountsPerVolt), 0.0, 1023.0));
}

std::string Pressure(const ProjectorState& s) {
  return Digits(PressureReading(s.PressureHpa()), 4) + "\r";
}

}  // namespace sim::reply
