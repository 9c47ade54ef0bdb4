// The command-line face against the simulated projector on a real pseudo terminal, in real time:
// the simulator's replies are kept quick so that the reply windows dominate.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <regex>

#include "LogLines.h"
#include "Ser2net.h"
#include "SendRig.h"
#include "SharedLine.h"
#include "SimTemperatures.h"
#include "launcher/SimProcess.h"

namespace {

TEST(SendWithSimulator, PowersOnThroughTheCountDownAcrossRuns) {
  SimProcess sim({"--warmup-ms", "1500", "--cooldown-ms", "0"});
  const Outcome first = SendFrom(Request({"CR0", "C00", "CR0"}), sim.Path());
  EXPECT_EQ(first.status, SendExit::kReplied) << first.err;
  EXPECT_EQ(first.err, "");
  EXPECT_EQ(Blocks(first.out), (std::vector<Block>{{" C R 0 CR ", " 8 0 CR ", " Stand by"},
                                                   {" C 0 0 CR ", " ACK CR ", ""},
                                                   {" C R 0 CR ", " 4 0 CR ", " Count down"}}));

  // What a script waiting for the lamp does: ask again until the count down is over.
  std::vector<Block> last;
  QElapsedTimer waited;
  waited.start();
  do {
    Pause(100);
    const Outcome again = SendFrom(Request({"CR0"}), sim.Path());
    ASSERT_EQ(again.status, SendExit::kReplied) << again.err;
    last = Blocks(again.out);
    ASSERT_EQ(last.size(), 1u) << again.out;
  } while (last[0].status == " Count down" && waited.elapsed() < 8000);
  EXPECT_EQ(last[0].status, " Power ON");

  const Outcome off = SendFrom(Request({"C01", "CR0"}), sim.Path());
  EXPECT_EQ(Blocks(off.out), (std::vector<Block>{{" C 0 1 CR ", " ACK CR ", ""},
                                                 {" C R 0 CR ", " 8 0 CR ", " Stand by"}}));
}

// One run, many commands, by text or by name: each reply is decoded on its own, as the STATUS
// line and as a typed value, and an acknowledgement leaves both empty rather than repeating the
// query before it.
TEST(SendWithSimulator, EveryStatusQueryDecodesInOneRun) {
  SimProcess sim({"--warmup-ms", "0", "--lamp-hours", "4321"});
  const std::string temperatures = SimTemperatureLinePattern();
  const std::string reading = R"(2[3-7](\.\d+)?)";
  const struct {
    std::string command;
    std::string status;  // a pattern of the whole STATUS line
    std::string value;   // a pattern of the JSON value
  } cases[] = {
      {"CR0", " Stand by", R"(\{"code":"80","text":"Stand by"\})"},
      {"CR1", " Input mode 1", "1"},
      {"orientation", " Normally", R"(\{"code":"11","text":"Normally"\})"},
      {"CR3", " 0 4 3 2 1 CR  Hour Use", "4321"},
      {"temperatures", temperatures, "\\[" + reading + "," + reading + "," + reading + "," + reading + "\\]"},
      {"CRA", " Stand by", R"(\{"code":"FF","text":"Stand by"\})"},
      {"pc-type", " P J - Q 8 CR ", R"("PJ-Q8")"},
      {"CR PRESSURE", "101[2-4] hPa", "101[2-4]"},
      {"CR7", " All OFF : 2 Lamp mode", R"(\{"code":"00","text":"All OFF : 2 Lamp mode"\})"},
      {"power-on", "", "null"},
      {"status", " Power ON", R"(\{"code":"00","text":"Power ON"\})"},
      {"C07", "", "null"},
      {"input-mode", " Input mode 3", "3"},
      {"C0D", "", "null"},
      {"mute-signal", " Video mute ON", R"(\{"code":"01","text":"Video mute ON"\})"},
      {"C0E", "", "null"},
      {"CRA", " Video & Audio mute OFF", R"(\{"code":"00","text":"Video & Audio mute OFF"\})"},
      {"lamp-mode", " No1,2 ON  : 2 Lamp mode", R"(\{"code":"03","text":"No1,2 ON  : 2 Lamp mode"\})"},
      {"pressure", "101[2-4] hPa", "101[2-4]"},
  };
  SendRequest request;
  for (const auto& c : cases) request.commands.push_back(c.command);
  request.json = true;
  const Outcome outcome = SendFrom(request, sim.Path());
  EXPECT_EQ(outcome.status, SendExit::kReplied) << outcome.err;
  std::vector<std::string> lines;
  std::istringstream out(outcome.out);
  for (std::string line; std::getline(out, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), std::size(cases)) << outcome.out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string status = Field(lines[i], "status").value_or("(none)");
    EXPECT_TRUE(std::regex_match(status, std::regex(cases[i].status))) << cases[i].command << ": \"" << status << '"';
    std::smatch value;
    ASSERT_TRUE(std::regex_search(lines[i], value, std::regex(R"re("value":(.*),"truncated")re"))) << lines[i];
    EXPECT_TRUE(std::regex_match(value[1].str(), std::regex(cases[i].value))) << cases[i].command << ": " << value[1];
  }
}

