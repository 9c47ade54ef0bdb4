// The receive path renders only the characters each event adds. Whatever the pieces, the "RXD"
// and "STATUS" lines must be exactly what rendering and decoding the whole buffer gives.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CoreRig.h"
#include "exchange/Render.h"
#include "exchange/ReplyDecoders.h"
#include "hold/HoldButton.h"

namespace {

enum class Do { Send, Receive, ReplyTimeout, ClearLines, HoldRelease, ShowOther, Overwrite };

struct Step {
  Do what;
  std::string text;  // the command sent, the characters received, or the other text shown
};

struct Scenario {
  const char* name;
  std::string prefix;
  std::vector<Step> steps;
};

std::string Digits(std::size_t n) {
  std::string s;
  for (std::size_t i = 0; i < n; ++i) s += static_cast<char>('0' + (i * 7 + 3) % 10);
  return s;
}

const std::string kEveryToken = std::string("PC-98 \x06\x14\r\n\x01\x7f\xff{z", 16) + std::string(1, '\0');
const std::string kNearlyFull(Exchange::kRxBufferLimit - 9, 'x');

const Scenario kScenarios[] = {
    {"status key completes in the second piece", "", {{Do::Send, "CR0"}, {Do::Receive, "00\r"}}},
    {"addressed status", "A002", {{Do::Send, "CR0"}, {Do::Receive, "80\r"}}},
    {"raw copy of every kind of token", "", {{Do::Send, "CR9"}, {Do::Receive, kEveryToken}}},
    {"raw copy across the cap",
     "",
     {{Do::Send, "CR9"}, {Do::Receive, kNearlyFull}, {Do::Receive, kEveryToken}, {Do::Receive, "more"}}},
    {"nothing sent, babble across the cap", "", {{Do::Receive, kNearlyFull + kEveryToken + "12345"}}},
    {"pressure with sign, fraction and exponent", "", {{Do::Send, "CR PRESSURE"}, {Do::Receive, "-0012.50E+2x9\r"}}},
    {"pressure exponent without digits", "", {{Do::Send, "CR PRESSURE"}, {Do::Receive, "512E-\r"}}},
    {"pressure from a thousand digits brought back by the exponent",
     "",
     {{Do::Send, "CR PRESSURE"}, {Do::Receive, Digits(1000) + "E-997\r"}}},
    {"pressure tiny fraction scaled up",
     "",
     {{Do::Send, "CR PRESSURE"}, {Do::Receive, "0." + std::string(900, '0') + "75" + Digits(30) + "e+902"}}},
    {"pressure digits across the cap", "", {{Do::Send, "CR PRESSURE"}, {Do::Receive, Digits(Exchange::kRxBufferLimit + 20)}}},
    {"lamp hours and temperatures", "", {{Do::Send, "CR3"}, {Do::Receive, Digits(60) + "\r"}, {Do::Send, "CR6"},
                                         {Do::Receive, "\x06" "12"}}},
    {"reply time-out empties the buffer and the line starts afresh",
     "",
     {{Do::Send, "CR0"}, {Do::Receive, "80\r"}, {Do::ReplyTimeout, ""}, {Do::Receive, "00\r"}}},
    {"reply time-out with nothing received, then a late reply",
     "",
     {{Do::Send, "CR9"}, {Do::ReplyTimeout, ""}, {Do::Receive, "late"}}},
    {"lines cleared while the buffer stays",
     "",
     {{Do::Send, "CR9"}, {Do::Receive, "ab"}, {Do::ClearLines, ""}, {Do::Receive, "cd"}}},
    {"lines cleared at the cap", "", {{Do::Send, "CR9"}, {Do::Receive, kNearlyFull + "0123456789"},
                                      {Do::ClearLines, ""}, {Do::Receive, "x"}}},
    {"hold release empties buffer and line",
     "",
     {{Do::Send, "CR9"}, {Do::Receive, "12"}, {Do::HoldRelease, ""}, {Do::Receive, "3456"}}},
    {"another text shown in between", "", {{Do::Send, "CR9"}, {Do::Receive, "12"}, {Do::ShowOther, "zz"},
                                           {Do::Receive, "3"}}},
    {"lines overwritten from outside the exchange",
     "",
     {{Do::Send, "CR9"}, {Do::Receive, "12"}, {Do::Overwrite, ""}, {Do::Receive, "3"}, {Do::Overwrite, "longer than the line"},
      {Do::Receive, "4"}}},
    {"the query changes between pieces",
     "",
     {{Do::Send, "CR9"}, {Do::Receive, "12\r"}, {Do::Send, "CR0"}, {Do::Receive, "3\r"}, {Do::Send, "CR3"},
      {Do::Receive, "4\r"}, {Do::Send, "CR9"}, {Do::Receive, "5"}}},
};

constexpr std::size_t kFinePart = 64;

// How the characters of each Receive step are cut into events.
const std::vector<std::vector<std::size_t>> kCuts = {{1u << 20}, {1}, {3, 1, 4, 1, 5, 9, 2, 6}, {700, 2}};

class ReceiveInPiecesTest : public ::testing::Test {
 protected:
  void SetUp() override { rig.Start(); }

