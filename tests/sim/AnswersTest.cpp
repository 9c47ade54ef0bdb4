#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "Commands.h"
#include "Replies.h"

namespace {

using sim::Perform;
using sim::ProjectorState;

struct Step {
  long long at;
  const char* command;
};

struct Case {
  std::vector<Step> before;
  long long at;
  const char* query;
  const char* reply;
};

// Count down and cooling down take 1000 ms; the projector starts in stand-by.
TEST(Answers, QueryAfterCommandsGivesTheReply) {
  const Case cases[] = {
      Case{{}, 0, "CR0", "80\r"},
      Case{{{0, "C00"}}, 999, "CR0", "40\r"},
      Case{{{0, "C00"}}, 1000, "CR0", "00\r"},
      Case{{{0, "C00"}, {2000, "C01"}}, 2999, "CR0", "20\r"},
      Case{{{0, "C00"}, {2000, "C01"}}, 3000, "CR0", "80\r"},
      Case{{}, 0, "CR1", "1\r"},
      Case{{{0, "C07"}}, 0, "CR1", "3\r"},
      Case{{{0, "C06"}, {0, "C08"}}, 0, "CR1", "4\r"},
      Case{{}, 0, "CRA", "FF\r"},
      Case{{{0, "C00"}}, 10, "CRA", "00\r"},
      Case{{{0, "C00"}, {10, "C0D"}}, 10, "CRA", "01\r"},
      Case{{{0, "C00"}, {10, "C0D"}, {20, "C0E"}}, 20, "CRA", "00\r"},
      Case{{{0, "C00"}, {10, "CF SHUTTER CLOSE"}}, 10, "CRA", "01\r"},
      Case{{}, 0, "CR7", "00\r"},
      Case{{{0, "C00"}}, 10, "CR7", "03\r"},
      Case{{{0, "CF AUTOLAMPCONTRL ECO"}}, 0, "CR7", "10\r"},
      Case{{{0, "CF AUTOLAMPCONTRL ECO"}, {0, "C00"}}, 10, "CR7", "11\r"},
      Case{{{0, "CF AUTOLAMPCONTRL ECO"}, {0, "CF AUTOLAMPCONTRL NORMAL"}, {0, "C00"}}, 10, "CR7",
           "03\r"},
      Case{{}, 0, "CR4", "11\r"},
      Case{{}, 0, "CR3", "01234\r"},
      Case{{}, 0, "CR9", "PJ-Q8\r"},
      Case{{}, 0, "CR PRESSURE", "0853\r"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.query) + " at " + std::to_string(c.at) + " ms after " +
                 std::to_string(c.before.size()) + " commands");
    sim::Profile profile;
    profile.warmupMs = 1000;
    profile.cooldownMs = 1000;
    ProjectorState state(profile);
    for (const Step& s : c.before) ASSERT_EQ(Perform(s.command, state, s.at), "\x06\r") << s.command;
    EXPECT_EQ(Perform(c.query, state, c.at), c.reply);
  }
}

TEST(Answers, OrientationFollowsTheMounting) {
  const struct {
    bool ceiling, rear;
    const char* reply;
  } cases[] = {{false, false, "11\r"}, {true, false, "10\r"}, {false, true, "01\r"}, {true, true, "00\r"}};
  for (const auto& c : cases) {
    sim::Profile profile;
    profile.ceiling = c.ceiling;
    profile.rear = c.rear;
    EXPECT_EQ(sim::reply::Orientation(ProjectorState(profile)), c.reply);
  }
}

TEST(Answers, LampHoursAreFiveDigitsAndStopAtTheTop) {
  const struct {
    int hours, litHours;
    const char* reply;
  } cases[] = {{0, 0, "00000\r"}, {7, 2, "00009\r"}, {99998, 1, "99999\r"}, {99999, 3, "99999\r"}};
  for (const auto& c : cases) {
    sim::Profile profile;
    profile.lampHours = c.hours;
    profile.warmupMs = 0;
    ProjectorState state(profile);
    state.PowerOn(0);
    state.AdvanceTo(c.litHours * 3600LL * 1000);
    EXPECT_EQ(sim::reply::LampHours(state), c.reply) << c.hours;
  }
}