// With every reply late, which commands are still answered tells which reply window they had:
// a button's command keeps the window the last sender set (500 ms at first), other text gets
// "SEND"'s 2000 ms, and a longer window set before carries over.
TEST(SendWithSimulator, EachCommandGetsTheReplyWindowThePanelWouldGiveIt) {
  const struct {
    std::vector<std::string> commands;
    std::vector<bool> timedOut;
    int status;
  } cases[] = {
      {{"CR0"}, {true}, SendExit::kNoReply},
      {{"CF IMAGE REAL"}, {false}, SendExit::kReplied},
      {{"CF INPUT1 VIDEO", "CR0"}, {false, false}, SendExit::kReplied},
      {{"cr0", "CR0"}, {false, false}, SendExit::kErr},  // typed text the projector refuses
  };
  for (const auto& c : cases) {
    SimProcess sim({"--reply-delay", "900"});
    SendRequest request;
    request.commands = c.commands;
    request.json = true;
    const Outcome outcome = SendFrom(request, sim.Path());
    std::vector<bool> timedOut;
    std::istringstream lines(outcome.out);
    for (std::string line; std::getline(lines, line);) {
      timedOut.push_back(line.find("\"timed_out\":true") != std::string::npos);
    }
    EXPECT_EQ(timedOut, c.timedOut) << c.commands[0] << "\n" << outcome.out;
    EXPECT_EQ(outcome.status, c.status) << c.commands[0];
  }
}

// A hold button's name is one step of it: the press's short reply window, no repetition however
// long the wait, then the release, which leaves the panel's 500 ms window to the next command. A
// cursor step waits as long as a plain press would, whatever mode D.Zoom's release armed.
TEST(SendWithSimulator, AHoldNameIsOnePressAndItsRelease) {
  const struct {
    const char* delay;
    std::optional<int> timeoutMs;
    std::vector<std::string> commands;
    std::vector<bool> timedOut;
    int status;
  } cases[] = {
      {"300", std::nullopt, {"zoom-in", "CR0"}, {true, false}, SendExit::kNoReply},
      // A repeat at 250 ms would be answered during the next wait.
      {"300", 1000, {"keystone-left", "CR0"}, {false, false}, SendExit::kReplied},
      {"20", std::nullopt, {"d-zoom-in", "cursor-up", "cursor-down", "CR0"}, {false, false, false, false}, SendExit::kReplied},
  };
  for (const auto& c : cases) {
    SimProcess sim({"--reply-delay", c.delay});
    SendRequest request = Request({});
    request.commands = c.commands;
    request.timeoutMs = c.timeoutMs;
    request.json = true;
    const Outcome outcome = SendFrom(request, sim.Path());
    std::vector<bool> timedOut;
    std::istringstream lines(outcome.out);
    for (std::string line; std::getline(lines, line);) timedOut.push_back(line.find("\"timed_out\":true") != std::string::npos);
    EXPECT_EQ(timedOut, c.timedOut) << c.commands[0] << "\n" << outcome.out;
    EXPECT_EQ(outcome.status, c.status) << outcome.err;
    // The last reply is CR0's own: a repeat's acknowledgement would stand in for it.
    const std::string standBy = R"("answer":"data","value":{"code":"80","text":"Stand by"},"truncated":false})";
    EXPECT_TRUE(c.status != SendExit::kReplied || (outcome.err.empty() && outcome.out.ends_with(standBy + "\n")))
        << outcome.err << outcome.out;
  }
}

