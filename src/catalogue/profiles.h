#pragma once
// Every user's own Programs folder on the machine, from the profile list, so
// that one run as the system account reaches the Start Menu of each person
// who uses a shared machine.

#include <optional>
#include <vector>

#include "base/text.h"
#include "catalogue/shortcut_status.h"

namespace ostrevane {

// What finding the profiles asks of the system: the registry, read only,
// and the names of accounts.
class ProfileSource {
 public:
  virtual ~ProfileSource() = default;
  // The security ids listed in the machine's profile list (the subkeys of
  // HKLM\Software\Microsoft\Windows NT\CurrentVersion\ProfileList).
  virtual std::vector<Text> ProfileSids() = 0;
  // That entry's ProfileImagePath as stored, variables unexpanded; none
  // when it has none.
  virtual std::optional<Text> ProfileImagePath(const Text& sid) = 0;
  // Whether the account's registry hive is loaded (HKEY_USERS\<sid>), as it
  // is while the user is logged on; a hive is never loaded here.
  virtual bool HiveLoaded(const Text& sid) = 0;
  // A value of the loaded hive's Explorer\User Shell Folders, as stored.
  virtual std::optional<Text> UserShellFolder(const Text& sid, const Text& name) = 0;
  // DOMAIN\name, or none when the system no longer knows the id.
  virtual std::optional<Text> AccountName(const Text& sid) = 0;
  // The security id of the account this process runs as.
  virtual Text RunningSid() = 0;
};

struct UserProfile {
  Text sid;
  std::optional<Text> account;  // DOMAIN\name
  Text name;                    // the account's name, else the profile folder's
  Text folder;                  // the profile's folder, expanded
  Text programs;                // its Programs folder; empty when it cannot be told
  // Its Startup folder as its loaded hive names it; none when the hive is
  // not loaded, and then the top-level folder named Startup stands for it.
  std::optional<Text> startup;
  bool hive_loaded = false;
  bool own = false;  // the running account's own profile
  Text not_walked;   // why its Programs folder is not walked; empty when it is
};

// The system's own profiles (the local system, local service and network
// service accounts), which no person uses.
bool IsSystemProfile(TextView sid);

// The profiles of the machine, the system's own left out, in the order of
// the profile list. A Programs folder is the "Programs" value of the loaded
// hive's User Shell Folders, expanded for that profile; without the hive,
// the default one below the profile's folder. One on a network path is not
// walked; so is one whose value cannot be expanded for that profile. The
// probe expands the machine's own variables and tells a network drive.
std::vector<UserProfile> FindProfiles(ProfileSource& source, TargetProbe& probe);

}  // namespace ostrevane