// Worked pairs of the sensor: a reading converts back to this pressure.
TEST(Answers, PressureReadingIsTheSensorsTenBitValue) {
  const struct {
    double hpa;
    int reading;
  } cases[] = {{650, 512}, {106, 0}, {1194, 1023}, {1013, 853}, {2000, 1023}, {0, 0}};
  for (const auto& c : cases) EXPECT_EQ(sim::reply::PressureReading(c.hpa), c.reading) << c.hpa;
}

// A client cuts characters 1-5, 8-11, 14-17 and 21-24; each cut must be one whole reading.
TEST(Answers, TemperatureReadingsSitAtTheirFixedPositions) {
  for (const double ambient : {25.0, -12.0, 3.0}) {
    sim::Profile profile;
    profile.ambientC = ambient;
    profile.warmupMs = 0;
    ProjectorState state(profile);
    for (const long long at : {0LL, 40LL * 60 * 1000}) {
      if (at > 0) state.PowerOn(0);
      state.AdvanceTo(at);
      const std::string r = sim::reply::Temperatures(state);
      ASSERT_EQ(r.size(), 25u) << r;
      EXPECT_EQ(r.back(), '\r');
      const auto t = state.Temperatures();
      const struct {
        std::size_t from, length;
      } fields[] = {{1, 5}, {8, 4}, {14, 4}, {21, 4}};
      for (int i = 0; i < 4; ++i) {
        const std::string cut = r.substr(fields[i].from - 1, fields[i].length);
        EXPECT_NEAR(std::strtod(cut.c_str(), nullptr), std::max(t[i], i == 0 ? -99.9 : 0.0), 0.051)
            << "sensor " << i + 1 << " in " << r;
      }
      EXPECT_TRUE(r[0] == '+' || r[0] == '-') << r;
      EXPECT_EQ(r.substr(5, 2) + r.substr(11, 2) + r.substr(17, 3), "       ") << r;
    }
  }
}

TEST(Answers, EveryKnownCommandIsAcknowledgedAndAnythingElseIsAnError) {
  const char* known[] = {
      "C00", "C01", "C05", "C06", "C07", "C08", "C1C", "C1D", "C0D", "C0E", "C43", "C44", "C0F",
      "C10", "CF SHUTTER CLOSE", "CF SHUTTER OPEN", "C89", "C27", "C8A", "C1E",
      "CF AUTOLAMPCONTRL AUTO", "CF AUTOLAMPCONTRL NORMAL", "CF AUTOLAMPCONTRL ECO",
      "CF IMAGE STAND", "CF IMAGE REAL", "CF IMAGE CINEMA", "CF IMAGE CUSTOM1", "CF IMAGE CUSTOM4",
      "CF FANSPEED MAX", "CF FANSPEED NOR", "CF INPUT1 DIGITAL", "CF INPUT2 ANALOG",
      "CF INPUT3 VIDEO", "CF INPUT1 YPBPR", "CF INPUT2 YCBCR", "CF INPUT3 S-VIDEO",
      "C47", "C46", "C4B", "C4A", "C5D", "C5E", "C5F", "C60", "C30", "C31", "C8E", "C8F", "C91",
      "C90", "C3C", "C3D", "C3B", "C3A", "C3F",
  };
  const char* unknown[] = {
      "", "C99", "cr0", "CR0 ", " CR0", "CR2", "CR PRESSUR", "C00X", "CF IMAGE", "CF IMAGE FOO",
      "CF IMAGE CUSTOM5", "CF INPUT4 VIDEO", "CF INPUT1 ", "CF INPUT1 RGB", "CF INPUT0 VIDEO",
      "CF FANSPEED", "CF AUTOLAMPCONTRL",
  };
  ProjectorState state{sim::Profile{}};
  for (const char* c : known) EXPECT_EQ(Perform(c, state, 0), "\x06\r") << c;
  for (const char* c : unknown) EXPECT_EQ(Perform(c, state, 0), "ERR\r") << '"' << c << '"';
}

}  // namespace
