// The command-line face against the simulated projector on a real pseudo terminal, in real time:
// the simulator's replies are kept quick so that the reply windows dominate.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <regex>

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

// One run, many commands: each reply is decoded on its own, and an acknowledgement leaves the
// status empty rather than repeating the query before it.
TEST(SendWithSimulator, EveryStatusQueryDecodesInOneRun) {
  SimProcess sim({"--warmup-ms", "0", "--lamp-hours", "4321"});
  const std::string temperatures = SimTemperatureLinePattern();
  const struct {
    std::string command;
    std::string status;  // a pattern of the whole STATUS line
  } cases[] = {
      {"CR0", " Stand by"},
      {"CR1", " Input mode 1"},
      {"CR4", " Normally"},
      {"CR3", " 0 4 3 2 1 CR  Hour Use"},
      {"CR6", temperatures},
      {"CRA", " Stand by"},
      {"CR9", " P J - Q 8 CR "},
      {"CR PRESSURE", "101[2-4] hPa"},
      {"CR7", " All OFF : 2 Lamp mode"},
      {"C00", ""},
      {"CR0", " Power ON"},
      {"C07", ""},
      {"CR1", " Input mode 3"},
      {"C0D", ""},
      {"CRA", " Video mute ON"},
      {"C0E", ""},
      {"CRA", " Video & Audio mute OFF"},
      {"CR7", " No1,2 ON  : 2 Lamp mode"},
  };
  SendRequest request;
  for (const auto& c : cases) request.commands.push_back(c.command);
  const Outcome outcome = SendFrom(request, sim.Path());
  EXPECT_EQ(outcome.status, SendExit::kReplied) << outcome.err;
  const std::vector<Block> blocks = Blocks(outcome.out);
  ASSERT_EQ(blocks.size(), std::size(cases)) << outcome.out;
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    EXPECT_TRUE(std::regex_match(blocks[i].status, std::regex(cases[i].status)))
        << i << " " << cases[i].command << ": \"" << blocks[i].status << '"';
  }
}

// With every reply late, which commands are still answered tells which reply window they had:
// a button's command keeps the window the last sender set (500 ms at first), other text gets
// "SEND"'s 2000 ms, and a longer window set before carries over.
TEST(SendWithSimulator, EachCommandGetsTheReplyWindowThePanelWouldGiveIt) {
  const struct {
    std::vector<std::string> commands;
    std::vector<bool> timedOut;
  } cases[] = {
      {{"CR0"}, {true}},
      {{"CF IMAGE REAL"}, {false}},
      {{"CF INPUT1 VIDEO", "CR0"}, {false, false}},
      {{"cr0", "CR0"}, {false, false}},
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
    const bool anyTimedOut = std::find(c.timedOut.begin(), c.timedOut.end(), true) != c.timedOut.end();
    EXPECT_EQ(outcome.status, anyTimedOut ? SendExit::kNoReply : SendExit::kReplied) << c.commands[0];
  }
}

TEST(SendWithSimulator, ReplyInPiecesIsReportedOnceCompleteOrWhenItsWindowEnds) {
  const struct {
    const char* gap;  // between the reply's three pieces
    Block shown;
  } cases[] = {
      {"150", {" C R 0 CR ", " 8 0 CR ", " Stand by"}},  // the CR comes in time
      {"300", {" C R 0 CR ", " 8 0 ", " Stand by"}},     // the 500 ms window ends first
  };
  for (const auto& c : cases) {
    SimProcess sim({"--split", "--split-gap", c.gap});
    const Outcome outcome = SendFrom(Request({"CR0"}), sim.Path());
    EXPECT_EQ(outcome.status, SendExit::kReplied) << c.gap;
    EXPECT_EQ(Blocks(outcome.out), std::vector<Block>{c.shown}) << c.gap;
  }
}

TEST(SendWithSimulator, SilentProjectorGivesNoReplyAndExitThree) {
  SimProcess sim({"--silent"});
  const Outcome outcome = SendFrom(Request({"CR0", "C00"}), sim.Path());
  EXPECT_EQ(outcome.status, SendExit::kNoReply);
  EXPECT_EQ(outcome.err, "");
  EXPECT_EQ(Blocks(outcome.out), (std::vector<Block>{{" C R 0 CR ", " X X X X", ""},
                                                     {" C 0 0 CR ", " X X X X", ""}}));
}

