#include "commands/deletion.h"

#include "commands/error_report.h"
#include "catalogue/start_menu.h"

namespace ostrevane {
namespace {

// What step 120 learned about the row being visited.
enum class CheckState { kChecked, kUnchecked, kUnknown };

// Counts the checked rows, the first pass. A check that cannot be read counts
// as checked; the deletion pass reads every check again anyway.
std::size_t CountCheckedRows(StepTrap& trap, EntryList& list) {
  std::size_t count = 0;  // step 102
  CountedLoop(
      trap, 104, 108, LoopDirection::kUp, [&] { return list.Count(); },
      [&](std::size_t p) {
        if (trap.Test(106, [&] { return list.Checked(p); })) {
          ++count;  // step 108; the count has room for any list
        }
      });
  return count;
}

// Visits row p in the deletion pass: lets events run, then recycles the
// row's entry and removes the row if the row is checked now.
void VisitRow(StepTrap& trap, DeletionContext& context, std::size_t p) {
  trap.Run(118, [&] { context.pump.DoEvents(); });

  CheckState check = CheckState::kUnknown;
  trap.Run(120, [&] {
    check = context.list.Checked(p) ? CheckState::kChecked : CheckState::kUnchecked;
  });
  if (check == CheckState::kUnchecked) return;

  const bool recycled = trap.Run(130, [&] {
    const Text key = context.list.RowKey(p);
    // A check that could not be read says nothing about what the user ticked,
    // and only ticked entries may be deleted.
    if (check == CheckState::kUnknown) {
      throw Failure(u"The row's check mark could not be read, so its entry was not deleted.");
    }
    RecycleEntry(key, context.roots, context.recycler);
  });
  // The row goes only with its entry: a row whose entry is still there stays,
  // still checked, so the list never shows a deletion that did not happen.
  if (recycled) trap.Run(132, [&] { context.list.Remove(p); });
}

}  // namespace

void DeleteChecked(DeletionContext& context) {
  StepTrap trap(context.dialogs, context_text::kPushButton2Click);

  const std::size_t count = CountCheckedRows(trap, context.list);
  if (count == 0) return;  // step 110

  bool confirmed = false;
  const bool asked = trap.Run(112, [&] {
    confirmed = context.dialogs.AskYesNo(u"Are you sure you want to delete " +
                                             DecimalText(static_cast<long long>(count)) +
                                             u" item(s) from Start Menu?",
                                         context.title);
  });
  // Without an answer there is no consent: a question that could not be asked
  // ends the handler as No does.
  if (!asked || !confirmed) return;

  // From the last row to the first: removing row p moves only rows after p,
  // and those have been visited already.
  CountedLoop(
      trap, 116, 134, LoopDirection::kDown, [&] { return context.list.Count(); },
      [&](std::size_t p) { VisitRow(trap, context, p); });

  trap.Run(140, [&] { context.dialogs.ShowMessage(u"Done.", context.title); });
}

}  // namespace ostrevane
