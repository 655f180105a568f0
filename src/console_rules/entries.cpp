#include "console_rules/entries.h"

#include <algorithm>
#include <memory>
#include <set>
#include <string>

#include "catalogue/shortcut_file.h"
#include "catalogue/start_menu.h"
#include "catalogue/system_folder.h"

namespace ostrevane::console {
namespace {

bool InScope(Root root, Scope scope) {
  switch (scope) {
    case Scope::kUser:
      return root == Root::kCurrentUser;
    case Scope::kAllUsers:
    case Scope::kMachine:
      return root == Root::kAllUsers;
    case Scope::kBoth:
      return true;
    case Scope::kProfiles:
      break;
  }
  return false;
}

// The folders as the window's scan sees them. A root out of scope serves
// only the namesake marks, so when it cannot be found or opened it counts as
// empty: the system account's own profile, the "current user" of fleet
// tools, may have no Start Menu at all.
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
  if (a.entry.root != b.entry.root) return a.entry.root < b.entry.root;
  if (a.entry.kind != b.entry.kind) return a.entry.kind == EntryKind::kFolder;
  if (a.sort_key != b.sort_key) return a.sort_key < b.sort_key;
  if (a.entry.display_name != b.entry.display_name) {
    return a.entry.display_name < b.entry.display_name;
  }
  return a.entry.name < b.entry.name;
}

void Add(std::vector<Ordered>& ordered, const Scan& scan, std::size_t root, EntryKind kind,
         Text name, Text display_name) {
  CliEntry entry;
  entry.root = root;
  entry.kind = kind;
  entry.path = scan.roots[root].path + u"\\" + name;
  entry.name = std::move(name);
  entry.display_name = std::move(display_name);
  std::string sort_key;
  ActiveSortKey()(entry.display_name, sort_key);
  ordered.push_back({std::move(sort_key), std::move(entry)});
}

// The current user's and the all users' folders, as the window lists them:
// a name found in both is shown with the window's namesake marks.
void ScanWindowRoots(FolderService& real_folders, Scope scope, Scan& scan,
                     std::vector<Ordered>& ordered) {
  ScopedFolders folders(real_folders, scope);
  const bool any_in_scope = InScope(Root::kCurrentUser, scope) || InScope(Root::kAllUsers, scope);
  struct Listed {
    Root root;
    EntryKind kind;
    Text name;
  };
  std::vector<Listed> listed;
  std::set<Text> keys[2];  // the namesake keys of each root's names
  if (any_in_scope) {
    ListStartMenu(folders, [&](const MenuEntry& entry) {
      listed.push_back({entry.root, entry.kind, Text(entry.name)});
      keys[entry.root == Root::kCurrentUser ? 0 : 1].insert(NamesakeKey(entry.name));
    });
  }
  std::vector<Text> startup_paths;
  for (const int csidl : {kCsidlStartup, kCsidlCommonStartup}) {
    try {
      startup_paths.push_back(real_folders.RootPath(csidl));
    } catch (const Failure&) {
      // No such folder on this machine: nothing is it.
    }
  }
  for (const Root root : {Root::kCurrentUser, Root::kAllUsers}) {
    ScanRoot scan_root;
    scan_root.kind =
        root == Root::kCurrentUser ? ScanRoot::Kind::kCurrentUser : ScanRoot::Kind::kAllUsers;
    scan_root.in_scope = InScope(root, scope);
    scan_root.exists = scan_root.in_scope;
    scan_root.path = any_in_scope ? folders.RootPath(RootCsidl(root)) : Text();
    scan_root.startup_paths = startup_paths;
    scan_root.own_profile = root == Root::kCurrentUser;
    scan.roots.push_back(std::move(scan_root));
  }
  for (Listed& entry : listed) {
    if (!InScope(entry.root, scope)) continue;
    const bool user = entry.root == Root::kCurrentUser;
    Text shown = entry.kind == EntryKind::kShortcut ? ShortcutDisplayName(entry.name) : entry.name;
    if (keys[user ? 1 : 0].contains(NamesakeKey(entry.name))) {
      shown += user ? kSuffixCurrentUser : kSuffixAllUsers;
    }
    Add(ordered, scan, user ? 0 : 1, entry.kind, std::move(entry.name), std::move(shown));
  }
}

// Each user profile's own folder, its entries under their own names.
void ScanProfiles(FolderService& folders, ProfileSource& profiles, TargetProbe& probe, Scan& scan,
                  std::vector<Ordered>& ordered) {
  for (UserProfile& profile : FindProfiles(profiles, probe)) {
    ScanRoot root;
    root.kind = ScanRoot::Kind::kProfile;
    root.in_scope = true;
    root.path = profile.programs;
    root.reason = profile.not_walked;
    root.own_profile = profile.own;
    if (!profile.own) root.user_sid = profile.sid;
    if (profile.startup) {
      root.startup_paths = {*profile.startup};
    } else {
      root.startup_by_name = !profile.hive_loaded;
    }
    const std::size_t index = scan.roots.size();
    std::vector<std::pair<EntryKind, Text>> found;
    if (root.reason.empty()) {
      try {
        const std::unique_ptr<Folder> folder = folders.OpenFolder(root.path);
        folder->ForEachSubfolder(
            [&](const Text& name) { found.emplace_back(EntryKind::kFolder, name); });
        folder->ForEachFile([&](const Text& name) {
          if (IsShortcutName(name)) found.emplace_back(EntryKind::kShortcut, name);
        });
        root.exists = true;
      } catch (const Failure& failure) {
        found.clear();
        if (!folders.Identity(profile.folder)) {
          root.reason = u"the profile's folder is gone; skipped";
        } else if (failure.system_error() == kSystemErrorAccessDenied) {
          root.denied = true;
          root.reason =
              u"this account may not read it: start ostrevane as administrator or as the "
              u"system account";
        } else {
          root.reason = u"it could not be read" + WindowsSays(failure.description());
        }
      }
    }
    root.profile = std::move(profile);
    scan.roots.push_back(std::move(root));
    for (auto& [kind, name] : found) {
      Text shown = kind == EntryKind::kShortcut ? ShortcutDisplayName(name) : name;
      Add(ordered, scan, index, kind, std::move(name), std::move(shown));
    }
  }
}

}  // namespace

