// Which command each received byte belongs to, on a line the test plays itself.
#include "cli/ReplyGate.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTimer>
#include <map>

#include "FakeLink.h"
#include "Pty.h"
#include "SendRig.h"
#include "panel/Form1.h"
#include "platform/QtSerialLink.h"

namespace {

enum class Do { Expect, Broadcast, Receive, EndWait, Flush, FlushAll };

struct Step {
  Do what;
  std::string text = {};
};

struct Scenario {
  const char* name;
  std::vector<Step> steps;
  std::string core;               // what the core was given, "|" where a frame went out
  std::vector<std::string> late;  // command, bytes, "owed" or "stray", and for owed whether complete
};

const Scenario kScenarios[] = {
    {"a reply reaches the core up to its CR; what follows is stray",
     {{Do::Expect, "CR0"}, {Do::Receive, "8"}, {Do::Receive, "0\rXY"}, {Do::Flush}},
     "|80\r",
     {"CR0 \"XY\" stray"}},
    {"the rest of a reply whose wait ended is late, and the next reply is whole",
     {{Do::Expect, "CR6"}, {Do::Receive, "+25"}, {Do::EndWait}, {Do::Expect, "CR0"}, {Do::Receive, ".0\r80\r"}},
     "|+25|80\r",
     {"CR6 \".0\r\" owed complete"}},
    {"a reply that never came is owed: the next reply is late for it",
     {{Do::Expect, "CR0"}, {Do::EndWait}, {Do::Expect, "CR3"}, {Do::Receive, "80\r"}, {Do::Receive, "01234\r"}},
     "||01234\r",
     {"CR0 \"80\r\" owed complete"}},
    {"two owed replies are paid in order",
     {{Do::Expect, "A"}, {Do::EndWait}, {Do::Expect, "B"}, {Do::EndWait}, {Do::Expect, "C"}, {Do::Receive, "1\r2\r3\r"}},
     "|||3\r",
     {"A \"1\r\" owed complete", "B \"2\r\" owed complete"}},
    {"a broadcast awaits nothing",
     {{Do::Broadcast, "C00"}, {Do::Receive, "\x06\r"}, {Do::Flush}},
     "|",
     {"C00 \"\x06\r\" stray"}},
    {"a reply longer than the limit is cut, and its rest is dropped unreported",
     {{Do::Expect, "CR9"}, {Do::Receive, "0123456789A"}, {Do::EndWait}, {Do::Expect, "CR0"}, {Do::Receive, "B\r80\r"}},
     "|01234567(cut)|80\r",
     {}},
    {"an owed reply takes only a line of its shape; the next frame's answer passes it over",
     {{Do::Expect, "CR0"}, {Do::EndWait}, {Do::Expect, "C00"}, {Do::Receive, "\x06\r"}, {Do::EndWait},
      {Do::Expect, "CR8"}, {Do::Receive, "PJ-Q8\r"}, {Do::EndWait}, {Do::Expect, "CR3"}, {Do::Receive, "01"},
      {Do::Receive, "234\r"}, {Do::FlushAll}},
     "||\x06\r|PJ-Q8\r|01234\r",
     {}},
    {"a line with the shape of both answers is the owed one's",
     {{Do::Expect, "CR0"}, {Do::EndWait}, {Do::Expect, "CR0"}, {Do::Receive, "80\r"}},
     "||",
     {"CR0 \"80\r\" owed complete"}},
    {"at the end, an owed reply is reported as far as it came",
     {{Do::Expect, "CR0"}, {Do::EndWait}, {Do::Receive, "8"}, {Do::Flush}, {Do::FlushAll}},
     "|",
     {"CR0 \"8\" owed incomplete"}},
};

TEST(ReplyGate, EachByteGoesToTheCommandWhoseReplyItIs) {
  for (const Scenario& scenario : kScenarios) {
    SCOPED_TRACE(scenario.name);
    FakeLink line;
    ReplyGate gate(line, 8);
    std::string core;
    std::vector<std::string> late;
    gate.SetOnComm([&] { core += gate.ReadAvailable(); });
    gate.SetOnLate([&](const LateBytes& bytes) {
      late.push_back(bytes.command + " \"" + bytes.bytes + "\" " +
                     (bytes.owed ? (bytes.complete ? "owed complete" : "owed incomplete") : "stray"));
    });
    for (const Step& step : scenario.steps) {
      switch (step.what) {
        case Do::Expect: core += '|'; gate.Expect(step.text, true, ShapeOfCommand(step.text)); break;
        case Do::Broadcast: core += '|'; gate.Expect(step.text, false); break;
        case Do::Receive: line.Receive(step.text); break;
        case Do::EndWait: core += gate.Truncated() ? "(cut)" : ""; gate.EndWait(); break;
        case Do::Flush: gate.FlushLate(false); break;
        case Do::FlushAll: gate.FlushLate(true); break;
      }
    }
    EXPECT_EQ(core, scenario.core);
    EXPECT_EQ(late, scenario.late);
  }
}

// A line that answers every frame at once, from a table.
class AnsweringLine : public FakeLink {
 public:
  explicit AnsweringLine(std::map<std::string, std::string> answers, bool hangUp = false)
      : answers_(std::move(answers)), hangUp_(hangUp) {}
  void Write(const std::string& bytes) override {
    FakeLink::Write(bytes);
    QTimer::singleShot(0, [this, bytes] {
      Receive(answers_[bytes]);
      lost = hangUp_;  // and then the device goes away
    });
  }