TEST(SendWithSimulator, JsonLinesCarryTheBytesWithEscapes) {
  SimProcess sim({"--warmup-ms", "60000"});
  SendRequest request = Request({"C00", "CR0", "say \"hi\\\""});
  request.json = true;
  const Outcome outcome = SendFrom(request, sim.Path());
  EXPECT_EQ(outcome.status, SendExit::kReplied) << outcome.err;
  EXPECT_EQ(outcome.out,
            "{\"command\":\"C00\",\"frame\":\"C00\\r\",\"reply\":\"\\u0006\\r\",\"txd\":\" C 0 0 CR \","
            "\"rxd\":\" ACK CR \",\"status\":\"\",\"timed_out\":false}\n"
            "{\"command\":\"CR0\",\"frame\":\"CR0\\r\",\"reply\":\"40\\r\",\"txd\":\" C R 0 CR \","
            "\"rxd\":\" 4 0 CR \",\"status\":\" Count down\",\"timed_out\":false}\n"
            "{\"command\":\"say \\\"hi\\\\\\\"\",\"frame\":\"say \\\"hi\\\\\\\"\\r\",\"reply\":\"ERR\\r\","
            "\"txd\":\" s a y   \\\" h i \\\\ \\\" CR \",\"rxd\":\" E R R CR \",\"status\":\"\","
            "\"timed_out\":false}\n");
}

TEST(SendWithSimulator, NoReplyInJsonIsAnEmptyReplyAndTimedOut) {
  SimProcess sim({"--silent"});
  SendRequest request = Request({"CR0"});
  request.json = true;
  const Outcome outcome = SendFrom(request, sim.Path());
  EXPECT_EQ(outcome.status, SendExit::kNoReply);
  EXPECT_EQ(outcome.out,
            "{\"command\":\"CR0\",\"frame\":\"CR0\\r\",\"reply\":\"\",\"txd\":\" C R 0 CR \","
            "\"rxd\":\" X X X X\",\"status\":\"\",\"timed_out\":true}\n");
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
      {"ALL", "C00", {" A F F F C 0 0 CR ", " X X X X", ""}, SendExit::kNoReply},
      {"001", "CR0", {" A 0 0 1 C R 0 CR ", " 0 0 CR ", " Power ON"}, SendExit::kReplied},
  };
  for (const auto& c : cases) {
    SendRequest request = Request({c.command});
    request.address = Address(c.address);
    const Outcome outcome = SendFrom(request, line.Path());
    EXPECT_EQ(outcome.status, c.status) << c.address << " " << c.command;
    EXPECT_EQ(Blocks(outcome.out), std::vector<Block>{c.shown}) << c.address << " " << c.command;
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

TEST(SendWithSimulator, LostLineEndsTheRunWithExitOneAndOneMessage) {
  SimProcess sim({"--hangup-after", "1"});
  // The port is named through a link that is gone once the port is open, as an unplugged USB
  // adapter's is: the reopen after the hang-up must fail, and cannot land on a terminal that
  // another test has meanwhile been given under the freed number.
  QTemporaryDir dir;
  const QString com1 = dir.filePath(QStringLiteral("com1"));
  ASSERT_TRUE(QFile::link(sim.Path(), com1));
  QTimer::singleShot(0, [&com1] { QFile::remove(com1); });
  const Outcome outcome = SendFrom(Request({"CR0", "CR1", "CR4"}), com1);
  EXPECT_EQ(outcome.status, SendExit::kLinkFailed);
  const std::vector<Block> blocks = Blocks(outcome.out);
  ASSERT_FALSE(blocks.empty());
  EXPECT_EQ(blocks[0], (Block{" C R 0 CR ", " 8 0 CR ", " Stand by"}));
  EXPECT_LT(blocks.size(), 3u) << "a command after the loss was reported as sent";
  EXPECT_NE(outcome.err.find("COM1 (" + com1.toStdString() + ") was lost"), std::string::npos) << outcome.err;
  EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
}

}  // namespace
