#include "cli/entries.h"

#include <algorithm>
#include <memory>
#include <string>

#include "catalogue/entry_list.h"
#include "catalogue/shortcut_file.h"
#include "catalogue/start_menu.h"
#include "catalogue/system_folder.h"

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
  std::optional<Text> Identity(const Text& path) override { return folders_.Identity(path); }

 private:
  class NoEntries : public Folder {
   public:
    void ForEachSubfolder(const NameVisitor&) override {}
    void ForEachFile(const NameVisitor&) override {}
    void ForEachLink(const NameVisitor&) override {}
    bool IsLink() const override { return false; }
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

Judge::Judge(FolderService& folders, FileReader& files, TargetProbe& probe, const Scan& scan)
    : folders_(folders), files_(files), probe_(probe), scan_(scan) {}

ShortcutTarget Judge::JudgeShortcut(const Text& path, bool own_profile) {
  std::vector<std::uint8_t> bytes;
  try {
    bytes = files_.ReadStart(path, kShortcutReadLimit);
  } catch (const Failure& failure) {
    return {ShortcutStatus::kUnknown,
            {},
            u"the shortcut file could not be read" + WindowsSays(failure.description())};
  }
  try {
    return ostrevane::JudgeShortcut(ReadShortcutFile(bytes), {path, own_profile, {}}, probe_);
  } catch (const Failure& failure) {
    return {ShortcutStatus::kUnknown,
            {},
            u"could not tell whether the target is there" + WindowsSays(failure.description())};
  }
}

bool Judge::IsStartup(const CliEntry& entry) {
  const bool user = entry.root == Root::kCurrentUser;
  std::optional<std::vector<Text>>& found = user ? startup_user_ : startup_all_users_;
  if (!found) {
    std::vector<Text> startup_paths;
    for (const int csidl : {kCsidlStartup, kCsidlCommonStartup}) {
      try {
        startup_paths.push_back(folders_.RootPath(csidl));
      } catch (const Failure&) {
        // No such folder on this machine: nothing is it.
      }
    }
    std::vector<Text> names;
    for (const CliEntry& other : scan_.entries) {
      if (other.root == entry.root && other.kind == EntryKind::kFolder) names.push_back(other.name);
    }
    found = StartupFoldersAmong(folders_, user ? scan_.user_root : scan_.all_users_root, names,
                                startup_paths);
  }
  return std::find(found->begin(), found->end(), entry.name) != found->end();
}

void Judge::Walk(CliEntry& entry) {
  if (entry.kind != EntryKind::kFolder || entry.walked) return;
  entry.walked = true;
  entry.contents = WalkFolder(folders_, entry.path);
  entry.empty = entry.contents->Empty();
  if (IsStartup(entry)) {
    entry.system = true;
    entry.system_why = u"it is a Startup folder";
    return;
  }
  if (entry.contents->desktop_ini.empty()) return;
  if (!windows_folder_)
    windows_folder_ = probe_.ExpandEnvironment(u"%SystemRoot%").value_or(Text());
  try {
    const std::vector<std::uint8_t> ini =
        files_.ReadStart(entry.path + u"\\" + entry.contents->desktop_ini, kShortcutReadLimit);
    if (NamesWindowsResource(ini, *windows_folder_)) {
      entry.system = true;
      entry.system_why = u"its desktop.ini names it from a resource of Windows";
    }
  } catch (const Failure&) {
    // A desktop.ini that cannot be read names nothing.
  }
}

void Judge::Status(CliEntry& entry) {
  if (entry.judged) return;
  entry.judged = true;
  const bool own_profile = entry.root == Root::kCurrentUser;
  if (entry.kind == EntryKind::kShortcut) {
    const ShortcutTarget judged = JudgeShortcut(entry.path, own_profile);
    entry.status = judged.status;
    entry.target = judged.target;
    entry.status_reason = judged.reason;
    return;
  }
  Walk(entry);
  const FolderVerdict verdict = JudgeFolder(
      *entry.contents, [&](const Text& path) { return JudgeShortcut(path, own_profile); });
  entry.status = verdict.status;
  entry.status_reason = verdict.reason;
  entry.contents.reset();
}

void Select(std::vector<CliEntry>& entries, const Selectors& selectors, Judge& judge) {
  const Text contains = selectors.contains ? Lower(*selectors.contains) : Text();
  const Text not_contains = selectors.not_contains ? Lower(*selectors.not_contains) : Text();
  std::vector<Text> names;
  for (const Text& name : selectors.names) names.push_back(Lower(name));

  for (CliEntry& entry : entries) {
    entry.selected = false;
    if (selectors.kind && entry.kind != *selectors.kind) continue;
    if (selectors.empty && entry.kind != EntryKind::kFolder) continue;
    const Text own_name = OwnName(entry);
    if (selectors.contains && !NameContainsLowered(own_name, contains)) continue;
    if (selectors.not_contains && NameContainsLowered(own_name, not_contains)) continue;
    if (!names.empty() && std::find(names.begin(), names.end(), Lower(own_name)) == names.end()) {
      continue;
    }
    judge.Walk(entry);
    if (entry.system && !selectors.include_system) continue;
    if (selectors.empty && !entry.empty) continue;
    if (selectors.broken) {
      judge.Status(entry);
      if (entry.status != ShortcutStatus::kMissing) continue;
    }
    entry.selected = true;
  }
}

}  // namespace ostrevane::cli