// On a raw TCP port the server sets the line: --speed is said to change nothing, once, and the
// run goes on as asked.
TEST(SendWithSimulator, SpeedOnARawTcpPortIsTheServersAndSaidSo) {
  SimProcess sim({});
  Ser2net server(sim.Path(), Ser2net::Kind::Raw);
  const std::string note = "The speed of COM1 (" + server.Url().toStdString() +
                           ") cannot be set from here: on a raw TCP port the server's own setting rules. If the "
                           "projector needs 9600 baud, set it in the server's configuration.";
  for (const bool json : {false, true}) {
    SendRequest request = Request({"CR0", "C00"});
    request.speed = 9600;
    request.speedGiven = true;
    request.json = json;
    const Outcome outcome = SendFrom(request, server.Url());
    EXPECT_EQ(outcome.status, SendExit::kReplied) << outcome.err;
    EXPECT_EQ(outcome.err, json ? "{\"warning\":\"" + note + "\",\"command\":null}\n" : "projector-panel: " + note + "\n");
  }
}

// A reply is a success only once complete at its CR; what had come when the wait ended is shown,
// and the run fails.
TEST(SendWithSimulator, ReplyInPiecesIsReportedOnceCompleteOrWhenItsWindowEnds) {
  const struct {
    const char* gap;  // between the reply's three pieces
    Block shown;
    int status;
  } cases[] = {
      {"150", {" C R 0 CR ", " 8 0 CR ", " Stand by"}, SendExit::kReplied},  // the CR comes in time
      {"300", {" C R 0 CR ", " 8 0 ", " Stand by"}, SendExit::kNoReply},     // the 500 ms window ends first
  };
  for (const auto& c : cases) {
    SimProcess sim({"--split", "--split-gap", c.gap});
    const Outcome outcome = SendFrom(Request({"CR0"}), sim.Path());
    EXPECT_EQ(outcome.status, c.status) << c.gap;
    EXPECT_EQ(Blocks(outcome.out), std::vector<Block>{c.shown}) << c.gap;
  }
}

