#pragma once
// What a folder of the Start Menu holds, at every depth, and what that makes
// it: empty, or as dead as the shortcuts in it. A vendor's folder whose
// shortcuts all point into a program folder that is gone is the commonest
// leftover of an uninstall, and it is dead only when nothing else in it
// could be alive.

#include <functional>
#include <optional>
#include <vector>

#include "catalogue/folder_service.h"
#include "catalogue/shortcut_status.h"

namespace ostrevane {

// Nested deeper than this below the folder, nothing more is walked, and the
// folder is neither empty nor dead.
inline constexpr int kDeepestFolderLevel = 32;

struct FolderContents {
  std::vector<Text> shortcuts;  // the path of every .lnk file, at any depth
  std::size_t web_links = 0;    // Internet shortcuts (.url)
  std::size_t other_files = 0;  // files that are none of these nor desktop.ini
  Text first_other_file;        // the path of one, to name it
  // Why the walk saw less than everything: a link, junction or mount point
  // (not followed), a folder that could not be read, or one nested too deep.
  // The first such reason; empty when the walk was whole.
  Text doubt;
  // The folder's own desktop.ini as its listing spells it; empty when none.
  Text desktop_ini;

  // No file but desktop.ini files at any depth, and nothing in doubt.
  bool Empty() const {
    return shortcuts.empty() && web_links == 0 && other_files == 0 && doubt.empty();
  }
};

// Walks the folder at `path` and what it holds, never following a link.
// Never throws for what it meets: a failure is a doubt.
FolderContents WalkFolder(FolderService& folders, const Text& path);

struct FolderVerdict {
  std::optional<ShortcutStatus> status;  // none when the folder holds no shortcut
  Text reason;                           // for every status but kOk
};

// The folder's status from its shortcuts, each judged by `judge`:
// - missing when it holds at least one shortcut, every one of them is
//   missing, and besides them only desktop.ini files, web links and empty
//   folders;
// - ok when any shortcut in it is ok (the rest are then not judged);
// - otherwise unreachable, when only unreachable targets keep it from being
//   missing, or unknown;
// - none when it holds no shortcut and the walk was whole.
using JudgeShortcutAt = std::function<ShortcutTarget(const Text& shortcut_path)>;
FolderVerdict JudgeFolder(const FolderContents& contents, const JudgeShortcutAt& judge);

}  // namespace ostrevane
