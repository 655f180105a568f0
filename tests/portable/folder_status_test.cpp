#include <gtest/gtest.h>

#include "catalogue/folder_status.h"
#include "catalogue/system_folder.h"
#include <map>

#include "support/fakes.h"

namespace ostrevane {
namespace {

using testing::FakeFolderService;
using enum ShortcutStatus;

constexpr char16_t kVendor[] = u"C:\\Menu\\Vendor App";

// A folder's status from a listing per folder below it and a status per
// shortcut name (missing unless given).
TEST(FolderStatusTest, AFolderIsDeadOnlyWhenAllItHoldsIsDead) {
  struct Case {
    const char* name;
    std::map<Text, FakeFolderService::Listing> below;  // by path under the folder ("" itself)
    std::map<Text, ShortcutStatus> statuses;           // by shortcut file name
    std::optional<ShortcutStatus> status;
    bool empty = false;
    std::vector<Text> links = {};  // paths under the folder that are links
  };
  const Case cases[] = {
      {"all dead", {{u"", {{}, {u"App.lnk", u"Uninstall App.lnk"}}}}, {}, kMissing},
      {"one live", {{u"", {{}, {u"App.lnk", u"Help.lnk"}}}}, {{u"Help.lnk", kOk}}, kOk},
      {"one unreachable",
       {{u"", {{}, {u"App.lnk", u"Net.lnk"}}}},
       {{u"Net.lnk", kUnreachable}},
       kUnreachable},
      {"one unknown", {{u"", {{}, {u"App.lnk", u"Odd.lnk"}}}}, {{u"Odd.lnk", kUnknown}}, kUnknown},
      {"another file", {{u"", {{}, {u"App.lnk", u"readme.txt"}}}}, {}, kUnknown},
      {"a web link and desktop.ini beside the dead",
       {{u"", {{}, {u"App.lnk", u"Site.URL", u"Desktop.ini"}}}},
       {},
       kMissing},
      {"an empty subfolder beside the dead",
       {{u"", {{u"Docs"}, {u"App.lnk"}}}, {u"Docs", {}}},
       {},
       kMissing},
      {"dead at depth",
       {{u"", {{u"Tools"}, {u"desktop.ini"}}},
        {u"Tools", {{u"Deeper"}, {}}},
        {u"Tools\\Deeper", {{}, {u"Tool.lnk"}}}},
       {},
       kMissing},
      {"live at depth",
       {{u"", {{u"Tools"}, {u"App.lnk"}}}, {u"Tools", {{}, {u"Tool.lnk"}}}},
       {{u"Tool.lnk", kOk}},
       kOk},
      {"no shortcut, only a web link", {{u"", {{}, {u"Site.url"}}}}, {}, std::nullopt},
      {"nothing but desktop.ini",
       {{u"", {{u"Sub"}, {u"desktop.ini"}}}, {u"Sub", {}}},
       {},
       std::nullopt,
       true},
      {"a link inside beside the dead",
       {{u"", {{u"Linked"}, {u"App.lnk"}}}, {u"Linked", {{}, {u"Live.lnk"}}}},
       {{u"Live.lnk", kOk}},
       kUnknown,
       false,
       {u"Linked"}},
      {"a link inside an otherwise empty folder",
       {{u"", {{u"Linked"}, {}}}, {u"Linked", {}}},
       {},
       kUnknown,
       false,
       {u"Linked"}},
      {"the folder itself a link", {{u"", {{}, {u"App.lnk"}}}}, {}, kUnknown, false, {u""}},
      {"a subfolder that cannot be read", {{u"", {{u"Locked"}, {u"App.lnk"}}}}, {}, kUnknown},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeFolderService folders;
    const auto full = [](const Text& below) {
      return below.empty() ? Text(kVendor) : Text(kVendor) + u"\\" + below;
    };
    for (const auto& [below, listing] : c.below) folders.At(full(below)) = listing;
    for (const Text& link : c.links) folders.links.insert(full(link));
    const FolderContents contents = WalkFolder(folders, kVendor);
    EXPECT_EQ(contents.Empty(), c.empty);
    std::vector<Text> judged;
    const FolderVerdict verdict = JudgeFolder(contents, [&](const Text& path) {
      judged.push_back(path);
      const auto it = c.statuses.find(Text(NamePart(path)));
      const ShortcutStatus status = it == c.statuses.end() ? kMissing : it->second;
      return ShortcutTarget{status, {}, status == kOk ? Text() : Text(u"why")};
    });
    ASSERT_EQ(verdict.status.has_value(), c.status.has_value()) << ToUtf8(verdict.reason);
    if (!c.status) continue;
    EXPECT_EQ(StatusName(*verdict.status), StatusName(*c.status)) << ToUtf8(verdict.reason);
    EXPECT_EQ(verdict.reason.empty(), *c.status == kOk) << ToUtf8(verdict.reason);
    // A link is never followed: nothing below it is judged.
    for (const Text& path : judged) EXPECT_EQ(path.find(u"Linked"), Text::npos);
  }
}

TEST(FolderStatusTest, TheReasonCountsWhatTheFolderHolds) {
  FakeFolderService folders;
  folders.At(kVendor) = {{}, {u"App.lnk", u"Uninstall App.lnk", u"Site.url", u"desktop.ini"}};
  const FolderContents contents = WalkFolder(folders, kVendor);
  EXPECT_EQ(contents.desktop_ini, u"desktop.ini");
  const auto dead = [](const Text&) { return ShortcutTarget{kMissing, {}, u"gone"}; };
  EXPECT_EQ(JudgeFolder(contents, dead).reason, u"all 2 shortcuts in it point nowhere; 1 web link");
}

// Nested 32 levels below the folder it is walked whole; one more, and it
// is neither empty nor dead.
TEST(FolderStatusTest, TheWalkStopsBelowThirtyTwoLevels) {
  for (const int levels : {32, 33}) {
    FakeFolderService folders;
    Text path = kVendor;
    for (int level = 0; level < levels; ++level) {
      folders.At(path) = {{u"d"}, {}};
      path += u"\\d";
    }
    folders.At(path) = {{}, {u"App.lnk"}};
    const FolderContents contents = WalkFolder(folders, kVendor);
    const FolderVerdict verdict = JudgeFolder(contents, [](const Text&) {
      return ShortcutTarget{kMissing, {}, u"gone"};
    });
    EXPECT_EQ(StatusName(*verdict.status), levels == 32 ? u"missing" : u"unknown") << levels;
  }
}

using Bytes = std::vector<std::uint8_t>;

Bytes Utf16Ini(TextView text) {
  Bytes bytes{0xFF, 0xFE};
  for (char16_t c : text) {
    bytes.push_back(static_cast<std::uint8_t>(c));
    bytes.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  return bytes;
}

TEST(SystemFolderTest, ADesktopIniNamingAWindowsResourceMarksWindowsOwnFolder) {
  struct Case {
    const char* name;
    Bytes ini;
    bool system;
  };
  const auto ansi = [](std::string_view text) { return Bytes(text.begin(), text.end()); };
  const Case cases[] = {
      {"%SystemRoot%, UTF-16 as Windows writes it",
       Utf16Ini(u"\r\n[.ShellClassInfo]\r\nLocalizedResourceName=@%SystemRoot%\\system32\\shell32."
                u"dll,-21761\r\n"),
       true},
      {"%windir%, ANSI, other keys and spaces",
       ansi("[.ShellClassInfo]\nIconResource=x.dll,1\n  localizedresourcename = "
            "@%WINDIR%\\system32\\x.dll,-5\n"),
       true},
      {"an absolute path below the Windows folder",
       ansi("[.ShellClassInfo]\r\nLocalizedResourceName=@C:\\windows\\system32\\shell32.dll,-"
            "21787\r\n"),
       true},
      {"UTF-8 with its mark",
       ansi("\xEF\xBB\xBF[.ShellClassInfo]\nLocalizedResourceName=@%SystemRoot%\\system32\\x.dll,-"
            "1\n"),
       true},
      {"a vendor's own DLL",
       ansi("[.ShellClassInfo]\nLocalizedResourceName=@C:\\Program Files\\Vendor\\res.dll,-100\n"),
       false},
      {"a folder beside the Windows folder with its name as a prefix",
       ansi("[.ShellClassInfo]\nLocalizedResourceName=@C:\\WindowsApps\\res.dll,-1\n"), false},
      {"climbing out of the Windows folder",
       ansi("[.ShellClassInfo]\nLocalizedResourceName=@%SystemRoot%\\..\\Vendor\\res.dll,-1\n"),
       false},
      {"a plain name, not a resource", ansi("[.ShellClassInfo]\nLocalizedResourceName=Tools\n"),
       false},
      {"the key in another section",
       ansi("[Other]\nLocalizedResourceName=@%SystemRoot%\\x.dll,-1\n"), false},
      {"no such key", ansi("[.ShellClassInfo]\nIconResource=%SystemRoot%\\x.dll,-1\n"), false},
      {"empty", Bytes{}, false},
      {"malformed", ansi("\x01\x02[.ShellClassInfo\nLocalizedResourceName\n=@\n"), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(NamesWindowsResource(c.ini, u"C:\\Windows"), c.system);
  }
}

// Startup is found by what it is, whatever its name: a folder named
// Startup that is not the system's Startup is an ordinary folder.
TEST(SystemFolderTest, StartupFoldersAreFoundByIdentityNotByName) {
  FakeFolderService folders;
  const Text root = u"C:\\Menu";
  for (const char16_t* name : {u"Autostart", u"Startup", u"Tools"})
    folders.At(root + u"\\" + name) = {};
  folders.At(root) = {};
  folders.At(u"C:\\Elsewhere\\Startup") = {};
  // The system's Startup is this menu's "Autostart", reached by another spelling.
  folders.identities[u"C:\\MENU\\AUTOST~1"] = Lower(root + u"\\Autostart");
  folders.At(u"C:\\MENU") = {};
  folders.identities[u"C:\\MENU"] = Lower(root);
  const std::vector<Text> names = {u"Autostart", u"Startup", u"Tools"};
  EXPECT_EQ(StartupFoldersAmong(folders, root, names, {u"C:\\MENU\\AUTOST~1"}),
            std::vector<Text>{u"Autostart"});
  EXPECT_EQ(StartupFoldersAmong(folders, root, names, {u"C:\\Elsewhere\\Startup"}),
            std::vector<Text>{});
  folders.identities[u"C:\\menu\\startup"] = Lower(root + u"\\Startup");
  EXPECT_EQ(StartupFoldersAmong(folders, root, names, {u"C:\\menu\\startup", u"C:\\Gone\\Startup"}),
            std::vector<Text>{u"Startup"});
}

}  // namespace
}  // namespace ostrevane