// A projector answers each frame once, in order: bytes that come after a command's wait has
// ended are the rest of that command's reply, reported as late, never the next command's.
TEST(SendWithSimulator, RepliesBelongToTheirCommand) {
  const struct {
    QStringList sim;
    std::vector<std::string> commands;
    std::vector<std::string> rxd;   // a pattern of each command's RXD line
    std::vector<std::string> late;  // the late lines, in order, by their beginning
  } cases[] = {
      {{"--reply-delay", "700"},
       {"CR0", "CR3", "CR7", "CR0"},
       {" X X X X", " X X X X", " X X X X", " X X X X"},
       {R"(late reply to "CR0" from PORT, after its wait had ended: "80\x0d")",
        R"(late reply to "CR3" from PORT, after its wait had ended: "01234\x0d")",
        R"(late reply to "CR7" from PORT, after its wait had ended: "00\x0d")",
        R"(late reply to "CR0" from PORT, after its wait had ended: "80\x0d")"}},
      {{"--split", "--split-gap", "300"},
       {"CR6", "CR0"},
       {R"( \+ 2 \d \. \d     .*)", "( 8)?( 0)?( CR)? ?"},
       {R"(late reply to "CR6" from PORT, after its wait had ended: ")"}},
  };
  for (const auto& c : cases) {
    SimProcess sim(c.sim);
    SendRequest request;
    request.commands = c.commands;
    const Outcome outcome = SendFrom(request, sim.Path());
    EXPECT_EQ(outcome.status, SendExit::kNoReply) << c.commands[0];
    const std::vector<Block> blocks = Blocks(outcome.out);
    ASSERT_EQ(blocks.size(), c.rxd.size()) << outcome.out;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
      EXPECT_TRUE(std::regex_match(blocks[i].rxd, std::regex(c.rxd[i]))) << c.commands[i] << ": " << blocks[i].rxd;
    }
    std::vector<std::string> late;
    std::istringstream errors(outcome.err);
    for (std::string line; std::getline(errors, line);) {
      if (line.find("late reply") != std::string::npos) late.push_back(line);
    }
    // A late reply can itself end late: a line for the last command may follow.
    ASSERT_GE(late.size(), c.late.size()) << outcome.err;
    for (std::size_t i = 0; i < c.late.size(); ++i) {
      EXPECT_EQ(late[i].rfind("projector-panel: " + WithPort(c.late[i], sim.Path()), 0), 0u) << late[i];
    }
  }
}

// The traffic log of a run: each event on its line, a late reply as late, a lost line as lost;
// a log that cannot be opened is said once and the run goes on.
TEST(SendWithSimulator, TrafficLogHasALineForEachEvent) {
  const struct {
    QStringList sim;
    std::vector<std::string> commands;
    std::optional<int> timeoutMs;
    std::vector<std::string> events;
    std::string racing = "";  // an event that may come or not, as the hang-up is seen before it or after
  } cases[] = {
      {{}, {"CR0", "C00"}, std::nullopt, {"TXD  C R 0 CR ", "RXD  8 0 CR ", "STATUS  Stand by", "TXD  C 0 0 CR ", "RXD  ACK CR "}},
      {{"--split", "--lamp-hours", "1234"}, {"CR3"}, std::nullopt,
       {"TXD  C R 3 CR ", "RXD  0 1 ", "RXD  2 3 ", "RXD  4 CR ", "STATUS  0 1 2 3 4 CR  Hour Use"}},
      {{"--reply-delay", "300"}, {"CR0"}, 200, {"TXD  C R 0 CR ", "no reply within 200 ms", "late  8 0 CR "}},
      {{"--hangup-after", "1"}, {"c00", "CR1"}, std::nullopt, {"TXD  c 0 0 CR ", "RXD  E R R CR ", "lost"}, "TXD  C R 1 CR "},
  };
  QTemporaryDir dir;
  for (const auto& c : cases) {
    SimProcess sim(c.sim);
    SendRequest request;
    request.commands = c.commands;
    request.timeoutMs = c.timeoutMs;
    request.log = dir.filePath(QString::number(&c - cases)).toStdString();
    SendFrom(request, sim.Path());
    std::vector<std::string> events = LogEvents(QString::fromStdString(*request.log), "COM1 (" + sim.Path().toStdString() + ")");
    std::erase(events, c.racing);
    EXPECT_EQ(events, c.events);
  }
  SendRequest request = Request({"CR0"});
  request.log = "/nonexistent/traffic.log";
  SimProcess sim({});
  const Outcome outcome = SendFrom(request, sim.Path());
  EXPECT_EQ(outcome.status, SendExit::kReplied);
  EXPECT_EQ(outcome.err.rfind("projector-panel: the traffic log /nonexistent/traffic.log could not be opened", 0), 0u)
      << outcome.err;
  EXPECT_EQ(Blocks(outcome.out).size(), 1u);
}

