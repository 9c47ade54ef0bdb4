// The order of every sender's steps around its frame, and what stays done when the frame cannot
// be written. With the timer contract, an interval set just before or just after enabling gives
// the same period, so the steps are recorded as they are taken.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "FakeClock.h"
#include "FakeLink.h"
#include "FakeWindow.h"
#include "commands/CommandCatalogue.h"
#include "panel/Form1.h"
#include "hold/HoldButton.h"

namespace {

struct Journal {
  std::string steps;
  void Add(const std::string& step) { steps += (steps.empty() ? "" : " ") + step; }
};

// "T2=2000" for an interval, "T2+" / "T2-" for enabling and disabling.
class JournalTimer : public FakeTimer {
 public:
  JournalTimer(FakeClock& clock, const char* name, Journal& journal) : FakeTimer(clock), name_(name), journal_(journal) {}
  void SetInterval(int ms) override {
    journal_.Add(name_ + "=" + std::to_string(ms));
    FakeTimer::SetInterval(ms);
  }
  void SetEnabled(bool enabled) override {
    journal_.Add(name_ + (enabled ? "+" : "-"));
    FakeTimer::SetEnabled(enabled);
  }

 private:
  std::string name_;
  Journal& journal_;
};

// "write C00" for the frame "C00" CR.
class JournalLink : public FakeLink {
 public:
  explicit JournalLink(Journal& journal) : journal_(journal) {}
  void Write(const std::string& bytes) override {
    journal_.Add("write " + bytes.substr(0, bytes.size() - 1));
    FakeLink::Write(bytes);
  }

 private:
  Journal& journal_;
};

struct StepRig {
  Journal journal;
  FakeClock clock;
  JournalTimer timer1{clock, "T1", journal}, timer2{clock, "T2", journal}, timer3{clock, "T3", journal},
      timer4{clock, "T4", journal};
  JournalLink link{journal};
  FakeWindow window;
  Form1 form{link, Timers{timer1, timer2, timer3, timer4}, window};

