// How frames are cut from the line, where they go, and what the faulty line does to replies.
#include <gtest/gtest.h>

#include "Delivery.h"
#include "Frames.h"
#include "Options.h"

namespace {

using sim::Route;

TEST(FrameReader, CutsFramesAtCarriageReturnsWhateverThePieces) {
  const struct {
    std::vector<std::string> chunks;
    std::vector<std::string> frames;
  } cases[] = {
      {{"CR0\r"}, {"CR0"}},
      {{"C", "R", "0", "\r"}, {"CR0"}},
      {{"C00\rCR", "0\rCR1"}, {"C00", "CR0"}},
      {{"CR0\r\nCR1\r\n"}, {"CR0", "CR1"}},  // a terminal's CR LF
      {{"\r\r"}, {"", ""}},
      {{"C\nR0\r"}, {"C\nR0"}},  // only a leading LF is the tail of a CR LF
      {{std::string(300, 'X') + "\rCR0\r"}, {std::string(256, 'X'), "CR0"}},
  };
  for (const auto& c : cases) {
    sim::FrameReader reader;
    std::vector<std::string> frames;
    for (const std::string& chunk : c.chunks) {
      for (std::string& f : reader.Feed(chunk)) frames.push_back(std::move(f));
    }
    EXPECT_EQ(frames, c.frames) << c.chunks[0];
  }
}

TEST(Address, AnswersItsOwnAndUnprefixedFramesActsOnBroadcastsIgnoresOthers) {
  const struct {
    std::optional<int> own;
    const char* frame;
    Route route;
    const char* command;
  } cases[] = {
      {1, "CR0", Route::AnswerAndAct, "CR0"},
      {1, "A001CR0", Route::AnswerAndAct, "CR0"},
      {1, "A002CR0", Route::Ignore, "CR0"},
      {1, "AFFFC00", Route::ActSilently, "C00"},
      {4, "A004C01", Route::AnswerAndAct, "C01"},
      {4, "A001C01", Route::Ignore, "C01"},
      {std::nullopt, "A003CR0", Route::AnswerAndAct, "CR0"},  // alone on its line
      {std::nullopt, "AFFFCR0", Route::ActSilently, "CR0"},
      {std::nullopt, "CR0", Route::AnswerAndAct, "CR0"},
      {1, "A001", Route::AnswerAndAct, ""},
      {1, "A0x1CR0", Route::AnswerAndAct, "A0x1CR0"},  // no prefix: an unknown command
      {1, "AFF", Route::AnswerAndAct, "AFF"},
  };
  for (const auto& c : cases) {
    const sim::Addressed a = sim::Address(c.frame, c.own);
    EXPECT_EQ(a.route, c.route) << c.frame;
    EXPECT_EQ(a.command, c.command) << c.frame;
  }
}

TEST(Escaped, ShowsEveryByteReadably) {
  EXPECT_EQ(sim::Escaped("A001CR0\r"), R"("A001CR0\r")");
  EXPECT_EQ(sim::Escaped(std::string("\x06\r\n\xB5\"\\", 6)), R"("\x06\r\n\xB5\"\\")");
}

std::string Joined(const std::vector<sim::Piece>& pieces) {
  std::string all;
  for (const sim::Piece& p : pieces) all += p.bytes;
  return all;
}

TEST(Delivery, DelaySplitAndSilenceShapeTheWrites) {
  sim::Delivery plain(sim::Faults{});
  const auto once = plain.Plan("80\r", 100);
  ASSERT_EQ(once.size(), 1u);
  EXPECT_EQ(once[0].dueMs, 100);
  EXPECT_EQ(once[0].bytes, "80\r");

  sim::Delivery late(sim::Faults{.replyDelayMs = 250});
  EXPECT_EQ(late.Plan("80\r", 100).at(0).dueMs, 350);

  sim::Delivery split(sim::Faults{.split = true, .splitGapMs = 40});
  const auto pieces = split.Plan("+25.0  26.5  75.0   47.0\r", 0);
  ASSERT_EQ(pieces.size(), 3u);
  EXPECT_EQ(Joined(pieces), "+25.0  26.5  75.0   47.0\r");
  EXPECT_EQ(pieces[1].dueMs, 40);
  EXPECT_EQ(pieces[2].dueMs, 80);
  EXPECT_EQ(Joined(split.Plan("1\r", 200)), "1\r");  // shorter than three pieces

  sim::Delivery silent(sim::Faults{.silent = true});
  EXPECT_TRUE(silent.Plan("80\r", 0).empty());

  sim::Delivery ff(sim::Faults{.split = true, .ffBeforeCr = true});
  EXPECT_EQ(Joined(ff.Plan("80\r", 0)), "80\xFF\r");
}

TEST(Delivery, LaterRepliesNeverOvertakeEarlierOnes) {
  sim::Delivery late(sim::Faults{.replyDelayMs = 500, .split = true, .splitGapMs = 100});
  const auto first = late.Plan("\x06\r", 0);
  const auto second = late.Plan("80\r", 10);
  EXPECT_GE(second.front().dueMs, first.back().dueMs);
}

TEST(Delivery, GarbageAddsOnlyStrayBytesAndKeepsTheReplyInOrder) {
  sim::Delivery noisy(sim::Faults{.garbage = true});
  for (const std::string reply : {"80\r", "\x06\r", "+25.0  26.5  75.0   47.0\r", "1\r"}) {
    for (int round = 0; round < 20; ++round) {
      const std::string out = Joined(noisy.Plan(reply, 0));
      std::size_t next = 0;
      int strays = 0;
      for (const char c : out) {
        if (next < reply.size() && c == reply[next]) {
          ++next;
          continue;
        }
        const auto code = static_cast<unsigned char>(c);
        EXPECT_TRUE(code > 'z' || (code < 0x20 && c != '\r' && c != '\n' && c != 0x06 && c != 0x14))
            << "stray byte " << int(code);
        ++strays;
      }
      EXPECT_EQ(next, reply.size()) << sim::Escaped(out);
      EXPECT_GE(strays, 1) << sim::Escaped(out);
    }
  }
}

TEST(Options, ReadsEveryOptionAndRejectsWhatDoesNotFit) {
  const auto parsed = sim::ParseOptions({"--address", "003", "--warmup-ms", "0", "--cooldown-ms", "250",
                                         "--split", "--split-gap", "90", "--garbage", "--silent", "--ff-before-cr",
                                         "--reply-delay", "700", "--hangup-after", "3", "--ceiling",
                                         "--pressure-hpa", "990.5", "--device", "/dev/ttyUSB0"});
  ASSERT_TRUE(std::holds_alternative<sim::Options>(parsed)) << std::get<std::string>(parsed);
  const sim::Options& o = std::get<sim::Options>(parsed);
  EXPECT_EQ(o.address, 3);
  EXPECT_EQ(o.warmupMs, 0);
  EXPECT_EQ(o.cooldownMs, 250);
  EXPECT_TRUE(o.split && o.garbage && o.silent && o.ffBeforeCr && o.ceiling && !o.rear);
  EXPECT_EQ(o.splitGapMs, 90);
  EXPECT_EQ(o.replyDelayMs, 700);
  EXPECT_EQ(o.hangupAfter, 3);
  EXPECT_DOUBLE_EQ(o.pressureHpa, 990.5);
  EXPECT_EQ(o.device, "/dev/ttyUSB0");

  const std::vector<std::vector<std::string>> invalid{
      {"--address", "5"},       {"--address", "005"},     {"--address", "01"},
      {"--warmup-ms", "-1"},    {"--warmup-ms", "1s"},    {"--hangup-after", "0"},
      {"--baud", "4800"},       {"--pressure-hpa", "x"},  {"--reply-delay"},
      {"--verbose"},            {"--device", ""},
  };
  for (const auto& args : invalid) {
    EXPECT_TRUE(std::holds_alternative<std::string>(sim::ParseOptions(args))) << args[0];
  }
}

}  // namespace