// Bytes the projector sent while no run had the port open answer nothing the next run asks.
TEST(SendWithSimulator, LeftoversOfAnEarlierRunAreNotAReply) {
  SimProcess sim({"--reply-delay", "400"});
  SendRequest first = Request({"CR0"});
  first.timeoutMs = 50;  // over, and the port closed, long before the reply comes
  EXPECT_EQ(SendFrom(first, sim.Path()).status, SendExit::kNoReply);
  Pause(800);  // the reply waits on the line
  SendRequest second = Request({"CR3"});
  second.timeoutMs = 2000;
  const Outcome outcome = SendFrom(second, sim.Path());
  EXPECT_EQ(outcome.status, SendExit::kReplied);
  EXPECT_EQ(outcome.err, "");  // not even as bytes that came before the frame
  EXPECT_EQ(Blocks(outcome.out), (std::vector<Block>{{" C R 3 CR ", " 0 1 2 3 4 CR ", " 0 1 2 3 4 CR  Hour Use"}}));
}

// A reply later than its run's last wait is still that run's to report: the next run, opening
// the port a moment later, must not take it for the answer to its own command.
TEST(SendWithSimulator, AReplyLateForOneRunIsNotTheAnswerOfTheNext) {
  SimProcess sim({"--reply-delay", "1200"});
  SendRequest request = Request({"lamp-hours"});
  request.json = true;
  const Outcome first = SendFrom(request, sim.Path());
  EXPECT_EQ(first.status, SendExit::kNoReply);
  EXPECT_NE(first.err.find(R"("late":"01234\r")"), std::string::npos) << first.err;
  request.commands = {"status"};
  const Outcome second = SendFrom(request, sim.Path());
  EXPECT_EQ(second.status, SendExit::kNoReply) << second.out;
  EXPECT_NE(second.err.find(R"("late":"80\r")"), std::string::npos) << second.err;
}

TEST(SendWithSimulator, SilentProjectorGivesNoReplyAndExitThree) {
  SimProcess sim({"--silent"});
  const Outcome outcome = SendFrom(Request({"CR0", "C00"}), sim.Path());
  EXPECT_EQ(outcome.status, SendExit::kNoReply);
  EXPECT_EQ(outcome.err, WithPort("projector-panel: no reply to \"CR0\" from PORT within 500 ms: check the cable, "
                                  "--speed and --address, or wait longer with --timeout MS\n"
                                  "projector-panel: no reply to \"C00\" from PORT within 500 ms: check the cable, "
                                  "--speed and --address, or wait longer with --timeout MS\n",
                                  sim.Path()));
  EXPECT_EQ(Blocks(outcome.out), (std::vector<Block>{{" C R 0 CR ", " X X X X", ""},
                                                     {" C 0 0 CR ", " X X X X", ""}}));
}

TEST(SendWithSimulator, JsonLinesCarryTheBytesWithEscapes) {
  SimProcess sim({"--warmup-ms", "60000"});
  SendRequest request = Request({"C00", "CR0", "say \"hi\\\""});
  request.json = true;
  const Outcome outcome = SendFrom(request, sim.Path());
  EXPECT_EQ(outcome.status, SendExit::kErr) << outcome.err;
  EXPECT_EQ(outcome.out,
            "{\"command\":\"C00\",\"frame\":\"C00\\r\",\"reply\":\"\\u0006\\r\",\"txd\":\" C 0 0 CR \","
            "\"rxd\":\" ACK CR \",\"status\":\"\",\"timed_out\":false,\"answer\":\"ack\",\"value\":null,"
            "\"truncated\":false}\n"
            "{\"command\":\"CR0\",\"frame\":\"CR0\\r\",\"reply\":\"40\\r\",\"txd\":\" C R 0 CR \","
            "\"rxd\":\" 4 0 CR \",\"status\":\" Count down\",\"timed_out\":false,\"answer\":\"data\","
            "\"value\":{\"code\":\"40\",\"text\":\"Count down\"},\"truncated\":false}\n"
            "{\"command\":\"say \\\"hi\\\\\\\"\",\"frame\":\"say \\\"hi\\\\\\\"\\r\",\"reply\":\"ERR\\r\","
            "\"txd\":\" s a y   \\\" h i \\\\ \\\" CR \",\"rxd\":\" E R R CR \",\"status\":\"\","
            "\"timed_out\":false,\"answer\":\"err\",\"value\":null,\"truncated\":false}\n");
}

