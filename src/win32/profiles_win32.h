#pragma once
// The machine's user profiles as the registry lists them, read only: no
// hive is ever loaded, and no key is written.

#include "catalogue/profiles.h"

namespace ostrevane::win32 {

class Win32ProfileSource : public ProfileSource {
 public:
  std::vector<Text> ProfileSids() override;
  std::optional<Text> ProfileImagePath(const Text& sid) override;
  bool HiveLoaded(const Text& sid) override;
  std::optional<Text> UserShellFolder(const Text& sid, const Text& name) override;
  std::optional<Text> AccountName(const Text& sid) override;
  Text RunningSid() override;
};

}  // namespace ostrevane::win32