Scan ScanEntries(FolderService& folders, ProfileSource& profiles, TargetProbe& probe, Scope scope) {
  Scan scan;
  std::vector<Ordered> ordered;
  ScanWindowRoots(folders, scope, scan, ordered);
  if (scope == Scope::kProfiles || scope == Scope::kMachine) {
    ScanProfiles(folders, profiles, probe, scan, ordered);
  }
  std::sort(ordered.begin(), ordered.end(), Before);
  scan.entries.reserve(ordered.size());
  for (Ordered& o : ordered) scan.entries.push_back(std::move(o.entry));
  return scan;
}

namespace {

struct RootWords {
  TextView name;
  TextView folder;  // none for a profile: its folder is named by its user
};
// In the order of ScanRoot::Kind.
constexpr RootWords kRootWords[] = {
    {u"user", u"the current user's Programs folder"},
    {u"all-users", u"the all users' Programs folder"},
    {u"profile", {}},
};

}  // namespace

TextView RootName(const ScanRoot& root) { return kRootWords[static_cast<int>(root.kind)].name; }

Text FolderWords(const ScanRoot& root) {
  if (root.profile) return u"the Programs folder of " + root.profile->name + u"'s profile";
  return Text(kRootWords[static_cast<int>(root.kind)].folder);
}

Text OwnName(const CliEntry& entry) {
  return entry.kind == EntryKind::kShortcut ? ShortcutDisplayName(entry.name) : entry.name;
}

Judge::Judge(FolderService& folders, FileReader& files, TargetProbe& probe, const Scan& scan)
    : folders_(folders), files_(files), probe_(probe), scan_(scan) {}

ShortcutTarget Judge::JudgeShortcut(const Text& path, const ScanRoot& root) {
  std::vector<std::uint8_t> bytes;
  try {
    bytes = files_.ReadStart(path, kShortcutReadLimit);
  } catch (const Failure& failure) {
    return {ShortcutStatus::kUnknown,
            {},
            u"the shortcut file could not be read" + WindowsSays(failure.description())};
  }
  try {
    return ostrevane::JudgeShortcut(ReadShortcutFile(bytes),
                                    {path, root.own_profile, root.user_sid}, probe_);
  } catch (const Failure& failure) {
    return {ShortcutStatus::kUnknown,
            {},
            u"could not tell whether the target is there" + WindowsSays(failure.description())};
  }
}

bool Judge::IsStartup(const CliEntry& entry) {
  const ScanRoot& root = scan_.roots[entry.root];
  if (root.startup_by_name) return Lower(entry.name) == u"startup";
  if (startup_.size() < scan_.roots.size()) startup_.resize(scan_.roots.size());
  std::optional<std::vector<Text>>& found = startup_[entry.root];
  if (!found) {
    std::vector<Text> names;
    for (const CliEntry& other : scan_.entries) {
      if (other.root == entry.root && other.kind == EntryKind::kFolder) names.push_back(other.name);
    }
    found = StartupFoldersAmong(folders_, root.path, names, root.startup_paths);
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
  const ScanRoot& root = scan_.roots[entry.root];
  if (entry.kind == EntryKind::kShortcut) {
    const ShortcutTarget judged = JudgeShortcut(entry.path, root);
    entry.status = judged.status;
    entry.target = judged.target;
    entry.status_reason = judged.reason;
    return;
  }
  Walk(entry);
  const FolderVerdict verdict =
      JudgeFolder(*entry.contents, [&](const Text& path) { return JudgeShortcut(path, root); });
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
    // A listing without a selector shows everything; a rule never takes
    // Windows' own folders.
    if (entry.system && !selectors.include_system && selectors.Any()) continue;
    if (selectors.empty && !entry.empty) continue;
    if (selectors.broken) {
      judge.Status(entry);
      if (entry.status != ShortcutStatus::kMissing) continue;
    }
    entry.selected = true;
  }
}

}  // namespace ostrevane::console
