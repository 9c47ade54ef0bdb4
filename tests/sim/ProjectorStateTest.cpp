#include "ProjectorState.h"

#include <gtest/gtest.h>

namespace {

using sim::Power;
using sim::ProjectorState;
using sim::Profile;

constexpr long long kMinute = 60 * 1000;
constexpr long long kHour = 60 * kMinute;

Profile Timed(long long warmupMs, long long cooldownMs) {
  Profile profile;
  profile.warmupMs = warmupMs;
  profile.cooldownMs = cooldownMs;
  return profile;
}

TEST(ProjectorState, PowerPhasesFollowTheKeysAndLastTheirTime) {
  struct Step {
    long long at;
    const char* key;  // "on", "off" or "" (only time passes)
    Power expected;
  };
  const Step steps[] = {
      {0, "", Power::Standby},        {100, "on", Power::CountDown},  {3099, "", Power::CountDown},
      {3100, "", Power::On},          {5000, "on", Power::On},        {6000, "off", Power::Cooling},
      {6500, "on", Power::Cooling},   {9999, "", Power::Cooling},     {10000, "", Power::Standby},
      {10500, "off", Power::Standby}, {11000, "on", Power::CountDown}, {12000, "off", Power::Cooling},
      {16000, "", Power::Standby},
  };
  ProjectorState state(Timed(3000, 4000));
  for (const Step& s : steps) {
    if (s.key == std::string("on")) state.PowerOn(s.at);
    if (s.key == std::string("off")) state.PowerOff(s.at);
    state.AdvanceTo(s.at);
    EXPECT_EQ(state.power(), s.expected) << "at " << s.at << " ms";
  }
}

TEST(ProjectorState, PhasesOfNoLengthAreOverAtOnce) {
  ProjectorState state(Timed(0, 0));
  state.PowerOn(10);
  EXPECT_EQ(state.power(), Power::On);
  state.PowerOff(20);
  EXPECT_EQ(state.power(), Power::Standby);
}

TEST(ProjectorState, LampHoursCountOnlyWhileTheLampIsLit) {
  Profile profile = Timed(kMinute, kMinute);
  profile.lampHours = 100;
  ProjectorState state(profile);
  state.AdvanceTo(5 * kHour);
  EXPECT_EQ(state.LampHours(), 100);
  state.PowerOn(5 * kHour);  // the count down burns the lamp too
  state.AdvanceTo(6 * kHour - 1);
  EXPECT_EQ(state.LampHours(), 100);
  state.AdvanceTo(6 * kHour);
  EXPECT_EQ(state.LampHours(), 101);
  state.PowerOff(7 * kHour + 30 * kMinute);
  state.AdvanceTo(30 * kHour);
  EXPECT_EQ(state.LampHours(), 102);
}

TEST(ProjectorState, TemperaturesRiseWhileLitAndSettleBackAfterwards) {
  Profile profile = Timed(0, kMinute);
  profile.ambientC = 20;
  ProjectorState state(profile);
  for (const double t : state.Temperatures()) EXPECT_NEAR(t, 20, 0.25);

  state.PowerOn(0);
  double lamp = state.Temperatures()[2];
  for (const long long at : {kMinute, 5 * kMinute, 30 * kMinute}) {
    state.AdvanceTo(at);
    EXPECT_GT(state.Temperatures()[2], lamp + 1) << "at " << at / kMinute << " min";
    lamp = state.Temperatures()[2];
  }
  const auto hot = state.Temperatures();
  EXPECT_GT(hot[2], 60);                     // lamp housing
  EXPECT_GT(hot[2], hot[3]);                 // than exhaust
  EXPECT_GT(hot[3], hot[1]);                 // than optics
  EXPECT_GT(hot[1], hot[0]);                 // than intake
  EXPECT_LT(hot[0], 23);                     // intake stays near the room

  state.PowerOff(30 * kMinute);
  state.AdvanceTo(4 * kHour);
  for (const double t : state.Temperatures()) EXPECT_NEAR(t, 20, 0.5);
}

TEST(ProjectorState, EcoRunsTheLampCooler) {
  ProjectorState normal(Timed(0, 0));
  ProjectorState eco(Timed(0, 0));
  eco.lampControl = sim::LampControl::Eco;
  normal.PowerOn(0);
  eco.PowerOn(0);
  normal.AdvanceTo(kHour);
  eco.AdvanceTo(kHour);
  EXPECT_LT(eco.Temperatures()[2], normal.Temperatures()[2] - 5);
}

}  // namespace