  // One receive event, checked against rendering and decoding the whole buffer afresh.
  // `late`: the reply window has ended, so a decoded line is marked.
  void ReceiveAndCompare(const std::string& piece, std::string& expectedBuffer, bool late, const std::string& label) {
    ControllerState reference = state;
    std::string statusLine = panel.Label22;
    std::string written = "\x01";
    rig.link.Receive(piece);
    expectedBuffer += piece.substr(0, Exchange::kRxBufferLimit - std::min(Exchange::kRxBufferLimit, expectedBuffer.size()));
    ASSERT_EQ(state.RxBuffer, expectedBuffer) << label;
    const std::string whole = Render(state.RxBuffer);
    ControllerState again = reference;
    DecodeReply(whole, reference, statusLine);
    DecodeReply(whole, again, written);
    if (late && written != "\x01") statusLine += Exchange::kLateMark;
    ASSERT_EQ(panel.Label12, whole) << label;
    ASSERT_EQ(panel.Label22, statusLine) << label;
    ASSERT_EQ(state.PressureReading, reference.PressureReading) << label;
  }

  CoreRig rig;
  PanelState& panel = rig.form.Panel;
  ControllerState& state = rig.form.State;
};

TEST_F(ReceiveInPiecesTest, LinesEqualTheWholeBufferRenderedAndDecoded) {
  for (const Scenario& scenario : kScenarios) {
    for (const std::vector<std::size_t>& cut : kCuts) {
      rig.form.exchange.Timer2_Timer();
      rig.form.exchange.Timer4_Timer();
      state.AddressPrefix = scenario.prefix;
      std::string buffer;
      bool late = true;
      std::size_t nextCut = 0;
      for (const Step& step : scenario.steps) {
        const std::string label = std::string(scenario.name) + ", pieces of " + std::to_string(cut[0]) + "...";
        switch (step.what) {
          case Do::Send:
            rig.Send(step.text);
            buffer.clear();
            late = false;
            break;
          case Do::ReplyTimeout:
            rig.form.exchange.Timer2_Timer();
            buffer.clear();
            late = true;
            break;
          case Do::ClearLines: rig.form.exchange.Timer4_Timer(); break;
          case Do::HoldRelease:
            rig.form.hold.Release(kHoldButtons[0]);
            buffer.clear();
            break;
          case Do::Overwrite:
            panel.Label12 = step.text;
            panel.Label22 = step.text;
            break;
          case Do::ShowOther:
            rig.form.exchange.Hyouji(step.text, Exchange::kReceived);
            ASSERT_EQ(panel.Label12, Render(step.text)) << label;
            break;
          case Do::Receive:
            // A long text comes in large pieces up to its last few characters (comparing with the
            // whole buffer at every byte of 32 KiB would take minutes), then in the cut's.
            for (std::size_t at = 0; at < step.text.size();) {
              const std::size_t left = step.text.size() - at;
              const std::size_t n =
                  left > kFinePart ? std::min<std::size_t>(4096, left - kFinePart) : std::min(cut[nextCut++ % cut.size()], left);
              ReceiveAndCompare(step.text.substr(at, n), buffer, late, label);
              if (HasFatalFailure()) return;
              at += n;
            }
            break;
        }
      }
    }
  }
}

}  // namespace
