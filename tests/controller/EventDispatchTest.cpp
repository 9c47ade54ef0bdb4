#include "controller/EventDispatch.h"

#include <gtest/gtest.h>

#include "FakeWindow.h"
#include "controller/SerialLink.h"

namespace {

void Failing() { throw LinkError("port lost"); }

TEST(EventDispatch, ReportsAFailureAsAWarningAndRedraws) {
  FakeWindow window;
  EventDispatch dispatch(window);
  dispatch.Run(OnFailure::Warn, Failing);
  EXPECT_EQ(window.warnings, std::vector<std::string>{"port lost"});
  EXPECT_TRUE(window.fatals.empty());
  EXPECT_GE(window.refreshes, 1);
}

TEST(EventDispatch, EndsTheProgramWhereTheHandlerRequiresIt) {
  FakeWindow window;
  EventDispatch dispatch(window);
  dispatch.Run(OnFailure::EndProgram, Failing);
  EXPECT_EQ(window.fatals, std::vector<std::string>{"port lost"});
  EXPECT_TRUE(window.warnings.empty());
}

TEST(EventDispatch, NeverStacksASecondWarningOnAnOpenOne) {
  FakeWindow window;
  EventDispatch dispatch(window);
  int nested = 0;
  // While the box is open, its event loop delivers more failing events (timer ticks, clicks).
  window.whileWarningShown = [&] {
    if (nested++ < 3) dispatch.Run(OnFailure::Warn, Failing);
  };
  dispatch.Run(OnFailure::Warn, Failing);
  EXPECT_EQ(window.warnings.size(), 1u);
  EXPECT_EQ(nested, 1);

  dispatch.Run(OnFailure::Warn, Failing);  // once dismissed, the next failure is shown again
  EXPECT_EQ(window.warnings.size(), 2u);
}

TEST(EventDispatch, HandlersThatSucceedOnlyRedraw) {
  FakeWindow window;
  EventDispatch dispatch(window);
  bool ran = false;
  dispatch.Run(OnFailure::Warn, [&] { ran = true; });
  EXPECT_TRUE(ran);
  EXPECT_TRUE(window.warnings.empty());
  EXPECT_EQ(window.refreshes, 1);
}

}  // namespace
