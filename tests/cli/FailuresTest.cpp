// What the command line says when it cannot do what it was asked: the panel's own texts.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QTimer>
#include <thread>

#include <map>
#include <regex>
#include <set>

#include "FakeClock.h"
#include "FakeWindow.h"
#include "Fixture.h"
#include "Pty.h"
#include "SendRig.h"
#include "cli/SendCommand.h"
#include "commands/CommandNames.h"
#include "controller/PortSelection.h"
#include "hold/HoldNames.h"
#include "panel/Form1.h"
#include "exchange/FreeText.h"
#include "platform/QtSerialLink.h"

namespace {

// What the window shows when the device of `port` is missing: at start-up for COM1, on choosing
// COM2 (from a working COM1) for COM2.
std::string PanelsOpenFailure(std::int16_t port, const QString& missing, const QString& there) {
  const PortMap ports = port == 1 ? PortMap{missing, there} : PortMap{there, missing};
  FakeClock clock;
  FakeTimer t1{clock}, t2{clock}, t3{clock}, t4{clock};
  FakeWindow window;
  QtSerialLink link(ports);
  Form1 form(link, Timers{t1, t2, t3, t4}, window);
  form.Load();
  if (port == 2) form.Dispatch.Run(OnFailure::Warn, [&] { form.linkSettings.Option2_Click(); });
  const auto& shown = port == 1 ? window.fatals : window.warnings;
  if (shown.empty()) return "(the panel showed nothing)";
  // The box of a port selection adds what follows in the panel, which --send does not have.
  std::string failure = shown.back();
  const std::string panelOnly = std::string(" ") + kClosedUntilChosen;
  if (failure.ends_with(panelOnly)) failure.resize(failure.size() - panelOnly.size());
  return failure;
}

TEST(SendFailures, MissingDeviceGivesExitOneAndThePanelsText) {
  Pty present;
  const QString there = QString::fromStdString(present.SlavePath());
  const QString missing = QStringLiteral("/nonexistent/ttyUSB7");
  const struct {
    std::int16_t port;
    PortMap ports;
  } cases[] = {
      {1, {missing, there}},
      {2, {there, missing}},
      {2, {missing, missing}},  // COM1 is not touched on the way to COM2
  };
  for (const auto& c : cases) {
    SendRequest request = Request({"CR0"});
    request.port = c.port;
    const Outcome outcome = SendFrom(request, c.ports.com1, c.ports.com2);
    EXPECT_EQ(outcome.status, SendExit::kLinkFailed) << c.port;
    EXPECT_EQ(outcome.out, "") << c.port;
    const std::string panel = PanelsOpenFailure(c.port, missing, there);
    EXPECT_EQ(outcome.err, "projector-panel: \"CR0\" was not sent: " + panel + "\n") << c.port;
    EXPECT_NE(panel.find(missing.toStdString()), std::string::npos) << panel;
  }
}

// A frame that has not left when the device goes away or its time is up never reached it whole:
// the run says which command did not reach which port, and ends with status 1. Pseudo terminals
// have their output stopped; the server's connections take almost nothing, so the system holds
// the rest on our side.
TEST(SendFailures, AFrameThatDoesNotLeaveEndsTheRunWithStatusOne) {
  const std::string text(500, 'A');  // the longest a command may be
  const std::vector<std::string> six(6, text);
  const struct {
    const char* name;
    bool network;
    std::vector<std::string> commands;
    const char* address;
    int hangUpMs;  // the far end hangs up (or resets) this long after the start; -1 never; 0 as the
                   // first frame comes, holding the program up past its window (the line not stopped)
    std::optional<int> timeoutMs;
    std::string expected;  // PORT is the port
  } cases[] = {
      {"a frame waits as the device hangs up", false, {"C00"}, "SINGLE", 400, {}, "\"C00\" did not reach PORT"},
      {"broadcasts wait as the device hangs up", false, six, "ALL", 1500, {},
       "The command \"AFFF" + text + "\" did not reach PORT"},
      {"a broadcast waits when its time is up", false, {"C00", "C01"}, "ALL", -1, 300,
       "\"C00\" did not reach PORT: it was still waiting to go out when its 300 ms were up"},
      {"broadcasts wait as the server resets", true, six, "ALL", 1500, {}, "\" may not have reached PORT"},
      {"broadcasts wait when their time is up", true, six, "ALL", -1, 300, "\" did not reach PORT: it was still"},
      {"the device hangs up as the window ends", false, {"CR0", "C00"}, "SINGLE", 0, 50,
       "PORT was lost while waiting for the reply to \"CR0\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Pty line;
    const int server = ::socket(AF_INET, SOCK_STREAM, 0);
    const int tiny = 1;
    ::setsockopt(server, SOL_SOCKET, SO_RCVBUF, &tiny, sizeof tiny);  // inherited by what it accepts
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ASSERT_EQ(::bind(server, reinterpret_cast<sockaddr*>(&address), size), 0);
    ASSERT_EQ(::listen(server, 1), 0);
    ::getsockname(server, reinterpret_cast<sockaddr*>(&address), &size);
    const QString device = c.network ? QStringLiteral("socket://127.0.0.1:%1").arg(ntohs(address.sin_port))
                                     : QString::fromStdString(line.SlavePath());
    if (!c.network && c.hangUpMs != 0) {
      ASSERT_EQ(::tcflow(line.SlaveFd(), TCOOFF), 0);
    }
    QElapsedTimer elapsed;
    elapsed.start();
    QTimer farEnd;
    QObject::connect(&farEnd, &QTimer::timeout, [&] {
      pollfd frame{line.MasterFd(), POLLIN, 0};
      if (c.hangUpMs == 0 ? ::poll(&frame, 1, 0) < 1 : c.hangUpMs < 0 || elapsed.elapsed() < c.hangUpMs) return;
      farEnd.stop();
      if (c.network) {
        const int connection = ::accept(server, nullptr, nullptr);
        const linger reset{1, 0};
        ::setsockopt(connection, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
        ::close(connection);
      } else {
        line.HangUp();
      }
      if (c.hangUpMs == 0) std::this_thread::sleep_for(std::chrono::milliseconds(200));
    });
    farEnd.start(1);
    SendRequest request;
    request.commands = c.commands;
    request.address = Address(c.address);
    request.timeoutMs = c.timeoutMs;
    const Outcome outcome = SendFrom(request, device);
    ::close(server);
    EXPECT_EQ(outcome.status, SendExit::kLinkFailed);
    EXPECT_NE(outcome.err.find(WithPort(c.expected, device)), std::string::npos) << outcome.err;
    EXPECT_EQ(outcome.err.find("click"), std::string::npos) << outcome.err;  // a script has nothing to click
  }
}

// Every command is checked before the port is opened: the port here is missing, so an attempt
// to open it would have said so and ended with exit 1.
TEST(SendFailures, TextTheProjectorCannotTakeIsRefusedBeforeAnythingIsSent) {
  const struct {
    std::vector<std::string> commands;
    std::string refused;
    std::string named;  // how the message names it
    std::string why;    // the reason given; the panel's own refusal where empty
    const char* address = "SINGLE";
  } cases[] = {
      {{"C\xc3\x9c" "00"}, "C\xc3\x9c" "00", "\"C\\xc3\\x9c00\"", ""},
      {{"CR0", "C00", "CR\xe2\x80\x8b" "0"}, "CR\xe2\x80\x8b" "0", "\"CR\\xe2\\x80\\x8b0\"", ""},  // invisible raw
      {{"C\xc3\x9c" "00\r\x7f"}, "C\xc3\x9c" "00\r\x7f", "\"C\\xc3\\x9c00\\x0d\\x7f\"", ""},
      {{"CR0", "C00\rC01"}, "C00\rC01", "\"C00\\x0dC01\"", ""},
      {{"CR0", ""}, "", "\"\"",
       "Nothing was sent: the command is empty. Give the projector's command (for example CR0) or its name "
       "(projector-panel --list-commands lists them)."},
      {{"power-of"}, "", "\"power-of\"",
       "no command has this name; did you mean \"power-on\" or \"power-off\"? projector-panel --list-commands "
       "lists every name."},
      {{"stat"}, "", "\"stat\"",
       "no command has this name; did you mean \"status\"? projector-panel --list-commands lists every name."},
      {{"keystone-lft"}, "", "\"keystone-lft\"",
       "no command has this name; did you mean \"keystone-left\", \"keystone-up\" or \"keystone-down\"? "
       "projector-panel --list-commands lists every name."},
      {{"warm-up-now"}, "", "\"warm-up-now\"",
       "no command has this name. projector-panel --list-commands lists every name."},
      {{"C00", "lamp-hours"}, "", "\"lamp-hours\"",
       "Nothing was sent: this asks for a status, and with --address all no projector answers. Ask one projector "
       "with --address 001 to 004.",
       "ALL"},
  };
  for (const auto& c : cases) {
    SendRequest request;
    request.commands = c.commands;
    request.address = Address(c.address);
    const Outcome outcome = SendFrom(request, QStringLiteral("/nonexistent/com1"));
    EXPECT_EQ(outcome.status, SendExit::kRefused);
    EXPECT_EQ(outcome.out, "");
    const std::string why = c.why.empty() ? FreeTextRefusal(c.refused, "the --send text").value_or("(accepted)") : c.why;
    EXPECT_EQ(outcome.err, "projector-panel: --send " + c.named + ": " + why + " Try 'projector-panel --help'.\n");
  }
}

// A caption sent as the command and refused points to every button that carries it, and to no
// other: the panel's documentation says which buttons carry which caption.
TEST(SendFailures, ARefusedCaptionNamesTheButtonsThatCarryIt) {
  std::map<std::string, std::set<std::string>> carriers;  // caption -> controls
  for (const auto& row : ReadFixture("buttons.txt")) carriers[row[2]].insert(row[0]);
  for (const auto& [caption, controls] : carriers) {
    const std::string hint = DidYouMean(SendCommand{caption, caption});
    ASSERT_TRUE(hint.starts_with(" (did you mean ") && hint.ends_with("?)")) << caption << hint;
    const std::string list = ", " + std::regex_replace(hint.substr(15, hint.size() - 17), std::regex(" or "), ", ") + ", ";
    std::set<std::string> named;
    const auto add = [&](std::string_view name, std::string_view control) {
      if (list.find(", " + std::string(name) + ", ") != std::string::npos) named.insert(std::string(control));
    };
    for (const CommandName& n : kCommandNames) add(n.name, n.control);
    for (const HoldName& n : kHoldNames) add(n.name, n.control);
    EXPECT_EQ(named, controls) << caption << hint;
  }
}

}  // namespace
