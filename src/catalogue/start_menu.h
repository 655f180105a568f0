#pragma once
// The Start Menu catalogue: filling the entry list from the two Programs
// folders, and moving one entry to the Recycle Bin.

#include "catalogue/entry_key.h"
#include "catalogue/entry_list.h"
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

// Fails, in words, unless `name` is a plain name the shell reads as exactly
// one entry of its folder: not empty, "." or "..", without wildcards (which
// the shell would match against other entries), separators or other
// characters Windows forbids in names, and not ending in a dot or blank
// (which Windows drops, so the path would name a look-alike). A Linux folder
// seen through Wine can hold any of these.
void RequirePlainEntryName(const Text& name);

// Lists every top-level subfolder and shortcut of the current user's and then
// the all users' Programs folder, marks namesakes, and sorts by type. The
// first failure ends the scan and propagates; rows added so far stay.
void ScanStartMenu(FolderService& folders, EntryList& list);

// Moves the entry named by `key` to the Recycle Bin. Fails, having deleted
// nothing, when the root cannot be found, the name is not a plain name, the
// path is too long for the shell, or the entry is a link or a mount point;
// fails when the shell did not move the entry, that is when an entry of
// exactly its name is still there afterwards.
void RecycleEntry(const Text& key, RootLookup& roots, Recycler& recycler);

}  // namespace ostrevane
