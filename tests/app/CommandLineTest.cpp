#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "CommandLine.h"

namespace {

using Args = std::vector<std::string_view>;

struct Accepted {
  Args args;
  RunMode mode;
  std::optional<std::string> com1 = std::nullopt;
  std::optional<std::string> com2 = std::nullopt;
  std::vector<std::string> commands = {};
  int port = 1;
  int speed = 19200;
  std::string_view address = "SINGLE";
  bool json = false;
  std::optional<int> timeout = std::nullopt;
  std::optional<std::string> log = std::nullopt;
};

TEST(CommandLine, ReadsWhatEachOptionAsksFor) {
  const Accepted table[] = {
      {{}, RunMode::Window},
      {{"--help"}, RunMode::Help},
      {{"-h"}, RunMode::Help},
      {{"--version"}, RunMode::Version},
      {{"-V"}, RunMode::Version},
      {{"--list-ports"}, RunMode::ListPorts},
      {{"--list-commands"}, RunMode::ListCommands},
      // Help and version answer whatever else is on the line, mistakes included.
      {{"--bogus", "--help"}, RunMode::Help},
      {{"/dev/ttyUSB0", "--version"}, RunMode::Version},
      {{"--com1", "--help"}, RunMode::Help},
      {{"--version", "--help"}, RunMode::Help},
      {{"--com1", "/dev/ttyUSB0"}, RunMode::Window, "/dev/ttyUSB0"},
      {{"--com2", "/dev/pts/7", "--com1=/dev/serial/by-id/usb-x"}, RunMode::Window, "/dev/serial/by-id/usb-x", "/dev/pts/7"},
      {{"--com1", "rfc2217://127.0.0.1:4001", "--com2", "socket://[::1]:4002"},
       RunMode::Window, "rfc2217://127.0.0.1:4001", "socket://[::1]:4002"},
      {{"--send", "CR0", "--com2=SOCKET://serial-server.local:7000"},
       RunMode::Send, std::nullopt, "SOCKET://serial-server.local:7000", {"CR0"}},
      {{"--send", "CR0"}, RunMode::Send, std::nullopt, std::nullopt, {"CR0"}},
      {{"--send", "C00", "--send=CR0", "--send", "-x", "--send", "a=b"},
       RunMode::Send, std::nullopt, std::nullopt, {"C00", "CR0", "-x", "a=b"}},
      {{"--json", "--address", "003", "--speed", "9600", "--send", "CR1", "--port", "2", "--com2", "/dev/ttyUSB1"},
       RunMode::Send, std::nullopt, "/dev/ttyUSB1", {"CR1"}, 2, 9600, "003", true},
      {{"--send", "CR0", "--address", "ALL", "--speed", "19200", "--port", "1"},
       RunMode::Send, std::nullopt, std::nullopt, {"CR0"}, 1, 19200, "ALL"},
      {{"--send", "CR0", "--address=all"}, RunMode::Send, std::nullopt, std::nullopt, {"CR0"}, 1, 19200, "ALL"},
      {{"--send", "CR0", "--address", "Single"}, RunMode::Send, std::nullopt, std::nullopt, {"CR0"}},
      {{"--send", "CR0", "--address", "004"}, RunMode::Send, std::nullopt, std::nullopt, {"CR0"}, 1, 19200, "004"},
      {{"--send", "status", "--timeout", "50"}, RunMode::Send, std::nullopt, std::nullopt, {"status"}, 1, 19200, "SINGLE",
       false, 50},
      {{"--timeout=60000", "--send", ""}, RunMode::Send, std::nullopt, std::nullopt, {""}, 1, 19200, "SINGLE", false, 60000},
      {{"--timeout", "700"}, RunMode::Window, std::nullopt, std::nullopt, {}, 1, 19200, "SINGLE", false, 700},
      {{"--serve", "--speed", "9600", "--com1", "/dev/ttyUSB0"}, RunMode::Serve, "/dev/ttyUSB0", std::nullopt, {}, 1, 9600},
      {{"--serve", "--pjlink", "0.0.0.0:4352", "--pjlink-password-file", "p", "--pjlink2", "localhost:4353"},
       RunMode::Serve, std::nullopt, std::nullopt, {}},
      {{"--pjlink", "[::1]:4352", "--pjlink-name", ""}, RunMode::Window, std::nullopt, std::nullopt, {}},
      {{"--log", "traffic.log"}, RunMode::Window, std::nullopt, std::nullopt, {}, 1, 19200, "SINGLE", false, std::nullopt,
       "traffic.log"},
      {{"--send", "CR0", "--log=/tmp/a b"}, RunMode::Send, std::nullopt, std::nullopt, {"CR0"}, 1, 19200, "SINGLE", false,
       std::nullopt, "/tmp/a b"},
  };
  for (const Accepted& row : table) {
    std::string shown;
    for (std::string_view arg : row.args) shown += std::string(arg) + " ";
    SCOPED_TRACE(shown);
    const CommandLine line = ParseCommandLine(row.args);
    EXPECT_EQ(line.mode, row.mode);
    EXPECT_EQ(line.error, "");
    EXPECT_EQ(line.com1, row.com1);
    EXPECT_EQ(line.com2, row.com2);
    EXPECT_EQ(line.send.commands, row.commands);
    EXPECT_EQ(line.send.port, row.port);
    EXPECT_EQ(line.send.speed, row.speed);
    EXPECT_EQ(line.send.address->caption, row.address);
    EXPECT_EQ(line.send.json, row.json);
    EXPECT_EQ(line.send.timeoutMs, row.timeout);
    EXPECT_EQ(line.log, row.log);
    EXPECT_EQ(line.send.log, row.log);
  }
}

TEST(CommandLine, AMistakeIsNamedInOneLine) {
  const struct {
    Args args;
    std::string error;
  } table[] = {
      {{"/dev/ttyUSB0"}, "unexpected argument '/dev/ttyUSB0' (to name the device of COM1, write --com1 /dev/ttyUSB0)"},
      {{"--com1", "/dev/ttyS0", "COM2"}, "unexpected argument 'COM2'"},
      {{"panel"}, "unexpected argument 'panel'"},
      {{"-"}, "unexpected argument '-'"},
      {{"--bogus"}, "unknown option '--bogus'"},
      {{"--bogus=1"}, "unknown option '--bogus'"},
      {{"-x"}, "unknown option '-x'"},
      {{"--"}, "unknown option '--'"},
      {{"--Com1", "x"}, "unknown option '--Com1'"},
      {{"--com1"}, "option '--com1' needs a value: a device path"},
      {{"--com1", "--com2", "/dev/ttyS1"}, "option '--com1' needs a value: a device path"},
      {{"--com2="}, "option '--com2' needs a value: a device path"},
      {{"--send"}, "option '--send' needs a value: a command"},
      {{"--log="}, "option '--log' needs a value: a file name"},
      {{"--send", "CR0", "--port"}, "option '--port' needs a value: 1 or 2"},
      {{"--json=yes", "--send", "CR0"}, "option '--json' takes no value"},
      {{"--list-ports=all"}, "option '--list-ports' takes no value"},
      {{"--send", "CR0", "--port", "3"}, "option '--port' takes 1 or 2, not '3'"},
      {{"--serve", "--send", "CR0"}, "option '--serve' and option '--send' exclude each other"},
      {{"--serve", "--json"}, "option '--json' only applies with --send"},
      {{"--send", "CR0", "--port", "COM2"}, "option '--port' takes 1 or 2, not 'COM2'"},
      {{"--send", "CR0", "--speed", "4800"}, "option '--speed' takes 19200 or 9600, not '4800'"},
      {{"--send", "CR0", "--address", "005"}, "option '--address' takes single, all, 001, 002, 003 or 004, not '005'"},
      {{"--send", "CR0", "--address", "1"}, "option '--address' takes single, all, 001, 002, 003 or 004, not '1'"},
      {{"--send", "CR0", "--address", "A001"}, "option '--address' takes single, all, 001, 002, 003 or 004, not 'A001'"},
      {{"--json"}, "option '--json' only applies with --send"},
      {{"--com1", "/dev/ttyUSB0", "--port", "2"}, "option '--port' only applies with --send"},
      {{"--speed", "9600"}, "option '--speed' only applies with --send"},
      {{"--address", "all"}, "option '--address' only applies with --send"},
      {{"--com1", "/dev/a", "--com1", "/dev/b"}, "option '--com1' is given twice"},
      {{"--send", "CR0", "--port", "1", "--port", "2"}, "option '--port' is given twice"},
      {{"--list-ports", "--com1", "/dev/ttyUSB0"}, "option '--list-ports' takes no other options"},
      {{"--send", "CR0", "--list-ports"}, "option '--list-ports' takes no other options"},
      {{"--com1", "rfc2217://127.0.0.1"}, "option '--com1': 'rfc2217://127.0.0.1' names no port: add :PORT after the host"},
      {{"--send", "CR0", "--com2", "telnet://h:23"},
       "option '--com2': 'telnet://' is not a kind of port the panel knows: write rfc2217://HOST:PORT for a Telnet "
       "(RFC 2217) serial server or socket://HOST:PORT for raw TCP"},
      {{"--com1", "192.168.1.50:4001"},
       "option '--com1': '192.168.1.50:4001' names a network port without its kind: write "
       "rfc2217://192.168.1.50:4001 for a Telnet (RFC 2217) serial server or socket://192.168.1.50:4001 for raw TCP"},
      {{"--com1", "socket://::1:4001"},
       "option '--com1': 'socket://::1:4001' has more than one ':': an IPv6 host goes in brackets, as in "
       "rfc2217://[::1]:4001"},
      {{"--com1", "rfc2217://[::1:4001"}, "option '--com1': 'rfc2217://[::1:4001' opens a bracket for an IPv6 host but does not close it"},
      {{"--com1", "rfc2217://:4001"}, "option '--com1': 'rfc2217://:4001' names no host"},
      {{"--com1", "rfc2217://a b:4001"}, "option '--com1': 'a b' in 'rfc2217://a b:4001' is not a host name or address"},
      {{"--com1", "rfc2217://h:70000"},
       "option '--com1': the port '70000' in 'rfc2217://h:70000' is not a number from 1 to 65535 (nothing may follow it)"},
      {{"--com1", "rfc2217://h:4001?logging=debug"},
       "option '--com1': the port '4001?logging=debug' in 'rfc2217://h:4001?logging=debug' is not a number from 1 to "
       "65535 (nothing may follow it)"},
      {{"--list-commands", "--json"}, "option '--list-commands' takes no other options"},
      {{"--markdown"}, "option '--markdown' only applies with --list-commands"},
      {{"--send", "CR0", "--timeout", "49"}, "option '--timeout' takes a number of milliseconds from 50 to 60000, not '49'"},
      {{"--send", "CR0", "--timeout", "60001"}, "option '--timeout' takes a number of milliseconds from 50 to 60000, not '60001'"},
      {{"--send", "CR0", "--timeout", "1e3"}, "option '--timeout' takes a number of milliseconds from 50 to 60000, not '1e3'"},
      {{"--send", "CR0", "--timeout", "+500"}, "option '--timeout' takes a number of milliseconds from 50 to 60000, not '+500'"},
      {{"--serve", "--pjlink", "0.0.0.0:4352"},
       "option '--pjlink' would let anyone who reaches 0.0.0.0 drive the projector: give --pjlink-password-file "
       "FILE, or listen on this machine only (--pjlink 4352)"},
      {{"--pjlink2", "[::]:4352"},
       "option '--pjlink2' would let anyone who reaches :: drive the projector: give --pjlink-password-file FILE, or "
       "listen on this machine only (--pjlink2 4352)"},
      {{"--pjlink", "70000"}, "option '--pjlink' takes [ADDRESS:]PORT, not '70000'"},
      {{"--pjlink", "lab:4352"}, "option '--pjlink' takes [ADDRESS:]PORT, not 'lab:4352'"},
      {{"--pjlink", "4352", "--pjlink2", "[::1]:4352"}, "options '--pjlink' and '--pjlink2' need ports of their own"},
      {{"--pjlink-name", "Hall A"}, "option '--pjlink-name' only applies with --pjlink or --pjlink2"},
      {{"--send", "CR0", "--pjlink", "4352"}, "option '--pjlink' applies to the panel that holds the port, not to --send"},
      {{"--pjlink", "4352", "--pjlink-maker", "mmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmm"}, "option '--pjlink-maker' may have at most 32 bytes, not 33"},
      // The first mistake is the one named.
      {{"stray", "--bogus"}, "unexpected argument 'stray'"},
  };
  for (const auto& row : table) {
    std::string shown;
    for (std::string_view arg : row.args) shown += std::string(arg) + " ";
    SCOPED_TRACE(shown);
    const CommandLine line = ParseCommandLine(row.args);
    EXPECT_EQ(line.mode, RunMode::Usage);
    EXPECT_EQ(line.error, row.error);
    EXPECT_EQ(line.error.find('\n'), std::string::npos);
  }
}

// Every option the parser takes is documented, and the usage summary is the help's first part.
TEST(CommandLine, HelpDocumentsEveryOption) {
  const std::string help = HelpText();
  EXPECT_EQ(help.rfind(UsageText(), 0), 0u);
  for (const char* option : {"--com1 PATH", "--com2 PATH", "--list-ports", "--send COMMAND", "--port 1|2",
                             "--speed 19200|9600", "--address single|all|001|002|003|004", "--json", "-h, --help",
                             "-V, --version", "--timeout MS", "--list-commands", "--markdown", "p=/dev/serial/by-id/usb-",
                             "rfc2217://HOST:PORT", "socket://HOST:PORT", "--pjlink [ADDRESS:]PORT",
                             "--pjlink2 [ADDRESS:]PORT", "--pjlink-password-file FILE", "--pjlink-name TEXT"}) {
    EXPECT_NE(help.find(option), std::string::npos) << option;
  }
  // And every exit status, each on a line of its own.
  for (const char* status : {"0", "1", "2", "3", "4", "129", "130", "141", "143"}) {
    EXPECT_NE(help.find(std::string("\n  ") + status + "  "), std::string::npos) << status;
  }
}

}  // namespace
