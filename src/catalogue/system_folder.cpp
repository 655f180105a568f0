#include "catalogue/system_folder.h"

#include <algorithm>
#include <optional>
#include <string>

namespace ostrevane {
namespace {

Text Decoded(std::span<const std::uint8_t> bytes) {
  if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
    Text text;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      text += static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
    }
    return text;
  }
  if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
    return FromUtf8(std::string(bytes.begin() + 3, bytes.end()));
  }
  // An ANSI code page cannot be known here; the names that matter are ASCII.
  return Text(bytes.begin(), bytes.end());
}

TextView Trimmed(TextView text) {
  const auto blank = [](char16_t c) { return c == u' ' || c == u'\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// The value of LocalizedResourceName in the [.ShellClassInfo] section.
std::optional<Text> LocalizedResourceName(const Text& ini) {
  bool in_section = false;
  for (std::size_t at = 0; at < ini.size();) {
    std::size_t end = ini.find_first_of(u"\r\n", at);
    if (end == Text::npos) end = ini.size();
    const TextView line = Trimmed(TextView(ini).substr(at, end - at));
    at = end + 1;
    if (line.starts_with(u"[")) {
      in_section = Lower(line) == u"[.shellclassinfo]";
      continue;
    }
    const std::size_t equals = line.find(u'=');
    if (!in_section || equals == TextView::npos) continue;
    if (Lower(Trimmed(line.substr(0, equals))) == u"localizedresourcename") {
      return Text(Trimmed(line.substr(equals + 1)));
    }
  }
  return std::nullopt;
}

// A path that climbs out of a folder with ".." could name anything.
bool Climbs(TextView path) {
  for (std::size_t at = 0; at <= path.size();) {
    std::size_t end = path.find_first_of(u"\\/", at);
    if (end == TextView::npos) end = path.size();
    if (Trimmed(path.substr(at, end - at)) == u"..") return true;
    at = end + 1;
  }
  return false;
}

}  // namespace

bool NamesWindowsResource(std::span<const std::uint8_t> desktop_ini, TextView windows_folder) {
  const std::optional<Text> value = LocalizedResourceName(Decoded(desktop_ini));
  if (!value || !value->starts_with(u"@") || windows_folder.empty()) return false;
  // "@path,-id": the resource's file, then its number.
  Text path =
      value->substr(1, value->rfind(u',') == Text::npos ? Text::npos : value->rfind(u',') - 1);
  path = Lower(Trimmed(path));
  Text folder = Lower(windows_folder);
  while (!folder.empty() && folder.back() == u'\\') folder.pop_back();
  for (TextView variable : {TextView(u"%systemroot%"), TextView(u"%windir%")}) {
    if (path.starts_with(variable)) path = folder + path.substr(variable.size());
  }
  return path.size() > folder.size() + 1 && path.starts_with(folder + u"\\") && !Climbs(path);
}

std::vector<Text> StartupFoldersAmong(FolderService& folders, const Text& root,
                                      const std::vector<Text>& folder_names,
                                      const std::vector<Text>& startup_paths) {
  std::vector<Text> found;
  for (const Text& startup : startup_paths) {
    const std::optional<Text> identity = folders.Identity(startup);
    if (!identity) continue;
    const auto same = [&](const Text& name) {
      return folders.Identity(root + u"\\" + name) == identity;
    };
    const Text last = Lower(NamePart(startup));
    bool named = false;
    for (const Text& name : folder_names) {
      if (Lower(name) != last) continue;
      named = true;
      if (same(name)) found.push_back(name);
    }
    // Spelled another way (a short name): when it lies in this root at all,
    // every folder is asked for its identity.
    if (named || folders.Identity(Text(FolderPart(startup))) != folders.Identity(root)) continue;
    for (const Text& name : folder_names) {
      if (same(name)) found.push_back(name);
    }
  }
  std::sort(found.begin(), found.end());
  found.erase(std::unique(found.begin(), found.end()), found.end());
  return found;
}

}  // namespace ostrevane
