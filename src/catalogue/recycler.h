#pragma once
// What the deletion needs from the shell: moving exactly one file or folder,
// with all it holds, to the Recycle Bin, or saying why it was not moved.

#include <cstdint>
#include <optional>

#include "base/text.h"

namespace ostrevane {

// Why an entry was not moved to the Recycle Bin. Apart from the last four,
// the entry was refused before the shell was asked, so nothing was touched.
struct NotMoved {
  enum class Why {
    kUnfitName,     // a name the shell could read as another entry; detail says how
    kPathTooLong,   // detail: the length
    kGone,          // no entry has that name any more
    kOtherCase,     // only a name differing in letter case is there; detail: that name
    kShortName,     // the name is only the short name of another entry; detail: its name
    kLink,          // a link, junction or mount point; detail: where it leads, when known
    kMountPoint,    // another file system is mounted there
    kMayNotRemove,  // this account may not delete it
    kInUse,         // another program has it open
    kCannotTell,    // what the entry is could not be found out; detail: the system's words
    kShellFailed,   // the shell reported a failure; detail: its words
    kCancelled,     // the shell asked before deleting for good, and heard No
    kNoRecycleBin,  // the Recycle Bin could not take it, and nobody was there to ask
    kStillThere,    // the shell reported success, but the entry is still there
  };
  Why why = Why::kCannotTell;
  Text detail;
};

// Whether a reparse point with this tag stands for another name (a symbolic
// link, a junction, a mount point), so that the shell could act on what it
// leads to. Every other kind is the entry itself with its data kept
// elsewhere (deduplicated, compressed by the system, a cloud placeholder) and
// is recycled like any entry.
constexpr bool IsNameSurrogateTag(std::uint32_t tag) { return (tag & 0x20000000u) != 0; }

// Whether the shell was asked and the entry stayed (the last four reasons),
// as opposed to a refusal before the shell was asked.
bool ShellWasAsked(NotMoved::Why why);

// Why in words, as a clause that follows the entry's name ("Game: " + this).
Text DescribeNotMoved(const NotMoved& not_moved);

class Recycler {
 public:
  virtual ~Recycler() = default;
  // Moves the entry named exactly by `full_path` (letter case included,
  // never a short name or a namesake, never what a link points to) to the
  // Recycle Bin and checks that it is gone, or says why it was not moved.
  [[nodiscard]] virtual std::optional<NotMoved> Recycle(const Text& full_path) = 0;
  // Why Recycle would refuse the entry before asking the shell, without
  // touching it; none when the shell would be asked.
  [[nodiscard]] virtual std::optional<NotMoved> Inspect(const Text& full_path) = 0;
};

}  // namespace ostrevane
