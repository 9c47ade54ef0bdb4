#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CoreRig.h"

namespace {

class ExchangeTest : public ::testing::Test {
 protected:
  void SetUp() override { rig.Start(); }
  CoreRig rig;
  PanelState& panel = rig.form.Panel;
  ControllerState& state = rig.form.State;
};

TEST_F(ExchangeTest, FullExchangeShowsFrameReplyAndStatusThenClears) {
  rig.Send("CR0");
  EXPECT_EQ(rig.link.wire, "CR0\r");
  EXPECT_EQ(panel.Label11, " C R 0 CR ");
  EXPECT_EQ(state.AwaitingReply, 1);
  EXPECT_TRUE(rig.timer2.Enabled());
  EXPECT_TRUE(rig.timer4.Enabled());

  rig.clock.Advance(100);
  rig.link.Receive("80\r");
  EXPECT_EQ(state.AwaitingReply, 0);
  EXPECT_EQ(panel.Label12, " 8 0 CR ");
  EXPECT_EQ(panel.Label22, " Stand by");

  rig.clock.Advance(400);  // Timer2 at 500: the buffer goes, the reply stays in view
  EXPECT_EQ(rig.timer2.Ticks(), 1);
  EXPECT_FALSE(rig.timer2.Enabled());
  EXPECT_EQ(state.RxBuffer, "");
  EXPECT_EQ(panel.Label12, " 8 0 CR ");
  EXPECT_EQ(panel.Label11, " C R 0 CR ");

  rig.clock.Advance(499);
  EXPECT_EQ(panel.Label22, " Stand by");
  rig.clock.Advance(1);  // Timer4 at 1000
  EXPECT_EQ(panel.Label11, "");
  EXPECT_EQ(panel.Label12, "");
  EXPECT_EQ(panel.Label22, "");
  EXPECT_FALSE(rig.timer4.Enabled());
  EXPECT_EQ(rig.timer4.Ticks(), 1);
}

TEST_F(ExchangeTest, ReplyInTwoPiecesDecodesOnlyWhenKeyComplete) {
  rig.Send("CR0");
  rig.link.Receive("0");
  EXPECT_EQ(panel.Label12, " 0 ");
  EXPECT_EQ(panel.Label22, "");
  rig.link.Receive("0\r");
  EXPECT_EQ(panel.Label12, " 0 0 CR ");
  EXPECT_EQ(panel.Label22, " Power ON");
}

TEST_F(ExchangeTest, MissingReplyShowsCrossesUntilTheLinesClear) {
  rig.Send("C00");
  rig.clock.Advance(499);
  EXPECT_EQ(panel.Label12, "");
  rig.clock.Advance(1);
  EXPECT_EQ(panel.Label12, " X X X X");
  EXPECT_EQ(state.AwaitingReply, 0);
  rig.clock.Advance(499);
  EXPECT_EQ(panel.Label12, " X X X X");
  rig.clock.Advance(1);
  EXPECT_EQ(panel.Label12, "");
}

// A broadcast still waiting to go out when its window ends is told once, naming it and the port;
// another frame's wait is for its reply alone. No projector answers a broadcast, so its silence
// is no missing reply for the balloon or the log.
TEST_F(ExchangeTest, BroadcastStillQueuedWhenItsWindowEndsIsAFailedWrite) {
  struct : TrafficObserver {
    int noReply = 0;
    void NoReply(int) override { ++noReply; }
  } watch;
  const struct {
    const char* prefix;
    bool pending;
    std::size_t boxes;
  } cases[] = {{"AFFF", true, 1}, {"AFFF", false, 0}, {"A001", true, 0}};
  for (const auto& c : cases) {
    CoreRig fresh;
    fresh.Start();
    fresh.form.exchange.AddObserver(watch);
    watch.noReply = 0;
    fresh.form.State.AddressPrefix = c.prefix;
    fresh.Send("C00");
    fresh.link.outputPending = c.pending;
    fresh.clock.Advance(500);
    EXPECT_EQ(watch.noReply, c.prefix == std::string("AFFF") ? 0 : 1) << c.prefix;
    ASSERT_EQ(fresh.window.warnings.size(), c.boxes) << c.prefix << c.pending;
    for (const std::string& box : fresh.window.warnings) {
      EXPECT_EQ(box.rfind("The command \"AFFFC00\" did not reach the port: ", 0), 0u) << box;
    }
  }
}

// A reply after its window is shown and decoded, marked late; the next frame's reply starts
// empty, so neither a late reply nor one still in its window is read with the next frame's bytes.
TEST_F(ExchangeTest, EachFramesReplyIsDecodedOnItsOwn) {
  struct Step {
    int advance;           // ms before the step
    const char* send;      // a frame to send, or a reply to receive
    const char* receive;
  };
  const struct {
    const char* name;
    std::vector<Step> steps;
    const char* rxd;
    const char* status;
    std::vector<std::string> late;  // booked as late, not shown for the frame after
  } cases[] = {
      {"late reply", {{0, "CR0", nullptr}, {600, nullptr, "00\r"}}, " 0 0 CR ", " Power ON (late)", {" 0 0 CR "}},
      {"late reply, then the next frame", {{0, "CR0", nullptr}, {600, nullptr, "00\r"}, {0, "CR0", nullptr}, {0, nullptr, "80\r"}},
       " 8 0 CR ", " Stand by", {" 0 0 CR "}},
      {"lamp hours answered, temperatures clicked in its window",
       {{0, "CR3", nullptr}, {10, nullptr, "01234\r"}, {140, "CR6", nullptr}, {10, nullptr, "+31.5  41.0  42.0   43.0\r"}},
       " + 3 1 . 5     4 1 . 0     4 2 . 0       4 3 . 0 CR ", "  S1= + 3 1 . 5 C  ,   S2=  4 1 . 0 C  ,   S3= 4 2 . 0  C  ,   S4=  4 3 . 0 C ", {}},
      {"reply begun, the rest after the next frame", {{0, "CR0", nullptr}, {10, nullptr, "0"}, {10, "CR3", nullptr}, {5, nullptr, "0\r01234\r"}},
       " 0 1 2 3 4 CR ", " 0 1 2 3 4 CR  Hour Use", {" 0 CR "}},
      {"ACK owed, the query's own after it", {{0, "C00", nullptr}, {10, "CR0", nullptr}, {5, nullptr, "\x06\r"}, {5, nullptr, "00\r"}},
       " 0 0 CR ", " Power ON", {" ACK CR "}},
      {"not the owed one's shape: this frame's", {{0, "CR0", nullptr}, {10, "CR3", nullptr}, {5, nullptr, "01234\r"}},
       " 0 1 2 3 4 CR ", " 0 1 2 3 4 CR  Hour Use", {}},
      {"both shapes: the owed one keeps it", {{0, "CR0", nullptr}, {10, "CR0", nullptr}, {5, nullptr, "80\r"}},
       "", "", {" 8 0 CR "}},
  };
  for (const auto& c : cases) {
    CoreRig fresh;
    fresh.Start();
    struct : TrafficObserver {
      std::vector<std::string> late;
      void Late(std::string_view rendered) override { late.emplace_back(rendered); }
    } watch;
    fresh.form.exchange.AddObserver(watch);
    for (const Step& step : c.steps) {
      fresh.clock.Advance(step.advance);
      if (step.send != nullptr) fresh.Send(step.send);
      if (step.receive != nullptr) fresh.link.Receive(step.receive);
    }
    EXPECT_EQ(fresh.form.Panel.Label12, c.rxd) << c.name;
    EXPECT_EQ(fresh.form.Panel.Label22, c.status) << c.name;
    EXPECT_EQ(watch.late, c.late) << c.name;
  }
}

TEST_F(ExchangeTest, SecondTransmitDoesNotRestartTheTimers) {
  rig.Send("CR0");
  rig.clock.Advance(300);
  rig.Send("CR1");
  EXPECT_EQ(state.AwaitingReply, 1);
  rig.clock.Advance(200);  // still the first transmit's period
  EXPECT_EQ(rig.timer2.Ticks(), 1);
  EXPECT_EQ(panel.Label12, " X X X X");
}

TEST_F(ExchangeTest, EventsOtherThanDataReceivedChangeNothing) {
  rig.Send("CR0");
  rig.link.Receive("00\r", /*code=*/1);
  EXPECT_EQ(state.AwaitingReply, 1);
  EXPECT_EQ(state.RxBuffer, "");
  EXPECT_EQ(panel.Label12, "");
  EXPECT_EQ(rig.link.calls.back(), "Write CR0\r");  // no ReadAvailable
}

TEST_F(ExchangeTest, HyoujiInReceiveModeWritesNothing) {
  rig.form.exchange.Hyouji(std::string("C00\r"), Exchange::kReceived);
  EXPECT_EQ(rig.link.wire, "");
  EXPECT_EQ(panel.Label12, " C 0 0 CR ");
  EXPECT_EQ(panel.Label11, "");
}

TEST_F(ExchangeTest, BabblingDeviceCannotGrowTheBufferWithoutBound) {
  const std::string chunk(4096, 'x');
  for (int i = 0; i < 40; ++i) rig.link.Receive(chunk);
  EXPECT_EQ(state.RxBuffer.size(), Exchange::kRxBufferLimit);
  EXPECT_EQ(panel.Label12.size(), 1 + 2 * Exchange::kRxBufferLimit);
  rig.Send("C00");
  rig.clock.Advance(500);
  rig.link.Receive("00\r");  // room again once the reply window has emptied it
  EXPECT_EQ(state.RxBuffer, "00\r");
}

TEST_F(ExchangeTest, FailedWriteKeepsTheNewFrameAndWarnsOnce) {
  rig.link.failures["Write"] = "COM1 was lost";
  rig.Send("CR0");
  EXPECT_EQ(state.TxFrame, "CR0\r");
  EXPECT_EQ(panel.Label11, "");  // the handler ended at the write
  EXPECT_EQ(state.AwaitingReply, 0);
  EXPECT_FALSE(rig.timer2.Enabled());
  ASSERT_EQ(rig.window.warnings.size(), 1u);
  EXPECT_EQ(rig.window.warnings[0], "COM1 was lost");
}

}  // namespace