 private:
  std::map<std::string, std::string> answers_;
  bool hangUp_;
};

// What came before a frame is taken (and reported) right before it goes out, and nothing the
// device sent is dropped unread once the port is open.
TEST(ReplyGate, EveryFrameGoesOutRightAfterWhatCameBeforeItIsTaken) {
  AnsweringLine line({{"CR0\r", "80\r"}, {"CR3\r", "01234\r"}});
  SendRequest request = Request({"CR0", "CR3", "CR0"});
  std::ostringstream out, err;
  EXPECT_EQ(RunSend(request, line, "COM1 (fake)", out, err), SendExit::kReplied) << err.str();
  std::vector<std::string> beforeWrites;
  for (std::size_t i = 1; i < line.calls.size(); ++i) {
    if (line.calls[i].rfind("Write ", 0) == 0) beforeWrites.push_back(line.calls[i - 1]);
  }
  EXPECT_EQ(beforeWrites, std::vector<std::string>(3, "ReadAvailable"));
  EXPECT_EQ(std::count(line.calls.begin(), line.calls.end(), "DiscardInput"), 0);
}

// A reply must have the shape of an answer to what was sent; one that has not (most often the
// late reply of an earlier command) fails the run and is never read as this command's value.
TEST(ReplyGate, ReplyOfTheWrongShapeIsUnexpectedAndNeverDecoded) {
  const struct {
    const char* command;
    const char* reply;
    const char* answer;
    int status;
  } cases[] = {
      {"CR0", "80\r", "data", 0},         {"CR0", "01234\r", "unexpected", 3}, {"CR0", "8\r", "unexpected", 3},
      {"CR0", "\x06\r", "unexpected", 3}, {"CR0", "ERR\r", "err", 4},         {"CR1", "3\r", "data", 0},
      {"CR1", "80\r", "unexpected", 3},    {"CR4", "11\r", "data", 0},         {"CRA", "FF\r", "data", 0},
      {"CR7", "03\r", "data", 0},          {"CR3", "01234\r", "data", 0},      {"CR3", "12a4\r", "unexpected", 3},
      {"CR3", "80 \r", "unexpected", 3},   {"CR9", "PJ-Q8\r", "data", 0},      {"CR9", "\x06\r", "unexpected", 3},
      {"CR PRESSURE", "0853\r", "data", 0}, {"CR PRESSURE", "512\r", "data", 0}, {"CR PRESSURE", "01234\r", "unexpected", 3},
      {"CR6", "+25.0  43.0  75.0   47.0\r", "data", 0}, {"CR6", "-03.5  43.0  7x.0   47.\r", "unexpected", 3},
      {"CR6", "+25.0  43.0  75.0   47.0 8\r", "unexpected", 3}, {"CR6", "80\r", "unexpected", 3},    {"C00", "\x06\r", "ack", 0},       {"C00", "80\r", "unexpected", 3},
      {"XYZ", "80\r", "data", 0},  // typed text the panel does not know may have any answer
  };
  for (const auto& c : cases) {
    AnsweringLine line({{std::string(c.command) + "\r", c.reply}});
    SendRequest request = Request({c.command});
    request.json = true;
    std::ostringstream out, err;
    EXPECT_EQ(RunSend(request, line, "COM1 (fake)", out, err), c.status) << c.command << " " << c.reply;
    EXPECT_NE(out.str().find(std::string("\"answer\":\"") + c.answer + '"'), std::string::npos) << out.str();
    if (c.answer != std::string("unexpected")) continue;
    const std::string lines = err.str();
    EXPECT_NE(out.str().find(R"("value":null)"), std::string::npos) << out.str();
    EXPECT_EQ(lines.rfind(R"({"error":"unexpected reply to \")" + std::string(c.command), 0), 0u) << lines;
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 1) << lines;
  }
}

