#include "ProjectorState.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

namespace sim {

namespace {

constexpr long long kMsPerHour = 3600LL * 1000;

// How far each sensor settles above the room with the lamp lit, in degrees.
constexpr std::array<double, ProjectorState::kSensors> kRiseLit{1.5, 18.0, 50.0, 22.0};
// ECO drives the lamp at lower power.
constexpr double kEcoShare = 0.7;

// Time constants of the approach to the settled temperature, in seconds. Cooling down runs the
// fans at full speed without the lamp, so it sheds heat fastest; stand-by only by convection.
constexpr double kTauLitS = 120;
constexpr double kTauCoolingS = 60;
constexpr double kTauStandbyS = 300;

// Small steady wobbles so that successive readings differ as a real sensor's would; periods
// that share no factor keep the four from moving in step.
constexpr std::array<double, ProjectorState::kSensors> kWobblePeriodS{37, 53, 71, 89};
constexpr double kWobbleC = 0.2;
constexpr double kPressureWobbleHpa = 0.3;
constexpr double kPressurePeriodS = 600;

double Wave(long long nowMs, double periodS) {
  return std::sin(2 * std::numbers::pi * static_cast<double>(nowMs) / (periodS * 1000));
}

}  // namespace

ProjectorState::ProjectorState(const Profile& profile, long long nowMs) : profile_(profile), now_(nowMs) {}

void ProjectorState::AdvanceTo(long long nowMs) {
  for (;;) {
    std::optional<long long> phaseEnd;
    if (power_ == Power::CountDown) phaseEnd = phaseStart_ + profile_.warmupMs;
    if (power_ == Power::Cooling) phaseEnd = phaseStart_ + profile_.cooldownMs;
    if (phaseEnd && *phaseEnd <= now_) {
      power_ = power_ == Power::CountDown ? Power::On : Power::Standby;
      phaseStart_ = *phaseEnd;
      continue;
    }
    if (now_ >= nowMs) return;
    const long long end = phaseEnd ? std::min(*phaseEnd, nowMs) : nowMs;
    Integrate(end - now_);
    now_ = end;
  }
}

void ProjectorState::Integrate(long long ms) {
  if (LampLit()) lampLitMs_ += ms;
  const double share = !LampLit() ? 0 : lampControl == LampControl::Eco ? kEcoShare : 1;
  const double tau = LampLit() ? kTauLitS : power_ == Power::Cooling ? kTauCoolingS : kTauStandbyS;
  const double approach = 1 - std::exp(-static_cast<double>(ms) / (tau * 1000));
  for (int i = 0; i < kSensors; ++i) heat_[i] += (kRiseLit[i] * share - heat_[i]) * approach;
}

void ProjectorState::PowerOn(long long nowMs) {
  AdvanceTo(nowMs);
  if (power_ != Power::Standby) return;
  power_ = Power::CountDown;
  phaseStart_ = now_;
  AdvanceTo(nowMs);  // a count down of no length is over at once
}

void ProjectorState::PowerOff(long long nowMs) {
  AdvanceTo(nowMs);
  if (!LampLit()) return;
  power_ = Power::Cooling;
  phaseStart_ = now_;
  AdvanceTo(nowMs);
}

int ProjectorState::LampHours() const {
  return profile_.lampHours + static_cast<int>(lampLitMs_ / kMsPerHour);
}

std::array<double, ProjectorState::kSensors> ProjectorState::Temperatures() const {
  std::array<double, kSensors> t{};
  for (int i = 0; i < kSensors; ++i) {
    t[i] = profile_.ambientC + heat_[i] + kWobbleC * Wave(now_, kWobblePeriodS[i]);
  }
  return t;
}

double ProjectorState::PressureHpa() const {
  return profile_.pressureHpa + kPressureWobbleHpa * Wave(now_, kPressurePeriodS);
}

}  // namespace sim
