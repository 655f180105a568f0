#pragma once
// The entries the command line works on: the window's own scan of both
// Programs folders, kept for the roots in scope, in a stable order, each
// shortcut judged by the status rule, and the selection over them.

#include <optional>
#include <vector>

#include "catalogue/entry_key.h"
#include "catalogue/file_reader.h"
#include "catalogue/folder_status.h"
#include "catalogue/profiles.h"
#include "catalogue/folder_service.h"
#include "catalogue/shortcut_status.h"
#include "console_rules/call.h"

namespace ostrevane::console {

// What the command did with an entry.
enum class Action {
  kNone,          // not selected, or only listed
  kWouldRecycle,  // a preview, and nothing stands against recycling it
  kRecycled,
  kFailed,   // the shell was asked, and the entry stayed
  kRefused,  // refused before the shell was asked
  kGone,     // no longer there when its turn came: another run, a person, an uninstaller
  kHeld,     // would have gone, but entries this account may not remove held the pass
};

// A Programs folder the command line looks at.
struct ScanRoot {
  enum class Kind { kCurrentUser, kAllUsers, kProfile };
  Kind kind = Kind::kCurrentUser;
  Text path;  // empty when it could not be found
  bool in_scope = false;
  bool exists = false;  // found and listed
  Text reason;          // why a folder in scope was not listed; empty otherwise
  bool denied = false;  // not listed because this account may not read it
  std::optional<UserProfile> profile;
  // Its Startup folders, as the system gives them (compared by identity),
  // or, for a profile whose hive is not loaded, the top-level folder so named.
  std::vector<Text> startup_paths;
  bool startup_by_name = false;
  // What its shortcuts' per-user parts mean: the running account's own, or
  // another user's, whose products Windows Installer is asked about.
  bool own_profile = true;
  Text user_sid;
};

// A root's name in the output ("user", "all-users", "profile"), and the
// folder in words ("the all users' Programs folder").
TextView RootName(const ScanRoot& root);
Text FolderWords(const ScanRoot& root);

struct CliEntry {
  std::size_t root = 0;  // its folder in Scan::roots
  EntryKind kind = EntryKind::kFolder;
  Text name;          // the entry's own name in its folder ("Game.lnk")
  Text display_name;  // as the window shows it, with the namesake marks
  Text path;
  // A folder, once walked: what it holds, whether it is Windows' own.
  bool walked = false;
  bool system = false;
  Text system_why;                         // for a system folder: which rule made it one
  bool empty = false;                      // nothing in it but desktop.ini files, at any depth
  std::optional<FolderContents> contents;  // kept from the walk until judged
  // Its status, once judged: a shortcut's by its target, a folder's by its
  // shortcuts (none for a folder that holds none).
  bool judged = false;
  std::optional<ShortcutStatus> status;
  Text target;
  Text status_reason;
  bool selected = false;
  Action action = Action::kNone;
  Text reason;          // why the action, for failed and refused
  bool denied = false;  // refused because this account may not remove it
};

struct Scan {
  std::vector<ScanRoot> roots;    // the current user's and the all users' first, then profiles
  std::vector<CliEntry> entries;  // only those in scope, in output order
};

// The most a shortcut file is read of: far beyond any real shortcut, so a
// huge file in a Start Menu is judged unreadable rather than read whole.
inline constexpr std::size_t kShortcutReadLimit = 1 << 20;

// Scans the roots in `scope` and keeps their entries: root by root,
// folders before shortcuts, then by the active sort key of the display name,
// ties by the exact name. The current user's and the all users' folders are
// scanned as the window scans them (the namesake marks need both); fails as
// that scan fails in a root in scope, while a root out of scope that cannot
// be found or opened counts as empty. A profile's folder that is gone, on
// the network or unreadable is listed with why, and has no entries.
Scan ScanEntries(FolderService& folders, ProfileSource& profiles, TargetProbe& probe, Scope scope);

// The entry's name as --name, --contains and --not-contains test it: a
// folder's name, a shortcut's file name without its extension. The namesake
// marks are left out, so one call selects the same entries on every machine.
Text OwnName(const CliEntry& entry);

// Tells what the entries are, once each and only as far as asked: a
// folder's walk (empty, Windows' own) and every entry's status. Nothing it
// meets makes it throw: what cannot be read is unknown.
class Judge {
 public:
  Judge(FolderService& folders, FileReader& files, TargetProbe& probe, const Scan& scan);
  void Walk(CliEntry& entry);
  void Status(CliEntry& entry);

 private:
  ShortcutTarget JudgeShortcut(const Text& path, const ScanRoot& root);
  bool IsStartup(const CliEntry& entry);

  FolderService& folders_;
  FileReader& files_;
  TargetProbe& probe_;
  const Scan& scan_;
  std::optional<Text> windows_folder_;
  // The Startup folders among the top-level folders of each root, once asked.
  std::vector<std::optional<std::vector<Text>>> startup_;
};

// Marks the selected entries: every selector must hold, and Windows' own
// folders are left out unless `selectors.include_system` (without any
// selector, every entry is selected, to be listed). The cheap tests
// come first; folders are walked, and statuses judged, only for entries still
// in the running.
void Select(std::vector<CliEntry>& entries, const Selectors& selectors, Judge& judge);

}  // namespace ostrevane::console
