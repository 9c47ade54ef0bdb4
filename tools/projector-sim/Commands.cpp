#include "Commands.h"

#include <array>

#include "Replies.h"

namespace sim {

namespace {

using State = ProjectorState;

struct Query {
  std::string_view text;
  std::string (*reply)(const State&);
};

constexpr Query kQueries[] = {
    {"CR0", reply::OperatingStatus}, {"CR1", reply::InputMode}, {"CR3", reply::LampHours},
    {"CR4", reply::Orientation},     {"CR6", reply::Temperatures}, {"CR7", reply::LampMode},
    {"CR9", reply::PcType},          {"CRA", reply::MuteAndSignal}, {"CR PRESSURE", reply::Pressure},
};

struct Command {
  std::string_view text;
  void (*act)(State&, long long nowMs);  // null: acknowledged, nothing here changes
};

constexpr Command kCommands[] = {
    {"C00", [](State& s, long long t) { s.PowerOn(t); }},
    {"C01", [](State& s, long long t) { s.PowerOff(t); }},
    {"C05", [](State& s, long long) { s.input = 1; }},
    {"C06", [](State& s, long long) { s.input = 2; }},
    {"C07", [](State& s, long long) { s.input = 3; }},
    {"C08", [](State& s, long long) { s.input = 4; }},
    {"C0D", [](State& s, long long) { s.noShow = true; }},
    {"C0E", [](State& s, long long) { s.noShow = false; }},
    {"C43", [](State& s, long long) { s.freeze = true; }},
    {"C44", [](State& s, long long) { s.freeze = false; }},
    {"CF SHUTTER CLOSE", [](State& s, long long) { s.shutterClosed = true; }},
    {"CF SHUTTER OPEN", [](State& s, long long) { s.shutterClosed = false; }},
    {"CF FANSPEED MAX", [](State& s, long long) { s.fanMax = true; }},
    {"CF FANSPEED NOR", [](State& s, long long) { s.fanMax = false; }},
    {"CF AUTOLAMPCONTRL AUTO", [](State& s, long long) { s.lampControl = LampControl::Auto; }},
    {"CF AUTOLAMPCONTRL NORMAL", [](State& s, long long) { s.lampControl = LampControl::Normal; }},
    {"CF AUTOLAMPCONTRL ECO", [](State& s, long long) { s.lampControl = LampControl::Eco; }},
    // Menu, picture size, adjustment and display keys: their effect is on the picture only.
    {"C1C", nullptr}, {"C1D", nullptr}, {"C0F", nullptr}, {"C10", nullptr}, {"C89", nullptr},
    {"C27", nullptr}, {"C8A", nullptr}, {"C1E", nullptr},
    // Keys an operator holds down: zoom, focus, lens shift, digital zoom, keystone, cursor.
    {"C47", nullptr}, {"C46", nullptr}, {"C4B", nullptr}, {"C4A", nullptr}, {"C5D", nullptr},
    {"C5E", nullptr}, {"C5F", nullptr}, {"C60", nullptr}, {"C30", nullptr}, {"C31", nullptr},
    {"C8E", nullptr}, {"C8F", nullptr}, {"C91", nullptr}, {"C90", nullptr}, {"C3C", nullptr},
    {"C3D", nullptr}, {"C3B", nullptr}, {"C3A", nullptr}, {"C3F", nullptr},
};

constexpr std::array<std::string_view, 7> kImageModes{"STAND",   "REAL",    "CINEMA", "CUSTOM1",
                                                       "CUSTOM2", "CUSTOM3", "CUSTOM4"};
constexpr std::array<std::string_view, 6> kSignalTypes{"DIGITAL", "ANALOG", "VIDEO",
                                                       "YPBPR",   "YCBCR",  "S-VIDEO"};

template <std::size_t N>
bool OneOf(std::string_view value, const std::array<std::string_view, N>& values) {
  for (const std::string_view v : values) {
    if (v == value) return true;
  }
  return false;
}

// "CF IMAGE <mode>" and "CF INPUTn <signal type>".
bool SetWithValue(std::string_view command, State& state) {
  constexpr std::string_view kImage = "CF IMAGE ";
  constexpr std::string_view kInput = "CF INPUT";
  if (command.starts_with(kImage)) {
    const std::string_view mode = command.substr(kImage.size());
    if (!OneOf(mode, kImageModes)) return false;
    state.imageMode = mode;
    return true;
  }
  if (command.starts_with(kInput) && command.size() > kInput.size() + 2 &&
      command[kInput.size() + 1] == ' ') {
    const int n = command[kInput.size()] - '0';
    const std::string_view type = command.substr(kInput.size() + 2);
    if (n < 1 || n > 3 || !OneOf(type, kSignalTypes)) return false;
    state.inputSignal[static_cast<std::size_t>(n - 1)] = type;
    return true;
  }
  return false;
}

}  // namespace

std::string Perform(std::string_view command, ProjectorState& state, long long nowMs) {
  state.AdvanceTo(nowMs);
  for (const Query& q : kQueries) {
    if (q.text == command) return q.reply(state);
  }
  for (const Command& c : kCommands) {
    if (c.text != command) continue;
    if (c.act != nullptr) c.act(state, nowMs);
    return reply::kAck;
  }
  return SetWithValue(command, state) ? reply::kAck : reply::kError;
}

}  // namespace sim
