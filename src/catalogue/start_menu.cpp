#include "catalogue/start_menu.h"

#include "catalogue/file_names.h"

namespace ostrevane {
namespace {

// The current user's rows already marked as namesakes: names that differ only
// in case can make several all-users entries match one current-user row, and
// that row takes its mark once.
using MarkedRows = std::vector<bool>;

// Adds one complete row: namesake marks first, then key and text, tag, type.
// Every current-user row whose name matches, ignoring case, is a namesake of
// the all-users entry; each row carries at most one mark.
void AddEntryRow(Rows& list, MarkedRows& marked, const MenuEntry& entry) {
  const bool folder = entry.kind == EntryKind::kFolder;
  const Text name(entry.name);
  Text display = folder ? name : ShortcutDisplayName(name);
  if (entry.root == Root::kAllUsers) {
    // Current-user rows all precede the all-users rows while the list is
    // unsorted, so the matches among them come first; a match among the
    // all-users rows (names that differ only in case, in a case-sensitive
    // folder) is no namesake and ends the search.
    bool namesake = false;
    for (auto hit = list.FindTag(name); hit && list.RowKey(*hit)[0] == u'C';
         hit = list.FindTag(name, *hit + 1)) {
      namesake = true;
      if (*hit <= marked.size() && marked[*hit - 1]) continue;
      list.SetText(*hit, list.RowText(*hit) + kSuffixCurrentUser);
      if (marked.size() < *hit) marked.resize(*hit);
      marked[*hit - 1] = true;
    }
    if (namesake) display += kSuffixAllUsers;
  }
  const std::size_t row = list.Add(MakeEntryKey(entry.root, name), std::move(display));
  list.SetTag(row, name);
  list.SetType(row, folder ? kTypeFolder : kTypeShortcut);
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

bool NameContainsLowered(TextView name, TextView lowered_text) {
  if (name.empty()) return false;
  return Lower(name).find(lowered_text) != Text::npos;
}

bool NameContains(TextView name, TextView text) { return NameContainsLowered(name, Lower(text)); }

std::optional<Text> WhyNotPlainName(const Text& name) {
  if (name.empty()) {
    return u"it has no name, so its path would be the Programs folder itself";
  }
  if (name == u"." || name == u"..") return u"the name does not name an entry";
  for (const char16_t c : name) {
    if (IsWildcard(c)) {
      return u"its name holds a wildcard character (* ? < > \"), which the shell could match "
             u"against other entries";
    }
    if (IsForbiddenInName(c)) {
      return u"its name holds a path separator or another character that cannot stand in a "
             u"file name";
    }
  }
  if (name.back() == u'.' || name.back() == u' ') {
    return u"its name ends in a dot or a blank, which Windows drops from a path, so the path "
           u"could name another entry";
  }
  return std::nullopt;
}

void ListStartMenu(FolderService& folders, const std::function<void(const MenuEntry&)>& found) {
  for (const Root root : {Root::kCurrentUser, Root::kAllUsers}) {
    const Text path = folders.RootPath(RootCsidl(root));
    const std::unique_ptr<Folder> folder = folders.OpenFolder(path);
    folder->ForEachSubfolder([&](const Text& name) {
      found({root, EntryKind::kFolder, name, path});
    });
    folder->ForEachFile([&](const Text& name) {
      if (IsShortcutName(name)) found({root, EntryKind::kShortcut, name, path});
    });
  }
}

void ScanStartMenu(FolderService& folders, Rows& list) {
  list.SetSorted(false);
  MarkedRows marked;
  ListStartMenu(folders, [&](const MenuEntry& entry) { AddEntryRow(list, marked, entry); });
  list.SetSorted(true);
  list.SetSortKey(Rows::kSortByType);
}

Text EntryPath(const Text& key, RootLookup& roots) {
  const DecodedKey decoded = DecodeEntryKey(key);
  const Text root_path = roots.RootPath(decoded.csidl);
  if (root_path.empty()) {
    throw Failure(
        u"The shell gave no path for the Start Menu Programs folder; nothing was deleted.");
  }
  return root_path + u"\\" + decoded.relative_name;
}

std::optional<NotMoved> RecycleEntry(const Text& key, RootLookup& roots, Recycler& recycler,
                                     Recycling recycling) {
  const Text relative_name = DecodeEntryKey(key).relative_name;
  if (std::optional<Text> why = WhyNotPlainName(relative_name)) {
    return NotMoved{NotMoved::Why::kUnfitName, std::move(*why)};
  }
  const Text full_path = EntryPath(key, roots);
  return RecycleAt(Text(FolderPart(full_path)), relative_name, recycler, recycling);
}

std::optional<NotMoved> RecycleAt(const Text& root_path, const Text& name, Recycler& recycler,
                                  Recycling recycling) {
  if (std::optional<Text> why = WhyNotPlainName(name)) {
    return NotMoved{NotMoved::Why::kUnfitName, std::move(*why)};
  }
  const Text full_path = root_path + u"\\" + name;
  // Past this length the shell cuts or refuses the path, and a cut path can
  // name another entry.
  if (full_path.size() > kLongestShellPath) {
    return NotMoved{NotMoved::Why::kPathTooLong,
                    u"its path is " + DecimalText(static_cast<long long>(full_path.size())) +
                        u" characters long, more than the " +
                        DecimalText(static_cast<long long>(kLongestShellPath)) +
                        u" the shell can take"};
  }
  return recycling == Recycling::kMove ? recycler.Recycle(full_path) : recycler.Inspect(full_path);
}

}  // namespace ostrevane