TEST(SendWithSimulator, NoReplyInJsonIsAnEmptyReplyAndTimedOut) {
  SimProcess sim({"--silent"});
  SendRequest request = Request({"CR0"});
  request.json = true;
  const Outcome outcome = SendFrom(request, sim.Path());
  EXPECT_EQ(outcome.status, SendExit::kNoReply);
  EXPECT_EQ(outcome.out,
            "{\"command\":\"CR0\",\"frame\":\"CR0\\r\",\"reply\":\"\",\"txd\":\" C R 0 CR \","
            "\"rxd\":\" X X X X\",\"status\":\"\",\"timed_out\":true,\"answer\":\"none\",\"value\":null,"
            "\"truncated\":false}\n");
}

// Two projectors share one line; each answers only its own address, and a broadcast reaches both
// without an answer from either.
TEST(SendWithSimulator, AddressPicksOneOfTwoProjectorsOnOneLine) {
  SimProcess first({"--address", "001", "--lamp-hours", "1111", "--warmup-ms", "0"});
  SimProcess second({"--address", "002", "--lamp-hours", "2222", "--warmup-ms", "0"});
  SharedLine line({first.Path(), second.Path()});
  const struct {
    const char* address;
    const char* command;
    Block shown;
    int status;
  } cases[] = {
      {"001", "CR3", {" A 0 0 1 C R 3 CR ", " 0 1 1 1 1 CR ", " 0 1 1 1 1 CR  Hour Use"}, SendExit::kReplied},
      {"002", "CR3", {" A 0 0 2 C R 3 CR ", " 0 2 2 2 2 CR ", " 0 2 2 2 2 CR  Hour Use"}, SendExit::kReplied},
      {"003", "CR3", {" A 0 0 3 C R 3 CR ", " X X X X", ""}, SendExit::kNoReply},
      {"002", "C00", {" A 0 0 2 C 0 0 CR ", " ACK CR ", ""}, SendExit::kReplied},
      {"001", "CR0", {" A 0 0 1 C R 0 CR ", " 8 0 CR ", " Stand by"}, SendExit::kReplied},
      // A broadcast waits for its frame to leave, not for an answer nobody gives.
      {"ALL", "C00", {" A F F F C 0 0 CR ", "", ""}, SendExit::kReplied},
      {"ALL", "status", {}, SendExit::kRefused},  // no projector would answer: refused before the open
      {"001", "CR0", {" A 0 0 1 C R 0 CR ", " 0 0 CR ", " Power ON"}, SendExit::kReplied},
  };
  for (const auto& c : cases) {
    SendRequest request = Request({c.command});
    request.address = Address(c.address);
    const Outcome outcome = SendFrom(request, line.Path());
    EXPECT_EQ(outcome.status, c.status) << c.address << " " << c.command;
    const auto shown = c.status == SendExit::kRefused ? std::vector<Block>{} : std::vector<Block>{c.shown};
    EXPECT_EQ(Blocks(outcome.out), shown) << c.address << " " << c.command;
  }
}

