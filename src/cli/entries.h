#pragma once
// The entries the command line works on: the window's own scan of both
// Programs folders, kept for the roots in scope, in a stable order, each
// shortcut judged by the status rule, and the selection over them.

#include <optional>
#include <vector>

#include "catalogue/entry_key.h"
#include "catalogue/file_reader.h"
#include "catalogue/folder_service.h"
#include "catalogue/shortcut_status.h"
#include "cli/call.h"

namespace ostrevane::cli {

// What the command did with an entry.
enum class Action {
  kNone,          // not selected, or only listed
  kWouldRecycle,  // a preview, and nothing stands against recycling it
  kRecycled,
  kFailed,   // the shell was asked, and the entry stayed
  kRefused,  // refused before the shell was asked
};

struct CliEntry {
  Root root = Root::kCurrentUser;
  EntryKind kind = EntryKind::kFolder;
  Text key;           // the entry key the recycling takes
  Text name;          // the entry's own name in its folder ("Game.lnk")
  Text display_name;  // as the window shows it, with the namesake marks
  Text path;
  std::optional<ShortcutTarget> shortcut;  // a shortcut's status, once judged
  bool selected = false;
  Action action = Action::kNone;
  Text reason;          // why the action, for failed and refused
  bool denied = false;  // refused because this account may not remove it
};

struct Scan {
  Text user_root;
  Text all_users_root;
  std::vector<CliEntry> entries;  // only those in scope, in output order
};

// The most a shortcut file is read of: far beyond any real shortcut, so a
// huge file in a Start Menu is judged unreadable rather than read whole.
inline constexpr std::size_t kShortcutReadLimit = 1 << 20;
// Nested deeper than this below an entry, a folder is never called empty.
inline constexpr int kDeepestEmptyLevel = 32;

// Scans both roots (the namesake marks need both) and keeps the entries of
// the roots in `scope`: the current user's first, folders before shortcuts,
// then by the active sort key of the display name, ties by the exact name.
// Fails as the scan fails in a root in scope; a root out of scope that cannot
// be found or opened counts as empty (its path is then empty).
Scan ScanEntries(FolderService& folders, Scope scope);

// The entry's name as --name matches it: a folder's name, a shortcut's file
// name without its extension.
Text OwnName(const CliEntry& entry);

// Reads and judges a shortcut once; a file that cannot be read, or a probe
// that fails, is unknown with the system's words. Nothing for a folder.
void Judge(CliEntry& entry, FileReader& files, TargetProbe& probe);

// True when the folder at `path`, at any depth, holds no file but
// desktop.ini. A folder that cannot be opened or listed, or that lies deeper
// than kDeepestEmptyLevel, makes the answer false: when in doubt, a folder
// is not empty.
bool HoldsNoFile(FolderService& folders, const Text& path, int level = 0);

// Marks the selected entries: every selector must hold. The cheap tests come
// first; shortcuts are judged, and folders walked, only for entries still in
// the running.
void Select(std::vector<CliEntry>& entries, const Selectors& selectors, FolderService& folders,
            FileReader& files, TargetProbe& probe);

}  // namespace ostrevane::cli
