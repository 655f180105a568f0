#include "catalogue/recycler.h"

namespace ostrevane {

bool ShellWasAsked(NotMoved::Why why) {
  switch (why) {
    case NotMoved::Why::kShellFailed:
    case NotMoved::Why::kCancelled:
    case NotMoved::Why::kNoRecycleBin:
    case NotMoved::Why::kStillThere:
      return true;
    default:
      return false;
  }
}

Text DescribeNotMoved(const NotMoved& not_moved) {
  const Text quoted = u"\"" + not_moved.detail + u"\"";
  switch (not_moved.why) {
    case NotMoved::Why::kUnfitName:
    case NotMoved::Why::kPathTooLong:
      return not_moved.detail + u".";
    case NotMoved::Why::kGone:
      return u"it is no longer there.";
    case NotMoved::Why::kOtherCase:
      return u"no entry has exactly that name; " + quoted +
             u" differs from it in letter case and is another entry.";
    case NotMoved::Why::kShortName:
      return u"no entry has that name, which is only the short name of " + quoted + u".";
    case NotMoved::Why::kLink:
      if (not_moved.detail.empty()) {
        return u"it is a link, and the shell could move what it points to instead of the link.";
      }
      return u"it is a link to " + quoted +
             u", and the shell would move what it points to instead of the link.";
    case NotMoved::Why::kMountPoint:
      return u"another volume is mounted there, and the shell could delete what that volume "
             u"holds for good instead of moving it to the Recycle Bin.";
    case NotMoved::Why::kMayNotRemove:
      return u"this account may not remove it.";
    case NotMoved::Why::kInUse:
      return u"another program has it open.";
    case NotMoved::Why::kCannotTell:
      return u"what it is cannot be told: " + not_moved.detail;
    case NotMoved::Why::kShellFailed:
      return u"the shell could not move it to the Recycle Bin: " + not_moved.detail;
    case NotMoved::Why::kCancelled:
      return u"the deletion was cancelled; it was not moved to the Recycle Bin.";
    case NotMoved::Why::kNoRecycleBin:
      return u"the Recycle Bin cannot take it, and rather than delete it for good it was left "
             u"where it is.";
    case NotMoved::Why::kStillThere:
      return u"the shell reported success, but it is still there: it was not moved to the "
             u"Recycle Bin.";
  }
  return not_moved.detail;
}

}  // namespace ostrevane
