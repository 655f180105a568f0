#include "window_rules/error_report.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "support/fakes.h"

namespace ostrevane {
namespace {

using testing::RecordingDialogs;

TEST(ErrorReportTest, MessageIsComposedExactly) {
  EXPECT_EQ(ComposeErrorReport(u"Path not found", context_text::kFormLoad, 136),
            u"Path not found\r\nin Velmarrow2021/08/31.Form1.Form_Load at line 136\r\r"
            u"Please email screenshot of this message to support@ostrevane.com");
  // An empty description begins the message with the line break.
  EXPECT_EQ(ComposeErrorReport(u"", context_text::kSelectAllClick, 104)
                .rfind(u"\r\nin Velmarrow2021/08/31.Form1.chkSelectAll_Click at line 104\r\r", 0),
            0u);
}

TEST(ErrorReportTest, EveryHandlerNamesItselfInItsContextText) {
  EXPECT_EQ(Text(context_text::kFormLoad), u"in Velmarrow2021/08/31.Form1.Form_Load ");
  EXPECT_EQ(Text(context_text::kPushButton1Click),
            u"in Velmarrow2021/08/31.Form1.PushButton1_Click ");
  EXPECT_EQ(Text(context_text::kPushButton2Click),
            u"in Velmarrow2021/08/31.Form1.PushButton2_Click ");
  EXPECT_EQ(Text(context_text::kPushButton3Click),
            u"in Velmarrow2021/08/31.Form1.PushButton3_Click ");
  EXPECT_EQ(Text(context_text::kSelectAllClick),
            u"in Velmarrow2021/08/31.Form1.chkSelectAll_Click ");
  EXPECT_EQ(Text(context_text::kUnselectAllClick),
            u"in Velmarrow2021/08/31.Form1.chkUnselectAll_Click ");
  EXPECT_EQ(Text(context_text::kWindowProcedure), u"in the window procedure ");
}

TEST(StepTrapTest, AFailingStepIsReportedOnceAndTheNextStepRuns) {
  RecordingDialogs dialogs;
  StepTrap trap(dialogs, context_text::kFormLoad);
  std::vector<int> ran;
  EXPECT_TRUE(trap.Run(100, [&] { ran.push_back(100); }));
  EXPECT_FALSE(trap.Run(102, [&] { throw Failure(u"boom"); }));
  EXPECT_FALSE(trap.Run(104, [&] { throw std::runtime_error("plain"); }));
  EXPECT_TRUE(trap.Run(106, [&] { ran.push_back(106); }));
  EXPECT_EQ(ran, (std::vector<int>{100, 106}));
  EXPECT_EQ(dialogs.ErrorReports(),
            (std::vector<Text>{ComposeErrorReport(u"boom", context_text::kFormLoad, 102),
                               ComposeErrorReport(u"plain", context_text::kFormLoad, 104)}));
  EXPECT_EQ(dialogs.shown[0].caption, u"Application Error");
}

TEST(StepTrapTest, AFailedConditionRunsTheStepsItGuards) {
  RecordingDialogs dialogs;
  StepTrap trap(dialogs, context_text::kPushButton2Click);
  EXPECT_TRUE(trap.Test(120, []() -> bool { throw Failure(u"Index out of bounds"); }));
  EXPECT_FALSE(trap.Test(120, [] { return false; }));
  EXPECT_EQ(dialogs.ErrorReports().size(), 1u);
}

TEST(StepTrapTest, AFailedLoopHeadEntersTheBodyOnceThenLeavesAfterTheLoop) {
  RecordingDialogs dialogs;
  StepTrap trap(dialogs, context_text::kPushButton2Click);
  std::vector<std::size_t> visited;
  CountedLoop(
      trap, 104, 108, LoopDirection::kUp, []() -> std::size_t { throw Failure(u"Overflow"); },
      [&](std::size_t p) { visited.push_back(p); });
  EXPECT_EQ(visited, (std::vector<std::size_t>{0}));
  EXPECT_EQ(
      dialogs.ErrorReports(),
      (std::vector<Text>{
          ComposeErrorReport(u"Overflow", context_text::kPushButton2Click, 104),
          ComposeErrorReport(u"For loop not initialized", context_text::kPushButton2Click, 108)}));
}

TEST(StepTrapTest, CountedLoopsRunUpAndDown) {
  RecordingDialogs dialogs;
  StepTrap trap(dialogs, context_text::kPushButton2Click);
  std::vector<std::size_t> up, down, none;
  CountedLoop(
      trap, 104, 108, LoopDirection::kUp, [] { return std::size_t{3}; },
      [&](std::size_t p) { up.push_back(p); });
  CountedLoop(
      trap, 116, 134, LoopDirection::kDown, [] { return std::size_t{3}; },
      [&](std::size_t p) { down.push_back(p); });
  CountedLoop(
      trap, 116, 134, LoopDirection::kDown, [] { return std::size_t{0}; },
      [&](std::size_t p) { none.push_back(p); });
  EXPECT_EQ(up, (std::vector<std::size_t>{1, 2, 3}));
  EXPECT_EQ(down, (std::vector<std::size_t>{3, 2, 1}));
  EXPECT_TRUE(none.empty());
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST(StepTrapTest, AReportThatCannotBeShownDoesNotStopTheHandler) {
  RecordingDialogs dialogs;
  dialogs.fail_error_report = true;
  StepTrap trap(dialogs, context_text::kFormLoad);
  bool later = false;
  trap.Run(100, [] { throw Failure(u"x"); });
  trap.Run(104, [&] { later = true; });
  EXPECT_TRUE(later);
}

TEST(StepTrapTest, ProgramEndedIsNotAFailureAndPassesThrough) {
  RecordingDialogs dialogs;
  StepTrap trap(dialogs, context_text::kPushButton2Click);
  EXPECT_THROW(trap.Run(118, [] { throw ProgramEnded{}; }), ProgramEnded);
  EXPECT_TRUE(dialogs.shown.empty());
}

}  // namespace
}  // namespace ostrevane