// Bytes that answered nothing are reported whole with --json, and with every byte a terminal
// could take for something else made visible without.
TEST(ReplyGate, BytesThatAnsweredNothingAreReportedWholeAndVisible) {
  const struct {
    std::string reply;
    bool json;
    std::string err;
  } cases[] = {
      {"80\r" + std::string(100, 'x'), true,
       R"({"warning":"unexpected bytes after the reply to \"CR0\" from COM1 (fake): \")" + std::string(64, 'x') +
           R"(\" and 36 more bytes","command":"CR0","late":")" + std::string(100, 'x') + "\"}\n"},
      {"80\r\x80\xff", false,
       "projector-panel: unexpected bytes after the reply to \"CR0\" from COM1 (fake): \"\\x80\\xff\"\n"},
  };
  for (const auto& c : cases) {
    AnsweringLine line({{"CR0\r", c.reply}});
    SendRequest request = Request({"CR0"});
    request.json = c.json;
    std::ostringstream out, err;
    EXPECT_EQ(RunSend(request, line, "COM1 (fake)", out, err), SendExit::kReplied);
    EXPECT_EQ(err.str(), c.err);
  }
}

// A reply past the most the panel keeps says so, fails the run, and its rest is nobody's reply.
TEST(ReplyGate, ReplyCutAtTheLimitIsMarkedAndFailsTheRun) {
  AnsweringLine line({{"CR9\r", std::string(100000, '9') + "\r"}, {"CR0\r", "80\r"}});
  SendRequest request = Request({"CR9", "CR0"});
  request.json = true;
  std::ostringstream out, err;
  EXPECT_EQ(RunSend(request, line, "COM1 (fake)", out, err), SendExit::kNoReply);
  std::istringstream lines(out.str());
  std::string cut, next;
  std::getline(lines, cut);
  std::getline(lines, next);
  EXPECT_EQ(Field(cut, "reply"), std::string(32767, '9'));
  EXPECT_NE(cut.find(R"("answer":"partial","value":null,"truncated":true})"), std::string::npos) << cut.substr(0, 80);
  EXPECT_EQ(Field(next, "reply"), "80\\r");
  EXPECT_EQ(err.str(), R"({"error":"the reply to \"CR9\" from COM1 (fake) was cut at 32767 bytes, the most a reply )"
                       R"(may have, and the rest was dropped; a reply this long is not the projector's: check )"
                       R"(--speed","command":"CR9","exit":3})" "\n");
}

// A line lost between two commands: the next is not sent, and the message says which and what to
// do from a command line.
TEST(ReplyGate, LostLineNamesTheCommandThatWasNotSent) {
  AnsweringLine line({{"CR0\r", "80\r"}}, true);
  std::ostringstream out, err;
  EXPECT_EQ(RunSend(Request({"CR0", "CR1", "CR4"}), line, "COM1 (fake)", out, err), SendExit::kLinkFailed);
  EXPECT_EQ(line.wire, "CR0\r");
  EXPECT_EQ(err.str(), "projector-panel: \"CR1\" and the commands after it were not sent: COM1 (fake) was lost: the "
                       "device hung up or was unplugged. Reconnect it, then run the commands from \"CR1\" on again.\n");
}

