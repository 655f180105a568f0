#pragma once
// The Start Menu catalogue: filling the entry list from the two Programs
// folders, and moving one entry to the Recycle Bin.

#include <functional>
#include <optional>

#include "catalogue/entry_key.h"
#include "catalogue/rows.h"
#include "catalogue/folder_service.h"
#include "catalogue/recycler.h"

namespace ostrevane {

inline constexpr char16_t kTypeFolder[] = u"Folder";
inline constexpr char16_t kTypeShortcut[] = u"Shortcut";
inline constexpr char16_t kSuffixCurrentUser[] = u" (Current User)";
inline constexpr char16_t kSuffixAllUsers[] = u" (All Users)";
// The longest path the shell's file operation takes (MAX_PATH less its NUL).
inline constexpr std::size_t kLongestShellPath = 259;

// True for a file name whose last four characters, lower-cased, are ".lnk".
bool IsShortcutName(TextView file_name);
// A shortcut's display name: its file name up to, not including, the last ".".
Text ShortcutDisplayName(TextView file_name);

// The containment rule of the selection by text: both texts lower-cased with
// the active case mapping, then searched code unit by code unit. The empty
// text is found in every non-empty name and in no empty name.
bool NameContains(TextView name, TextView text);
// The same with the text already lower-cased, for a search of many names.
bool NameContainsLowered(TextView name, TextView lowered_text);

// Why `name` is not a plain name the shell reads as exactly one entry of its
// folder, as a clause ("its name holds ..."); none when it is one. A plain
// name is not empty, "." or "..", holds no wildcard (which the shell would
// match against other entries), separator or other character Windows forbids
// in names, and does not end in a dot or blank (which Windows drops, so the
// path would name a look-alike). A Linux folder seen through Wine can hold
// any of these.
std::optional<Text> WhyNotPlainName(const Text& name);

// An entry at the top of a Programs folder, as the scan finds it: valid
// while the scan hands it out.
enum class EntryKind { kFolder, kShortcut };
struct MenuEntry {
  Root root;
  EntryKind kind;
  TextView name;       // its own name in its folder ("Game.lnk")
  TextView root_path;  // the Programs folder's path; the entry's is this, "\\", the name
};

// Hands every top-level subfolder and shortcut of the current user's and
// then the all users' Programs folder to `found`, each folder's subfolders
// first, in the order the file system gives. The first failure ends the
// listing and propagates; what was handed out before it stays.
void ListStartMenu(FolderService& folders, const std::function<void(const MenuEntry&)>& found);

// The window's rows from that listing: namesake marks, keys, tags and
// types, sorted by type. The first failure ends the scan and propagates;
// rows added so far stay.
void ScanStartMenu(FolderService& folders, Rows& list);

// Entries of the two Programs folders are namesakes, shown with
// kSuffixCurrentUser and kSuffixAllUsers, when their names have the same key:
// the name lower-cased with the active mapping, as the rows' tags compare.
inline Text NamesakeKey(TextView name) { return Lower(name); }

// The full path of the entry named by `key`. Fails when the root cannot be
// found.
Text EntryPath(const Text& key, RootLookup& roots);

// Moves the entry named by `key` to the Recycle Bin, or says why it was not
// moved: a name that is not plain and a path too long for the shell are
// refused before anything else is asked, the rest is the recycler's answer.
// Only inspected, the entry is refused for the same reasons but never moved.
// Fails, having deleted nothing, when the root cannot be found.
enum class Recycling { kMove, kInspectOnly };
[[nodiscard]] std::optional<NotMoved> RecycleEntry(const Text& key, RootLookup& roots,
                                                   Recycler& recycler,
                                                   Recycling recycling = Recycling::kMove);
// The same for the entry `name` of the folder at `root_path`.
[[nodiscard]] std::optional<NotMoved> RecycleAt(const Text& root_path, const Text& name,
                                                Recycler& recycler,
                                                Recycling recycling = Recycling::kMove);

}  // namespace ostrevane
