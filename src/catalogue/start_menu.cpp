#include "catalogue/start_menu.h"

namespace ostrevane {
namespace {

// Adds one complete row: namesake marks first, then key and text, tag, type.
void AddEntryRow(EntryList& list, Root root, const Text& name, Text display, const char16_t* type) {
  if (root == Root::kAllUsers) {
    // Current-user rows all precede the all-users rows while the list is
    // unsorted, so the first match is a current-user row if any matches. A
    // first match among the all-users rows (names that differ only in case, in
    // a case-sensitive folder) is no namesake.
    if (const auto hit = list.FindTag(name); hit && list.RowKey(*hit)[0] == u'C') {
      list.SetText(*hit, list.RowText(*hit) + kSuffixCurrentUser);
      display += kSuffixAllUsers;
    }
  }
  const std::size_t row = list.Add(MakeEntryKey(root, name), std::move(display));
  list.SetTag(row, name);
  list.SetType(row, type);
}

void ScanRoot(FolderService& folders, EntryList& list, Root root) {
  const Text path = folders.RootPath(RootCsidl(root));
  const std::unique_ptr<Folder> folder = folders.OpenFolder(path);
  folder->ForEachSubfolder(
      [&](const Text& name) { AddEntryRow(list, root, name, name, kTypeFolder); });
  folder->ForEachFile([&](const Text& name) {
    if (IsShortcutName(name)) {
      AddEntryRow(list, root, name, ShortcutDisplayName(name), kTypeShortcut);
    }
  });
}

}  // namespace

bool IsShortcutName(TextView file_name) {
  if (file_name.size() < 4) return false;
  return Lower(file_name.substr(file_name.size() - 4)) == u".lnk";
}

Text ShortcutDisplayName(TextView file_name) {
  const std::size_t dot = file_name.rfind(u'.');
  return Text(dot == TextView::npos ? file_name : file_name.substr(0, dot));
}

void RequirePlainEntryName(const Text& name) {
  // "<", ">" and '"' are wildcards too: the file system matches them as the
  // MS-DOS forms of "*", "?" and ".".
  const auto refuse = [&](const char16_t* why) {
    throw Failure(u"\"" + name + u"\" was not deleted: " + why);
  };
  if (name.empty()) {
    throw Failure(
        u"The entry has no name, so its path would be the Programs folder itself; nothing was "
        u"deleted.");
  }
  if (name == u"." || name == u"..") refuse(u"the name does not name an entry.");
  for (char16_t c : name) {
    if (c == u'*' || c == u'?' || c == u'<' || c == u'>' || c == u'"') {
      refuse(
          u"its name holds a wildcard character (* ? < > \"), which the shell could match "
          u"against other entries.");
    }
    if (c == u'\\' || c == u'/' || c == u':' || c == u'|' || c < 0x20) {
      refuse(
          u"its name holds a path separator or another character that cannot stand in a file "
          u"name.");
    }
  }
  if (name.back() == u'.' || name.back() == u' ') {
    refuse(
        u"its name ends in a dot or a blank, which Windows drops from a path, so the path could "
        u"name another entry.");
  }
}

void ScanStartMenu(FolderService& folders, EntryList& list) {
  list.SetSorted(false);
  ScanRoot(folders, list, Root::kCurrentUser);
  ScanRoot(folders, list, Root::kAllUsers);
  list.SetSorted(true);
  list.SetSortKey(EntryList::kSortByType);
}

void RecycleEntry(const Text& key, RootLookup& roots, Recycler& recycler) {
  const DecodedKey decoded = DecodeEntryKey(key);
  const Text& name = decoded.relative_name;
  RequirePlainEntryName(name);
  const Text root_path = roots.RootPath(decoded.csidl);
  if (root_path.empty()) {
    throw Failure(
        u"The shell gave no path for the Start Menu Programs folder; nothing was deleted.");
  }
  const Text full_path = root_path + u"\\" + name;
  recycler.MoveToRecycleBin(full_path);
  if (recycler.Exists(full_path)) {
    throw Failure(u"The shell reported success, but \"" + full_path +
                  u"\" is still there: it was not moved to the Recycle Bin.");
  }
}

}  // namespace ostrevane
