#include "window_rules/selection.h"

#include "window_rules/error_report.h"

namespace ostrevane {
namespace {

inline constexpr char16_t kAskTextPrompt[] = u"Enter text:";

// A loop body entered after its head failed has no row to work on (position
// 0). It must fail like any use of a missing row, not fall back to some row.
void RequireRow(std::size_t position) {
  if (position == 0) throw Failure(failure_text::kObjectNotSet);
}

// Select All and Unselect All: every row gets the same check mark.
void SetEveryCheck(SelectionContext& context, const char16_t* context_text, PushButtonId own,
                   bool checked) {
  StepTrap trap(context.dialogs, context_text);
  Rows& list = context.list;
  trap.Run(100, [&] { context.buttons.SetValue(own, 0); });
  CountedLoop(
      trap, 102, 104, LoopDirection::kUp, [&] { return list.Count(); },
      [&](std::size_t position) {
        trap.Run(104, [&] {
          RequireRow(position);
          list.SetChecked(position, checked);
        });
      });
}

// The two text commands: ask once, then check every row whose name passes;
// a row that does not pass keeps whatever check it had.
void CheckByText(SelectionContext& context, const char16_t* context_text, bool containing) {
  StepTrap trap(context.dialogs, context_text);
  Rows& list = context.list;
  trap.Run(100, [&] { context.buttons.SetValue(PushButtonId::k4, 0); });
  Text text;
  trap.Run(102, [&] { text = context.dialogs.AskText(kAskTextPrompt, context.title); });
  const Text lowered_text = Lower(text);
  CountedLoop(
      trap, 104, 108, LoopDirection::kUp, [&] { return list.Count(); },
      [&](std::size_t position) {
        const bool passes = trap.Test(106, [&] {
          RequireRow(position);
          return NameContainsLowered(list.RowText(position), lowered_text) == containing;
        });
        if (!passes) return;
        trap.Run(108, [&] {
          RequireRow(position);
          list.SetChecked(position, true);
        });
      });
}

}  // namespace

void SelectAll(SelectionContext& context) {
  SetEveryCheck(context, context_text::kSelectAllClick, PushButtonId::k4, true);
}

void UnselectAll(SelectionContext& context) {
  SetEveryCheck(context, context_text::kUnselectAllClick, PushButtonId::k5, false);
}

void SelectContaining(SelectionContext& context) {
  CheckByText(context, context_text::kPushButton1Click, true);
}

void SelectNotContaining(SelectionContext& context) {
  CheckByText(context, context_text::kPushButton3Click, false);
}

}  // namespace ostrevane