// The real link on a pseudo terminal whose far end the test plays: it sees each frame as it goes
// out, and each time the panel takes what came.
class PlayedLink : public QtSerialLink {
 public:
  using QtSerialLink::QtSerialLink;
  std::function<void(const std::string&)> onWrite;
  std::function<void()> onRead = [] {};
  void Write(const std::string& bytes) override { QtSerialLink::Write(bytes), onWrite(bytes); }
  std::string ReadAvailable() override { return onRead(), QtSerialLink::ReadAvailable(); }
};

// Bytes are booked whenever they come: the tail of a reply that arrives as the next frame is
// made ready, and bytes just after the open, before anything was asked.
TEST(ReplyGate, BytesThatComeAroundAFrameAreBookedOnARealLine) {
  const struct {
    bool tail;
    std::string line;
    int status;
  } cases[] = {
      {true, R"(late reply to "CR3" from PORT, after its wait had ended: "34\x0d")", SendExit::kNoReply},
      {false, R"(unexpected bytes on PORT before "CR3" was sent: "80\x0d")", SendExit::kReplied},
  };
  for (const auto& c : cases) {
    Pty pty;
    const QString path = QString::fromStdString(pty.SlavePath());
    PlayedLink link(PortMap{path, QStringLiteral("/nonexistent/com2")});
    QElapsedTimer sinceFrame;
    link.onWrite = [&](const std::string& frame) {
      pty.Write(frame == "CR0\r" ? "80\r" : c.tail ? "012" : "01234\r");
      if (frame == "CR3\r" && c.tail) sinceFrame.start();
    };
    // The first take once the wait for CR3 is over is the one before the next frame.
    link.onRead = [&] {
      if (sinceFrame.isValid() && sinceFrame.elapsed() >= 300) pty.Write("34\r"), sinceFrame.invalidate();
    };
    const QObject scope;
    if (!c.tail) QTimer::singleShot(20, &scope, [&pty] { pty.Write("80\r"); });  // the open is at once
    SendRequest request = Request({"CR3", "CR0"});
    request.timeoutMs = 300;
    std::ostringstream out, err;
    EXPECT_EQ(RunSend(request, link, WithPort("PORT", path), out, err), c.status) << err.str();
    EXPECT_NE(err.str().find(WithPort(c.line, path)), std::string::npos) << err.str();
  }
}

// A projector that passed over the first frame: the later replies are still each its own
// command's, and nothing is left owed for the run to wait for at its end.
TEST(ReplyGate, AnUnansweredFrameShiftsNoLaterReplyOnARealLine) {
  Pty pty;
  const QString path = QString::fromStdString(pty.SlavePath());
  PlayedLink link(PortMap{path, QStringLiteral("/nonexistent/com2")});
  const std::map<std::string, std::string> answers{{"C00\r", "\x06\r"}, {"CR8\r", "PJ-Q8\r"}, {"CR3\r", "01234\r"}};
  link.onWrite = [&](const std::string& frame) {
    if (answers.count(frame) > 0) pty.Write(answers.at(frame));
  };
  SendRequest request = Request({"CR0", "C00", "CR8", "CR3"});
  request.json = true;
  std::ostringstream out, err;
  QElapsedTimer run;
  run.start();
  EXPECT_EQ(RunSend(request, link, WithPort("PORT", path), out, err), SendExit::kNoReply) << err.str();
  EXPECT_LT(run.elapsed(), 4000);  // no wait of 5.5 s for a reply that will never come
  std::istringstream lines(out.str());
  std::vector<std::string> got;
  for (std::string line; std::getline(lines, line);) got.push_back(Field(line, "answer").value_or("?") + " " + Field(line, "reply").value_or(""));
  EXPECT_EQ(got, (std::vector<std::string>{"none ", "ack \\u0006\\r", "data PJ-Q8\\r", "data 01234\\r"}));
}

}  // namespace