TEST(SendWithSimulator, OpensTheChosenPortAtTheChosenSpeed) {
  const struct {
    std::int16_t port;
    int speed;
    speed_t onTheLine;
  } cases[] = {{1, 19200, B19200}, {1, 9600, B9600}, {2, 9600, B9600}, {2, 19200, B19200}};
  SimProcess sim({});
  SharedLine line({sim.Path()});
  for (const auto& c : cases) {
    SendRequest request = Request({"CR0"});
    request.port = c.port;
    request.speed = c.speed;
    // The other port is missing: a run must not touch it.
    const QString missing = QStringLiteral("/nonexistent/tty");
    const Outcome outcome =
        c.port == 1 ? SendFrom(request, line.Path(), missing) : SendFrom(request, missing, line.Path());
    EXPECT_EQ(outcome.status, SendExit::kReplied) << c.port << " " << c.speed << ": " << outcome.err;
    EXPECT_EQ(line.SpeedSeen(), c.onTheLine) << c.port << " " << c.speed;
  }
}

// The line is lost after a refusal: the loss (1) is the status, not the refusal (4), and its line
// names the command that did not get through and the port.
TEST(SendWithSimulator, LostLineEndsTheRunWithExitOneNamingTheCommand) {
  SimProcess sim({"--hangup-after", "1"});
  // The port is named through a link that is gone once the port is open, as an unplugged USB
  // adapter's is: the reopen after the hang-up must fail, and cannot land on a terminal that
  // another test has meanwhile been given under the freed number.
  QTemporaryDir dir;
  const QString com1 = dir.filePath(QStringLiteral("com1"));
  ASSERT_TRUE(QFile::link(sim.Path(), com1));
  QTimer::singleShot(0, [&com1] { QFile::remove(com1); });
  const Outcome outcome = SendFrom(Request({"c00", "CR1", "CR4"}), com1);
  EXPECT_EQ(outcome.status, SendExit::kLinkFailed);
  const std::vector<Block> blocks = Blocks(outcome.out);
  ASSERT_FALSE(blocks.empty());
  EXPECT_EQ(blocks[0], (Block{" c 0 0 CR ", " E R R CR ", ""}));
  EXPECT_LT(blocks.size(), 3u) << "a command after the loss was reported as sent";
  EXPECT_EQ(outcome.err.rfind("projector-panel: the projector refused \"c00\" (ERR)", 0), 0u) << outcome.err;
  EXPECT_NE(outcome.err.find("COM1 (" + com1.toStdString() + ") was lost"), std::string::npos) << outcome.err;
  EXPECT_NE(outcome.err.find("run the commands from \"CR1\" on again"), std::string::npos) << outcome.err;
  EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 2) << outcome.err;
}

// Each failing command has its line; the status is the first of 1, 2, 4, 3 that applies.
TEST(SendWithSimulator, FailuresGiveTheFirstStatusThatAppliesAndOneLineEach) {
  const std::string refused = "the projector refused \"c00\" (ERR) on PORT: it does not take this command; "
                              "projector-panel --list-commands lists the panel's commands";
  const struct {
    QStringList sim;
    std::vector<std::string> commands;
    int status;
    std::vector<std::string> lines;
  } cases[] = {
      {{}, {"c00", "power-on", "FOO"}, SendExit::kErr, {refused, std::regex_replace(refused, std::regex("c00"), "FOO")}},
      {{}, {"Status"}, SendExit::kErr,
       {std::regex_replace(refused, std::regex("\"c00\"(.*) command;"), "\"Status\"$1 command (did you mean status?);")}},
      {{"--reply-delay", "700"}, {"CR0", "c00"}, SendExit::kErr,
       {"no reply to \"CR0\" from PORT within 500 ms: check the cable, --speed and --address, or wait longer "
        "with --timeout MS",
        R"(late reply to "CR0" from PORT, after its wait had ended: "80\x0d")", refused}},
  };
  for (const auto& c : cases) {
    SimProcess sim(c.sim);
    SendRequest request;
    request.commands = c.commands;
    const Outcome run = SendFrom(request, sim.Path());
    EXPECT_EQ(run.status, c.status) << c.commands[0];
    std::string expected;
    for (const std::string& line : c.lines) expected += "projector-panel: " + WithPort(line, sim.Path()) + "\n";
    EXPECT_EQ(run.err, expected);
  }
}

}  // namespace
