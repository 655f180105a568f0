#include "catalogue/profiles.h"

#include <algorithm>

namespace ostrevane {
namespace {

constexpr char16_t kDefaultPrograms[] =
    u"\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";

// A value of a profile's User Shell Folders, with the variables that mean
// that profile's places replaced and the machine's own expanded; none when
// a variable can be neither.
class ProfileExpansion {
 public:
  ProfileExpansion(ProfileSource& source, TargetProbe& probe, const UserProfile& profile)
      : source_(source), probe_(probe), profile_(profile) {}

  std::optional<Text> Expand(const Text& value, int depth = 0) {
    Text out;
    std::size_t at = 0;
    for (std::size_t open; (open = value.find(u'%', at)) != Text::npos;) {
      const std::size_t close = value.find(u'%', open + 1);
      if (close == Text::npos) break;
      const Text name = value.substr(open + 1, close - open - 1);
      std::optional<Text> replaced = Variable(name, depth);
      if (!replaced) {
        failed_ = name;
        return std::nullopt;
      }
      out += value.substr(at, open - at) + *replaced;
      at = close + 1;
    }
    return out + value.substr(at);
  }
  const Text& failed() const { return failed_; }

 private:
  std::optional<Text> Variable(const Text& name, int depth) {
    const Text lowered = Lower(name);
    if (lowered == u"userprofile") return profile_.folder;
    // The hive's own folders, which may themselves be written with
    // %USERPROFILE%; their defaults otherwise.
    const std::pair<TextView, TextView> folders[] = {{u"appdata", u"\\AppData\\Roaming"},
                                                     {u"localappdata", u"\\AppData\\Local"}};
    for (const auto& [variable, fallback] : folders) {
      if (lowered != variable) continue;
      const std::optional<Text> stored = source_.UserShellFolder(
          profile_.sid, variable == u"appdata" ? u"AppData" : u"Local AppData");
      if (stored && depth == 0) return Expand(*stored, depth + 1);
      return profile_.folder + Text(fallback);
    }
    if (IsPerUserVariable(name)) return std::nullopt;
    return probe_.ExpandEnvironment(u"%" + name + u"%");
  }

  ProfileSource& source_;
  TargetProbe& probe_;
  const UserProfile& profile_;
  Text failed_;
};

bool OnNetwork(const Text& path, TargetProbe& probe) {
  if (path.starts_with(u"\\\\")) return true;
  const std::optional<Text> root = VolumeRootOf(path);
  return root && probe.VolumeOf(*root) == TargetProbe::Volume::kRemote;
}

}  // namespace

bool IsSystemProfile(TextView sid) {
  const Text lowered = Lower(sid);
  return lowered == u"s-1-5-18" || lowered == u"s-1-5-19" || lowered == u"s-1-5-20";
}

std::vector<UserProfile> FindProfiles(ProfileSource& source, TargetProbe& probe) {
  const Text running = Lower(source.RunningSid());
  std::vector<UserProfile> profiles;
  for (const Text& sid : source.ProfileSids()) {
    if (IsSystemProfile(sid)) continue;
    UserProfile profile;
    profile.sid = sid;
    profile.own = Lower(sid) == running;
    profile.account = source.AccountName(sid);
    const std::optional<Text> image = source.ProfileImagePath(sid);
    const std::optional<Text> folder = image ? probe.ExpandEnvironment(*image) : std::nullopt;
    if (folder) profile.folder = *folder;
    while (profile.folder.size() > 3 && profile.folder.back() == u'\\') profile.folder.pop_back();
    profile.name = Text(NamePart(profile.account ? *profile.account : profile.folder));
    if (profile.folder.empty()) {
      profile.not_walked = u"the profile list gives it no folder";
      profiles.push_back(std::move(profile));
      continue;
    }
    profile.hive_loaded = source.HiveLoaded(sid);
    ProfileExpansion expansion(source, probe, profile);
    const std::optional<Text> stored =
        profile.hive_loaded ? source.UserShellFolder(sid, u"Programs") : std::nullopt;
    if (stored) {
      if (std::optional<Text> programs = expansion.Expand(*stored)) {
        profile.programs = std::move(*programs);
      } else {
        profile.not_walked = u"its Programs folder is given as " + *stored + u", and %" +
                             expansion.failed() + u"% cannot be told for another user";
      }
      if (const std::optional<Text> startup = source.UserShellFolder(sid, u"Startup")) {
        profile.startup = expansion.Expand(*startup);
      }
    } else {
      profile.programs = profile.folder + kDefaultPrograms;
    }
    while (profile.programs.size() > 3 && profile.programs.back() == u'\\') {
      profile.programs.pop_back();
    }
    if (!profile.programs.empty() && OnNetwork(profile.programs, probe)) {
      profile.not_walked =
          u"its Programs folder is on a network path, which is not walked: the user's own "
          u"session reaches it";
    }
    profiles.push_back(std::move(profile));
  }
  return profiles;
}

}  // namespace ostrevane
