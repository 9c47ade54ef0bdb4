// PJLink request lines as clients send them, and the answers made of the projector's replies.
#include "network/Pjlink.h"

#include <gtest/gtest.h>

namespace {

using namespace pjlink;
using Kind = ProjectorAnswer::Kind;

const ProjectorAnswer kAck{Kind::Ack, "", -1};
const ProjectorAnswer kErr{Kind::Err, "", -1};
const ProjectorAnswer kNone{};
ProjectorAnswer Code(std::string code) { return {Kind::Value, std::move(code), -1}; }
ProjectorAnswer Number(long long n) { return {Kind::Value, "", n}; }

// The whole answer to `line` when the projector's commands come out as `answers`; empty for none.
std::string Answer(std::string_view line, const std::vector<ProjectorAnswer>& answers) {
  const auto request = ReadRequest(line);
  if (!request) return "";
  const Step step = Plan(*request, Texts{"Hall A", "", "", ""});
  if (const auto* now = std::get_if<std::string>(&step)) return Answered(*request, *now);
  return Answered(*request, pjlink::Answer(*std::get<Ask>(step).row, answers));
}

TEST(Pjlink, EachRequestIsAnsweredFromWhatTheProjectorSaidAndNeverGuessed) {
  const struct {
    std::string_view line;
    std::vector<ProjectorAnswer> answers;
    std::string expected;
  } table[] = {
      {"%1POWR ?", {Code("80")}, "%1POWR=0\r"},
      {"%1POWR ?", {Code("40")}, "%1POWR=3\r"},
      {"%1POWR ?", {Code("28")}, "%1POWR=2\r"},
      {"%1POWR ?", {Code("10")}, "%1POWR=ERR4\r"},  // a power failure is no power state
      {"%1POWR ?", {Code("77")}, "%1POWR=ERR4\r"},  // a code nobody knows
      {"%1POWR ?", {kNone}, "%1POWR=ERR4\r"},
      {"%1POWR ?", {}, "%1POWR=ERR4\r"},          // the line failed before the reply
      {"%1POWR 1", {kAck}, "%1POWR=OK\r"},
      {"%1POWR 1", {kErr}, "%1POWR=ERR3\r"},
      {"%1POWR 1", {Code("00")}, "%1POWR=ERR4\r"},  // data is no acknowledgement
      {"%1POWR 2", {}, "%1POWR=ERR2\r"},
      {"%1POWR", {}, "%1POWR=ERR2\r"},
      {"%1POWRx?", {}, "%1POWR=ERR2\r"},
      {"%1INPT ?", {Number(3)}, "%1INPT=13\r"},
      {"%1INPT 15", {}, "%1INPT=ERR2\r"},
      {"%1INPT 31", {}, "%1INPT=ERR2\r"},
      {"%1AVMT ?", {Code("03")}, "%1AVMT=31\r"},
      {"%1AVMT ?", {Code("80")}, "%1AVMT=30\r"},
      {"%1AVMT ?", {Code("FF")}, "%1AVMT=ERR3\r"},
      {"%1AVMT 21", {}, "%1AVMT=ERR2\r"},
      {"%1ERST ?", {Code("08")}, "%1ERST=001000\r"},
      {"%1ERST ?", {Code("21")}, "%1ERST=020000\r"},
      {"%1ERST ?", {Code("10")}, "%1ERST=000002\r"},
      {"%1LAMP ?", {Number(1234), Code("00")}, "%1LAMP=1234 1\r"},
      {"%1LAMP ?", {Number(1234), Code("20")}, "%1LAMP=1234 0\r"},
      {"%1LAMP ?", {Number(1234), kNone}, "%1LAMP=ERR4\r"},
      {"%1LAMP ?", {kErr, Code("00")}, "%1LAMP=ERR3\r"},
      {"%1NAME ?", {}, "%1NAME=Hall A\r"},
      {"%1INF1 ?", {}, "%1INF1=\r"},
      {"%1CLSS ?", {}, "%1CLSS=1\r"},
      {"%1INST ?", {}, "%1INST=11 12 13 14\r"},
      {"%1NAME x", {}, "%1NAME=ERR2\r"},
      {"%1SVOL 1", {}, "%1SVOL=ERR1\r"},
      {"%2POWR ?", {}, "%2POWR=ERR1\r"},  // a class this projector is not
      {"\n%1CLSS ?", {}, "%1CLSS=1\r"},   // the LF of a client ending its lines in CR LF
      {"POWR ?", {}, ""},
      {"%1PO", {}, ""},
      {"", {}, ""},
  };
  for (const auto& row : table) {
    EXPECT_EQ(Answer(row.line, row.answers), row.expected) << row.line;
  }
}

TEST(Pjlink, LinesAreBoundedAndADigestIsTakenOnlyInFront) {
  LineReader reader;
  EXPECT_EQ(reader.Feed("%1POWR ?\r%1CL"), (std::vector<std::string>{"%1POWR ?"}));
  EXPECT_EQ(reader.Feed(std::string(200 * 1024, 'x')), std::vector<std::string>{});
  // The long line is dropped whole, with what was left of the one before it, up to its CR.
  EXPECT_EQ(reader.Feed("\r%1CLSS ?\r"), (std::vector<std::string>{"%1CLSS ?"}));
  EXPECT_EQ(reader.Dropped(), 1u);
  const std::string longest(kLongestLine - 1, 'y');
  EXPECT_EQ(reader.Feed(longest + "\r"), (std::vector<std::string>{longest}));
  EXPECT_EQ(reader.Feed(longest + "y\r"), std::vector<std::string>{});

  const std::string digest(kDigestLength, 'a');
  EXPECT_EQ(SplitDigest(digest + "%1POWR ?").digest, digest);
  EXPECT_EQ(SplitDigest(digest + "%1POWR ?").rest, "%1POWR ?");
  for (const std::string& line : {std::string("%1POWR ?"), std::string(kDigestLength, 'g') + "%1POWR ?", digest + "POWR ?"}) {
    EXPECT_EQ(SplitDigest(line).digest, "") << line;
    EXPECT_EQ(SplitDigest(line).rest, line);
  }
}

}  // namespace