  void Run(const std::function<void()>& handler) { form.Dispatch.Run(OnFailure::Warn, handler); }
  void Click(const char* name) { Run([&] { form.commands.Click(*FindCommand(name)); }); }
  void Press(const char* name) { Run([&] { form.hold.Press(*FindHoldButton(std::string_view(name))); }); }
  void Release(const char* name) { Run([&] { form.hold.Release(*FindHoldButton(std::string_view(name))); }); }
};

struct Case {
  const char* sender;
  std::uint8_t padBefore;
  std::function<void(StepRig&)> prepare;  // before the steps that are recorded; always succeeds
  std::function<void(StepRig&)> act;
  const char* steps;
  const char* stepsWhenTheWriteFails;
  std::uint8_t holdCodeAfterFailure;
  std::uint8_t padAfterFailure;
};

const auto kNothing = [](StepRig&) {};
std::function<void(StepRig&)> Click(const char* name) { return [name](StepRig& r) { r.Click(name); }; }
std::function<void(StepRig&)> Press(const char* name) { return [name](StepRig& r) { r.Press(name); }; }
std::function<void(StepRig&)> Release(const char* name) { return [name](StepRig& r) { r.Release(name); }; }

TEST(SenderSteps, EveryKindOfSenderTakesItsStepsInOrderAndKeepsThemWhenTheWriteFails) {
  const Case cases[] = {
      {"plain click", 0, kNothing, Click("Command17"), "write C00 T2+ T4+", "write C00", 0, 0},
      {"picture mode click", 0, kNothing, Click("Command39"), "T2=2000 T4=2500 write CF IMAGE CUSTOM1 T2+ T4+",
       "T2=2000 T4=2500 write CF IMAGE CUSTOM1", 0, 0},
      {"input grid click", 0, kNothing, Click("Command76"), "T2=5000 T4=5500 write CF INPUT2 S-VIDEO T2+ T4+",
       "T2=5000 T4=5500 write CF INPUT2 S-VIDEO", 0, 0},
      {"A-PC Adj click", 0, kNothing, Click("Command13"), "write C89 T2+ T4+ T1=200", "write C89", 0, 0},
      {"MENU ON click", 3, kNothing, Click("Command23"), "write C1C T2+ T4+ T1=200", "write C1C", 0, 3},
      {"fast press", 0, kNothing, Press("Command62"), "write C5E T2+ T4+ T1=105 T2=100 T4=100 T1+", "write C5E", 22, 0},
      {"slow press", 0, kNothing, Press("Command51"), "write C8F T2+ T4+ T1=250 T2=200 T4=245 T1+", "write C8F", 20, 0},
      {"D.Zoom press", 1, kNothing, Press("Command48"), "write C30 T2+ T4+ T1=250 T2=200 T4=245 T1+", "write C30", 17, 1},
      {"select press", 3, kNothing, Press("Command6"), "write C3F T2+ T4+ T1=500 T2=200 T4=245 T1+", "write C3F", 13, 3},
      {"arrow press, mode 0", 0, kNothing, Press("Command5"), "write C3C T2+ T4+ T1+", "write C3C", 3, 0},
      {"arrow press, mode 1", 1, kNothing, Press("Command8"), "T2=150 T4=190 write C3A T2+ T4+ T1+",
       "T2=150 T4=190 write C3A", 6, 1},
      {"arrow press, mode 3", 3, kNothing, Press("Command9"), "T2=5 T4=5 write C3B T2+ T4+ T1+", "T2=5 T4=5 write C3B", 5, 3},
      {"release", 1, Press("Command35"), Release("Command35"), "T1- T2- T4+ T2=500 T4=1000",
       "T1- T2- T4+ T2=500 T4=1000", 0, 1},
      {"D.Zoom release", 1, Press("Command49"), Release("Command49"), "T1- T2- T4+ T2=500 T4=1000 T1=5",
       "T1- T2- T4+ T2=500 T4=1000 T1=5", 0, 3},
      // An arrow after start-up repeats at 200 ms, before its reply windows of 500 and 1000 close.
      // A failing repetition stops the repeat, so the failure is reported once.
      {"repeat tick", 0, Press("Command7"), [](StepRig& r) { r.clock.Advance(200); }, "write C3D T2+ T4+ T1+",
       "write C3D T1-", 4, 0},
      {"SEND", 0, [](StepRig& r) { r.form.Panel.Text1 = "CR0"; },
       [](StepRig& r) { r.Run([&] { r.form.freeText.Command95_Click(); }); }, "T2=2000 T4=2500 write CR0 T2+ T4+",
       "T2=2000 T4=2500 write CR0", 0, 0},
  };
  for (const Case& c : cases) {
    for (const bool writeFails : {false, true}) {
      SCOPED_TRACE(std::string(c.sender) + (writeFails ? ", the write failing" : ""));
      StepRig rig;
      rig.form.Load();
      rig.form.State.CursorPadMode = c.padBefore;
      c.prepare(rig);
      rig.journal.steps.clear();
      const std::size_t callsBefore = rig.link.calls.size();
      if (writeFails) rig.link.failures["Write"] = "the line is gone";
      c.act(rig);
      EXPECT_EQ(rig.journal.steps, writeFails ? c.stepsWhenTheWriteFails : c.steps);
      for (std::size_t i = callsBefore; i < rig.link.calls.size(); ++i) {
        const std::string& call = rig.link.calls[i];
        if (!call.starts_with("Write ")) continue;
        // The frame stays in TxFrame even when it never left.
        EXPECT_EQ("Write " + rig.form.State.TxFrame, call);
        EXPECT_EQ(rig.window.warnings.size(), writeFails ? 1u : 0u);
      }
      if (writeFails) {
        EXPECT_EQ(rig.form.State.HoldCode, c.holdCodeAfterFailure);
        EXPECT_EQ(rig.form.State.CursorPadMode, c.padAfterFailure);
      }
    }
  }
}

}  // namespace
