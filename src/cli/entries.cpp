#include "cli/entries.h"

#include <algorithm>
#include <memory>
#include <string>

#include "catalogue/entry_list.h"
#include "catalogue/shortcut_file.h"
#include "catalogue/start_menu.h"

namespace ostrevane::cli {
namespace {

bool InScope(Root root, Scope scope) {
  switch (scope) {
    case Scope::kUser:
      return root == Root::kCurrentUser;
    case Scope::kAllUsers:
      return root == Root::kAllUsers;
    case Scope::kBoth:
      break;
  }
  return true;
}

// The folders as the scan sees them. The root out of scope serves only the
// namesake marks, so when it cannot be found or opened it counts as empty:
// the system account's own profile, the "current user" of fleet tools, may
// have no Start Menu at all.
class ScopedFolders : public FolderService {
 public:
  ScopedFolders(FolderService& folders, Scope scope) : folders_(folders), scope_(scope) {}

  Text RootPath(int csidl) override {
    if (InScope(csidl == kCsidlPrograms ? Root::kCurrentUser : Root::kAllUsers, scope_)) {
      return folders_.RootPath(csidl);
    }
    try {
      out_of_scope_ = folders_.RootPath(csidl);
    } catch (const Failure&) {
      out_of_scope_.clear();
    }
    return out_of_scope_;
  }
  std::unique_ptr<Folder> OpenFolder(const Text& path) override {
    if (path != out_of_scope_) return folders_.OpenFolder(path);
    try {
      if (!path.empty()) return folders_.OpenFolder(path);
    } catch (const Failure&) {
    }
    return std::make_unique<NoEntries>();
  }

 private:
  class NoEntries : public Folder {
   public:
    void ForEachSubfolder(const NameVisitor&) override {}
    void ForEachFile(const NameVisitor&) override {}
  };
  FolderService& folders_;
  Scope scope_;
  Text out_of_scope_ = u"\x01";  // no path, until the root out of scope was asked for
};

struct Ordered {
  std::string sort_key;
  CliEntry entry;
};

bool Before(const Ordered& a, const Ordered& b) {
  if (a.entry.root != b.entry.root) return a.entry.root == Root::kCurrentUser;
  if (a.entry.kind != b.entry.kind) return a.entry.kind == EntryKind::kFolder;
  if (a.sort_key != b.sort_key) return a.sort_key < b.sort_key;
  if (a.entry.display_name != b.entry.display_name) {
    return a.entry.display_name < b.entry.display_name;
  }
  return a.entry.name < b.entry.name;
}

}  // namespace

Scan ScanEntries(FolderService& real_folders, Scope scope) {
  ScopedFolders folders(real_folders, scope);
  EntryList list;
  ScanStartMenu(folders, list);
  Scan scan;
  scan.user_root = folders.RootPath(RootCsidl(Root::kCurrentUser));
  scan.all_users_root = folders.RootPath(RootCsidl(Root::kAllUsers));

  std::vector<Ordered> ordered;
  ordered.reserve(list.Size());
  for (std::size_t position = 1; position <= list.Size(); ++position) {
    const StartMenuEntry row = list.Entry(position);
    CliEntry entry;
    entry.root = DecodeEntryKey(row.key).root;
    if (!InScope(entry.root, scope)) continue;
    entry.kind = row.type == kTypeFolder ? EntryKind::kFolder : EntryKind::kShortcut;
    entry.key = Text(row.key);
    entry.name = Text(row.tag);
    entry.display_name = Text(row.text);
    entry.path = (entry.root == Root::kCurrentUser ? scan.user_root : scan.all_users_root) + u"\\" +
                 entry.name;
    std::string sort_key;
    ActiveSortKey()(entry.display_name, sort_key);
    ordered.push_back({std::move(sort_key), std::move(entry)});
  }
  std::sort(ordered.begin(), ordered.end(), Before);
  scan.entries.reserve(ordered.size());
  for (Ordered& o : ordered) scan.entries.push_back(std::move(o.entry));
  return scan;
}

Text OwnName(const CliEntry& entry) {
  return entry.kind == EntryKind::kShortcut ? ShortcutDisplayName(entry.name) : entry.name;
}

void Judge(CliEntry& entry, FileReader& files, TargetProbe& probe) {
  if (entry.kind != EntryKind::kShortcut || entry.shortcut) return;
  std::vector<std::uint8_t> bytes;
  try {
    bytes = files.ReadStart(entry.path, kShortcutReadLimit);
  } catch (const Failure& failure) {
    entry.shortcut = {ShortcutStatus::kUnknown,
                      {},
                      u"the shortcut file could not be read: " + failure.description()};
    return;
  }
  try {
    entry.shortcut = JudgeShortcut(ReadShortcutFile(bytes), probe);
  } catch (const Failure& failure) {
    entry.shortcut = {ShortcutStatus::kUnknown,
                      {},
                      u"could not tell whether the target is there: " + failure.description()};
  }
}

bool HoldsNoFile(FolderService& folders, const Text& path, int level) {
  if (level > kDeepestEmptyLevel) return false;
  try {
    const std::unique_ptr<Folder> folder = folders.OpenFolder(path);
    bool holds_file = false;
    folder->ForEachFile([&](const Text& name) {
      if (Lower(name) != u"desktop.ini") holds_file = true;
    });
    if (holds_file) return false;
    std::vector<Text> subfolders;
    folder->ForEachSubfolder([&](const Text& name) { subfolders.push_back(name); });
    return std::all_of(subfolders.begin(), subfolders.end(), [&](const Text& name) {
      return HoldsNoFile(folders, path + u"\\" + name, level + 1);
    });
  } catch (const Failure&) {
    return false;
  }
}

void Select(std::vector<CliEntry>& entries, const Selectors& selectors, FolderService& folders,
            FileReader& files, TargetProbe& probe) {
  const Text contains = selectors.contains ? Lower(*selectors.contains) : Text();
  const Text not_contains = selectors.not_contains ? Lower(*selectors.not_contains) : Text();
  std::vector<Text> names;
  for (const Text& name : selectors.names) names.push_back(Lower(name));

  for (CliEntry& entry : entries) {
    entry.selected = false;
    if (selectors.kind && entry.kind != *selectors.kind) continue;
    if (selectors.broken && entry.kind != EntryKind::kShortcut) continue;
    if (selectors.empty && entry.kind != EntryKind::kFolder) continue;
    if (selectors.contains && !NameContainsLowered(entry.display_name, contains)) continue;
    if (selectors.not_contains && NameContainsLowered(entry.display_name, not_contains)) continue;
    if (!names.empty() &&
        std::find(names.begin(), names.end(), Lower(OwnName(entry))) == names.end()) {
      continue;
    }
    if (selectors.broken) {
      Judge(entry, files, probe);
      if (entry.shortcut->status != ShortcutStatus::kMissing) continue;
    }
    if (selectors.empty && !HoldsNoFile(folders, entry.path)) continue;
    entry.selected = true;
  }
}

}  // namespace ostrevane::cli
