#pragma once

#include <array>
#include <string>

namespace sim {

enum class Power { Standby, CountDown, On, Cooling };
enum class LampControl { Auto, Normal, Eco };

// The kind of projector and the room it stands in.
struct Profile {
  long long warmupMs = 5000;
  long long cooldownMs = 5000;
  int lampHours = 1234;
  double ambientC = 25.0;
  double pressureHpa = 1013.0;
  bool ceiling = false;
  bool rear = false;
};

// The projector's state. Time is whatever the caller says it is (milliseconds, never going
// back), so that tests drive hours of lamp life in microseconds. The power phases, lamp hours
// and temperatures catch up to the time given in AdvanceTo; everything else is plain settings.
class ProjectorState {
 public:
  static constexpr int kSensors = 4;  // intake air, optics, lamp housing, exhaust

  explicit ProjectorState(const Profile& profile, long long nowMs = 0);

  void AdvanceTo(long long nowMs);
  // Ignored while the projector cannot follow them: on during cooling down, off in stand-by.
  void PowerOn(long long nowMs);
  void PowerOff(long long nowMs);

  Power power() const { return power_; }
  bool LampLit() const { return power_ == Power::CountDown || power_ == Power::On; }
  int LampHours() const;
  std::array<double, kSensors> Temperatures() const;  // degrees Celsius
  double PressureHpa() const;
  bool TopBottomReversed() const { return profile_.ceiling; }
  bool LeftRightReversed() const { return profile_.rear; }

  // Settings the commands change directly.
  int input = 1;  // 1..4
  bool noShow = false;
  bool freeze = false;
  bool shutterClosed = false;
  bool fanMax = false;
  LampControl lampControl = LampControl::Auto;
  std::string imageMode = "STAND";
  std::array<std::string, 3> inputSignal{"ANALOG", "ANALOG", "VIDEO"};  // INPUT1..INPUT3

 private:
  void Integrate(long long ms);

  Profile profile_;
  long long now_;
  Power power_ = Power::Standby;
  long long phaseStart_ = 0;
  long long lampLitMs_ = 0;
  std::array<double, kSensors> heat_{};  // degrees above the room, before sensor noise
};

}  // namespace sim
