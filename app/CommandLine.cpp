#include "CommandLine.h"

#include <algorithm>
#include <array>
#include <cctype>

#ifndef PANEL_VERSION
#error "PANEL_VERSION comes from the project's version in CMake"
#endif

namespace {

enum class Option { Help, Version, ListPorts, Com1, Com2, Send, Port, Speed, Address, Json };

struct KnownOption {
  std::string_view name;
  Option option;
  std::string_view value;  // what the value is, for messages; empty for a flag
  bool repeatable = false;
};

constexpr std::array kOptions{
    KnownOption{"--help", Option::Help, ""},
    KnownOption{"-h", Option::Help, ""},
    KnownOption{"--version", Option::Version, ""},
    KnownOption{"--list-ports", Option::ListPorts, ""},
    KnownOption{"--com1", Option::Com1, "a device path"},
    KnownOption{"--com2", Option::Com2, "a device path"},
    KnownOption{"--send", Option::Send, "a command", true},
    KnownOption{"--port", Option::Port, "1 or 2"},
    KnownOption{"--speed", Option::Speed, "19200 or 9600"},
    KnownOption{"--address", Option::Address, "single, all, 001, 002, 003 or 004"},
    KnownOption{"--json", Option::Json, ""},
};

struct Given {
  const KnownOption* known;
  std::string value;
};

std::string Quoted(std::string_view text) {
  // Appended piece by piece: GCC 12's -Wrestrict misfires on "'" + std::string(...) at -O3.
  std::string quoted;
  quoted.reserve(text.size() + 2);
  quoted += '\'';
  quoted += text;
  quoted += '\'';
  return quoted;
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

const KnownOption* Find(std::string_view name) {
  const auto* found = std::find_if(kOptions.begin(), kOptions.end(),
                                   [name](const KnownOption& known) { return known.name == name; });
  return found == kOptions.end() ? nullptr : found;
}

// A device path given without its option is the commonest slip; say how to write it.
std::string Stray(std::string_view arg) {
  std::string error = "unexpected argument " + Quoted(arg);
  if (arg.starts_with("/dev/")) {
    error += " (to name the device of COM1, write --com1 " + std::string(arg) + ")";
  }
  return error;
}

struct Tokens {
  std::vector<Given> given;
  std::string firstError;
};

// Splits the arguments into options and their values. Reading goes on past a mistake, so that
// --help or --version anywhere on the line still answer.
Tokens Tokenize(const std::vector<std::string_view>& args) {
  Tokens tokens;
  const auto fail = [&tokens](std::string error) {
    if (tokens.firstError.empty()) tokens.firstError = std::move(error);
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (arg.size() < 2 || arg[0] != '-') {
      fail(Stray(arg));
      continue;
    }
    std::string_view name = arg;
    std::optional<std::string_view> inlineValue;
    if (const auto equals = arg.find('='); arg.starts_with("--") && equals != std::string_view::npos) {
      name = arg.substr(0, equals);
      inlineValue = arg.substr(equals + 1);
    }
    const KnownOption* known = Find(name);
    if (known == nullptr) {
      fail("unknown option " + Quoted(name));
      continue;
    }
    if (known->value.empty()) {
      if (inlineValue) fail("option " + Quoted(name) + " takes no value");
      tokens.given.push_back({known, {}});
      continue;
    }
    if (inlineValue) {
      tokens.given.push_back({known, std::string(*inlineValue)});
    } else if (i + 1 < args.size() && !args[i + 1].starts_with("--")) {
      tokens.given.push_back({known, std::string(args[++i])});
    } else {
      fail("option " + Quoted(name) + " needs a value: " + std::string(known->value));
    }
  }
  return tokens;
}

bool Has(const Tokens& tokens, Option option) {
  return std::any_of(tokens.given.begin(), tokens.given.end(),
                     [option](const Given& g) { return g.known->option == option; });
}

std::string BadValue(const Given& g) {
  return "option " + Quoted(g.known->name) + " takes " + std::string(g.known->value) + ", not " + Quoted(g.value);
}

// Applies one option to the result; the reason when its value is not one it takes.
std::optional<std::string> Apply(const Given& g, CommandLine& line) {
  switch (g.known->option) {
    case Option::Com1:
    case Option::Com2:
      if (g.value.empty()) return "option " + Quoted(g.known->name) + " needs a value: a device path";
      (g.known->option == Option::Com1 ? line.com1 : line.com2) = g.value;
      return std::nullopt;
    case Option::Send:
      line.send.commands.push_back(g.value);
      return std::nullopt;
    case Option::Port:
      if (g.value != "1" && g.value != "2") return BadValue(g);
      line.send.port = static_cast<std::int16_t>(g.value[0] - '0');
      return std::nullopt;
    case Option::Speed:
      if (g.value != "19200" && g.value != "9600") return BadValue(g);
      line.send.speed = g.value == "9600" ? 9600 : 19200;
      return std::nullopt;
    case Option::Address: {
      const std::string wanted = Lower(g.value);
      for (const AddressOption& option : kAddressOptions) {
        if (Lower(option.caption) == wanted) {
          line.send.address = &option;
          return std::nullopt;
        }
      }
      return BadValue(g);
    }
    case Option::Json:
      line.send.json = true;
      return std::nullopt;
    case Option::Help:
    case Option::Version:
    case Option::ListPorts:
      return std::nullopt;
  }
  return std::nullopt;
}

bool OnlyForSend(Option option) {
  return option == Option::Port || option == Option::Speed || option == Option::Address || option == Option::Json;
}

std::optional<std::string> Check(const Tokens& tokens, CommandLine& line) {
  std::vector<const KnownOption*> seen;
  for (const Given& g : tokens.given) {
    const bool twice = std::any_of(seen.begin(), seen.end(),
                                   [&g](const KnownOption* s) { return s->option == g.known->option; });
    if (twice && !g.known->repeatable) return "option " + Quoted(g.known->name) + " is given twice";
    seen.push_back(g.known);
    if (auto error = Apply(g, line)) return error;
  }
  const bool sending = Has(tokens, Option::Send);
  if (Has(tokens, Option::ListPorts)) {
    if (tokens.given.size() > 1) return std::string("option '--list-ports' takes no other options");
    line.mode = RunMode::ListPorts;
    return std::nullopt;
  }
  for (const Given& g : tokens.given) {
    if (OnlyForSend(g.known->option) && !sending) {
      return "option " + Quoted(g.known->name) + " only applies with --send";
    }
  }
  line.mode = sending ? RunMode::Send : RunMode::Window;
  return std::nullopt;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string_view>& args) {
  CommandLine line;
  const Tokens tokens = Tokenize(args);
  if (Has(tokens, Option::Help)) {
    line.mode = RunMode::Help;
  } else if (Has(tokens, Option::Version)) {
    line.mode = RunMode::Version;
  } else if (!tokens.firstError.empty()) {
    line.mode = RunMode::Usage;
    line.error = tokens.firstError;
  } else if (auto error = Check(tokens, line)) {
    line = CommandLine{};
    line.mode = RunMode::Usage;
    line.error = *error;
  }
  return line;
}

std::string VersionText() { return std::string("projector-panel ") + PANEL_VERSION; }
