#include "catalogue/folder_status.h"

#include <algorithm>

#include "catalogue/start_menu.h"

namespace ostrevane {
namespace {

bool EndsWith(const Text& lowered, TextView ending) {
  return lowered.size() >= ending.size() &&
         TextView(lowered).substr(lowered.size() - ending.size()) == ending;
}

class Walk {
 public:
  Walk(FolderService& folders, FolderContents& contents) : folders_(folders), contents_(contents) {}

  // `inside` is the folder's path below the walked folder, for the reasons.
  void Visit(const Text& path, const Text& inside, int level) {
    if (level > kDeepestFolderLevel) {
      Doubt(u"it is nested deeper than " + DecimalText(kDeepestFolderLevel) +
            u" levels, and the rest was not looked at");
      return;
    }
    std::vector<Text> subfolders;
    try {
      const std::unique_ptr<Folder> folder = folders_.OpenFolder(path);
      if (folder->IsLink()) {
        Doubt(inside.empty()
                  ? Text(u"it is a link, junction or mount point, which is not followed")
                  : u"a link, junction or mount point inside (" + inside + u") is not followed");
        return;
      }
      std::vector<Text> links;
      folder->ForEachLink([&](const Text& name) { links.push_back(name); });
      for (const Text& name : links) {
        Doubt(u"a link, junction or mount point inside (" + Below(inside, name) +
              u") is not followed");
      }
      const auto linked = [&](const Text& name) {
        return std::find(links.begin(), links.end(), name) != links.end();
      };
      folder->ForEachFile([&](const Text& name) {
        if (!linked(name)) File(path, inside, name, level);
      });
      folder->ForEachSubfolder([&](const Text& name) {
        if (!linked(name)) subfolders.push_back(name);
      });
    } catch (const Failure& failure) {
      Doubt((inside.empty() ? Text(u"it") : u"a folder in it (" + inside + u")") +
            u" could not be read" + WindowsSays(failure.description()));
      return;
    }
    for (const Text& name : subfolders) Visit(path + u"\\" + name, Below(inside, name), level + 1);
  }

 private:
  static Text Below(const Text& inside, const Text& name) {
    return inside.empty() ? name : inside + u"\\" + name;
  }

  void File(const Text& folder, const Text& inside, const Text& name, int level) {
    const Text lowered = Lower(name);
    if (lowered == u"desktop.ini") {
      if (level == 0) contents_.desktop_ini = name;
    } else if (IsShortcutName(name)) {
      contents_.shortcuts.push_back(folder + u"\\" + name);
    } else if (EndsWith(lowered, u".url")) {
      ++contents_.web_links;
    } else if (contents_.other_files++ == 0) {
      contents_.first_other_file = Below(inside, name);
    }
  }

  void Doubt(Text why) {
    if (contents_.doubt.empty()) contents_.doubt = std::move(why);
  }

  FolderService& folders_;
  FolderContents& contents_;
};

Text Count(std::size_t n, TextView one, TextView many) {
  return DecimalText(static_cast<long long>(n)) + u" " + Text(n == 1 ? one : many);
}

}  // namespace

FolderContents WalkFolder(FolderService& folders, const Text& path) {
  FolderContents contents;
  Walk(folders, contents).Visit(path, {}, 0);
  return contents;
}

FolderVerdict JudgeFolder(const FolderContents& contents, const JudgeShortcutAt& judge) {
  if (contents.shortcuts.empty()) {
    if (contents.doubt.empty()) return {};
    return {ShortcutStatus::kUnknown, u"no shortcut was found, but " + contents.doubt};
  }
  std::size_t missing = 0, unreachable = 0;
  Text first_unknown, first_unreachable;
  for (const Text& path : contents.shortcuts) {
    const ShortcutTarget judged = judge(path);
    const Text named = Text(NamePart(path)) + u": " + judged.reason;
    switch (judged.status) {
      case ShortcutStatus::kOk:
        return {ShortcutStatus::kOk, {}};
      case ShortcutStatus::kMissing:
        ++missing;
        break;
      case ShortcutStatus::kUnreachable:
        if (unreachable++ == 0) first_unreachable = named;
        break;
      case ShortcutStatus::kUnknown:
        if (first_unknown.empty()) first_unknown = named;
        break;
    }
  }
  const std::size_t total = contents.shortcuts.size();
  if (!contents.doubt.empty()) return {ShortcutStatus::kUnknown, contents.doubt};
  if (contents.other_files > 0) {
    return {ShortcutStatus::kUnknown,
            u"it also holds " + Count(contents.other_files, u"file", u"files") +
                u" that no rule judges (" + contents.first_other_file + u")"};
  }
  const Text of_all = u"of its " + DecimalText(static_cast<long long>(total)) + u" shortcuts, ";
  if (!first_unknown.empty()) {
    const std::size_t unknown = total - missing - unreachable;
    return {ShortcutStatus::kUnknown, of_all + DecimalText(static_cast<long long>(unknown)) +
                                          u" cannot be judged; " + first_unknown};
  }
  if (unreachable > 0) {
    return {ShortcutStatus::kUnreachable, of_all +
                                              DecimalText(static_cast<long long>(unreachable)) +
                                              (unreachable == 1 ? u" leads" : u" lead") +
                                              u" where nothing answers; " + first_unreachable};
  }
  Text reason = total == 1 ? Text(u"the one shortcut in it points nowhere")
                           : u"all " + DecimalText(static_cast<long long>(total)) +
                                 u" shortcuts in it point nowhere";
  if (contents.web_links > 0)
    reason += u"; " + Count(contents.web_links, u"web link", u"web links");
  return {ShortcutStatus::kMissing, std::move(reason)};
}

}  // namespace ostrevane
