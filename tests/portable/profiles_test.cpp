#include <gtest/gtest.h>

#include "catalogue/profiles.h"
#include "support/fakes.h"

namespace ostrevane {
namespace {

using testing::FakeProfileSource;
using testing::FakeTargetProbe;

constexpr char16_t kDefault[] = u"\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";

// Each profile's Programs folder: from its loaded hive, expanded for that
// profile, or the default below its folder; the system's own profiles left
// out; a folder on the network or one that cannot be told is not walked.
TEST(ProfilesTest, EachPersonsProgramsFolderIsFoundForThatPerson) {
  FakeProfileSource source;
  const auto hive = [](Text programs) {
    return std::map<Text, Text>{{u"Programs", std::move(programs)},
                                {u"AppData", u"%USERPROFILE%\\Roaming"},
                                {u"Startup", u"%APPDATA%\\Start\\Autostart"}};
  };
  source.profiles = {
      {u"S-1-5-18", u"%SystemRoot%\\system32\\config\\systemprofile", std::nullopt,
       u"NT AUTHORITY\\SYSTEM"},
      {u"S-1-5-19", u"%SystemRoot%\\ServiceProfiles\\LocalService", std::nullopt, {}},
      {u"S-1-5-20", u"%SystemRoot%\\ServiceProfiles\\NetworkService", std::nullopt, {}},
      {u"S-1-5-21-1-2-3-1000", u"%SystemDrive%\\Users\\me", std::nullopt, u"PC\\me"},
      {u"S-1-5-21-1-2-3-1001", u"C:\\Users\\alice", hive(u"%APPDATA%\\Start\\Programs"),
       u"CORP\\alice"},
      {u"S-1-5-21-1-2-3-1002",
       u"C:\\Users\\bob.OLD\\",
       hive(u"\\\\files\\bob\\Start Menu\\Programs"),
       {}},
      {u"S-1-5-21-1-2-3-1003", u"C:\\Users\\carol", hive(u"Z:\\Start Menu\\Programs"),
       u"CORP\\carol"},
      {u"S-1-5-21-1-2-3-1004", u"C:\\Users\\dan", hive(u"%HOMESHARE%\\Programs"), u"CORP\\dan"},
      {u"S-1-5-21-1-2-3-1005", std::nullopt, std::nullopt, u"CORP\\gone"},
  };
  FakeTargetProbe probe;
  probe.variables = {
      {u"SystemDrive", u"C:"}, {u"SystemRoot", u"C:\\Windows"}, {u"HOMESHARE", u"\\\\h\\me"}};
  probe.volumes[u"Z:\\"] = TargetProbe::Volume::kRemote;
  const std::vector<UserProfile> found = FindProfiles(source, probe);
  ASSERT_EQ(found.size(), 6u);

  const UserProfile& me = found[0];
  EXPECT_EQ(me.sid, u"S-1-5-21-1-2-3-1000");
  EXPECT_TRUE(me.own);
  EXPECT_EQ(me.programs, Text(u"C:\\Users\\me") + kDefault);
  EXPECT_EQ(me.name, u"me");
  EXPECT_FALSE(me.hive_loaded);
  EXPECT_FALSE(me.startup);
  EXPECT_TRUE(me.not_walked.empty());

  const UserProfile& alice = found[1];
  EXPECT_FALSE(alice.own);
  EXPECT_EQ(alice.programs, u"C:\\Users\\alice\\Roaming\\Start\\Programs");
  EXPECT_EQ(alice.startup, u"C:\\Users\\alice\\Roaming\\Start\\Autostart");
  EXPECT_EQ(alice.account, u"CORP\\alice");
  EXPECT_EQ(alice.name, u"alice");

  const UserProfile& bob = found[2];  // an account the system no longer knows
  EXPECT_EQ(bob.account, std::nullopt);
  EXPECT_EQ(bob.name, u"bob.OLD");
  EXPECT_NE(bob.not_walked.find(u"network"), Text::npos);
  EXPECT_NE(found[3].not_walked.find(u"network"), Text::npos) << "a mapped network drive";
  EXPECT_NE(found[4].not_walked.find(u"%HOMESHARE%"), Text::npos) << ToUtf8(found[4].not_walked);
  EXPECT_TRUE(found[4].programs.empty());
  EXPECT_FALSE(found[5].not_walked.empty()) << "no folder in the list";
}

}  // namespace
}  // namespace ostrevane
