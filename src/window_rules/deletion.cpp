#include "window_rules/deletion.h"

#include "catalogue/start_menu.h"
#include "window_rules/app_title.h"
#include "window_rules/error_report.h"

namespace ostrevane {
namespace {

// What step 120 learned about the row being visited.
enum class CheckState { kChecked, kUnchecked, kUnknown };

// The step whose failures the report of the entries not moved stands for.
constexpr int kRecycleStep = 130;
// A message box taller than the screen hides its end: past this many
// entries the report counts the rest, whose rows stay checked all the same.
constexpr std::size_t kLongestNamedList = 40;

// Counts the checked rows, the first pass. A check that cannot be read counts
// as checked; the deletion pass reads every check again anyway.
std::size_t CountCheckedRows(StepTrap& trap, Rows& list) {
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

// The name the user knows the entry by: its row's, or, when that cannot be
// read, its own name in its folder.
Text NameForReport(Rows& list, std::size_t p, const DecodedKey& key) {
  try {
    return list.RowText(p);
  } catch (const Failure&) {
    return key.relative_name;
  }
}

// Visits row p in the deletion pass: lets events run, then recycles the
// row's entry and removes the row if the row is checked now.
void VisitRow(StepTrap& trap, DeletionContext& context, std::size_t p,
              std::vector<UnmovedEntry>& unmoved) {
  trap.Run(118, [&] { context.pump.DoEvents(); });

  CheckState check = CheckState::kUnknown;
  trap.Run(120, [&] {
    check = context.list.Checked(p) ? CheckState::kChecked : CheckState::kUnchecked;
  });
  if (check == CheckState::kUnchecked) return;

  Text key;
  std::optional<NotMoved> not_moved;
  const bool asked = trap.Run(kRecycleStep, [&] {
    key = context.list.RowKey(p);
    // A check that could not be read says nothing about what the user ticked,
    // and only ticked entries may be deleted.
    if (check == CheckState::kUnknown) {
      throw Failure(u"The row's check mark could not be read, so its entry was not deleted.");
    }
    not_moved = RecycleEntry(key, context.roots, context.recycler);
  });
  if (!asked) return;
  // The row goes only with its entry: a row whose entry is still there stays,
  // still checked, so the list never shows a deletion that did not happen.
  if (not_moved) {
    const DecodedKey decoded = DecodeEntryKey(key);
    unmoved.push_back({NameForReport(context.list, p, decoded), decoded.root, *not_moved});
    return;
  }
  trap.Run(132, [&] { context.list.Remove(p); });
}

}  // namespace

Text UnmovedEntriesReport(const std::vector<UnmovedEntry>& entries, bool elevated) {
  const std::size_t count = entries.size();
  Text report = count == 1 ? Text(
                                 u"1 entry was not moved to the Recycle Bin, and its row stays "
                                 u"checked:")
                           : DecimalText(static_cast<long long>(count)) +
                                 u" entries were not moved to the Recycle Bin, and their rows "
                                 u"stay checked:";
  bool all_users_denied = false;
  for (std::size_t i = 0; i < count; ++i) {
    const UnmovedEntry& entry = entries[i];
    all_users_denied |=
        entry.root == Root::kAllUsers && entry.not_moved.why == NotMoved::Why::kMayNotRemove;
    if (i < kLongestNamedList) {
      report += u"\r\n" + entry.name + u": " + DescribeNotMoved(entry.not_moved);
    }
  }
  if (count > kLongestNamedList) {
    report += u"\r\n... and " + DecimalText(static_cast<long long>(count - kLongestNamedList)) +
              u" more.";
  }
  if (all_users_denied) {
    report += u"\r\n\r\nThe entries of all users can be removed only by an administrator";
    // Already with an administrator's rights, starting again as one would not help.
    report += elevated ? u"; even with an administrator's rights, this account was refused them."
                       : u": start " + Text(kProductFullName) +
                             u" as administrator (right-click it, then \"Run as administrator\") "
                             u"to remove them.";
  }
  return report;
}

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
  std::vector<UnmovedEntry> unmoved;
  CountedLoop(
      trap, 116, 134, LoopDirection::kDown, [&] { return context.list.Count(); },
      [&](std::size_t p) { VisitRow(trap, context, p, unmoved); });

  // One report for all the entries left, however many: a box for each would
  // bury the user in boxes when a whole folder may not be changed.
  if (!unmoved.empty()) trap.Report(kRecycleStep, UnmovedEntriesReport(unmoved, context.elevated));
  trap.Run(140, [&] { context.dialogs.ShowMessage(u"Done.", context.title); });
}

}  // namespace ostrevane
