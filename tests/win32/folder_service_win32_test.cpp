#include "win32/folder_service_win32.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "catalogue/entry_list.h"
#include "catalogue/start_menu.h"
#include "support/wine_host.h"
#include "win32/collation.h"
#include "test_folders.h"

namespace ostrevane {
namespace {

using testing::TempFolder;
using win32::Win32FolderService;

std::vector<Text> Sorted(std::vector<Text> names) {
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<Text> Subfolders(Folder& folder) {
  std::vector<Text> names;
  folder.ForEachSubfolder([&](const Text& name) { names.push_back(name); });
  return Sorted(names);
}

std::vector<Text> Files(Folder& folder) {
  std::vector<Text> names;
  folder.ForEachFile([&](const Text& name) { names.push_back(name); });
  return Sorted(names);
}

TEST(Win32FolderServiceTest, ListsImmediateSubfoldersAndFilesWithUnicodeNamesExactly) {
  TempFolder root;
  root.MakeFolder(u"Игры");
  root.MakeFolder(u"Ωmega");
  root.MakeFolder(u"Empty");
  root.MakeFolder(u"Deep");
  root.MakeFolder(u"Deep\\Inner");
  root.MakeFile(u"Deep\\Inner.lnk");
  root.MakeFile(u"日本語.lnk");
  root.MakeFile(u"Smile \U0001F600.lnk");
  root.MakeFile(u"Łódź.LNK");

  Win32FolderService service;
  auto folder = service.OpenFolder(root.path());
  EXPECT_EQ(Subfolders(*folder), Sorted({u"Deep", u"Empty", u"Игры", u"Ωmega"}));
  EXPECT_EQ(Files(*folder), Sorted({u"Smile \U0001F600.lnk", u"Łódź.LNK", u"日本語.lnk"}));

  auto empty = service.OpenFolder(root.path() + u"\\Empty");
  EXPECT_TRUE(Subfolders(*empty).empty());
  EXPECT_TRUE(Files(*empty).empty());
}

// Only a reparse point that stands for another name, or Wine's untagged
// mark of a Linux link, is a link; data kept elsewhere is the entry itself.
TEST(Win32FolderServiceTest, LinksAreToldFromEntriesWithTheirDataElsewhere) {
  struct Case {
    DWORD attributes, tag;
    bool link;
  };
  const Case cases[] = {
      {FILE_ATTRIBUTE_DIRECTORY, 0, false},
      {FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT, 0, true},
      {FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT, IO_REPARSE_TAG_MOUNT_POINT, true},
      {FILE_ATTRIBUTE_REPARSE_POINT, IO_REPARSE_TAG_SYMLINK, true},
      {FILE_ATTRIBUTE_REPARSE_POINT, 0x80000013 /* deduplicated */, false},
      {FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT, 0x9000601A /* cloud */, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(win32::IsLinkEntry(c.attributes, c.tag), c.link) << std::hex << c.tag;
  }
}

// A walk never follows a link: the listing tells it, and so does the folder
// opened through it. Identity sees through spelling and links alike.
TEST(Win32FolderServiceTest, LinkedFoldersAreMarkedAndIdentityIgnoresSpelling) {
  TempFolder root;
  root.MakeFolder(u"Real");
  const std::string real = testing::ShellWord(testing::UnixPathOf(root.path() + u"\\Real"));
  const std::string linked = testing::ShellWord(testing::UnixPathOf(root.path()) + "/Linked");
  testing::RunOnLinux("ln -s " + real + " " + linked);
  // Windows calls cannot take the link away again without reaching through it.
  struct Unlink {
    std::string script;
    ~Unlink() {
      try {
        testing::RunOnLinux(script);
      } catch (const std::exception& e) {
        ADD_FAILURE() << e.what();
      }
    }
  } unlink{"rm " + linked};
  Win32FolderService service;
  const auto folder = service.OpenFolder(root.path());
  std::vector<Text> links;
  folder->ForEachLink([&](const Text& name) { links.push_back(name); });
  EXPECT_EQ(links, std::vector<Text>{u"Linked"});
  EXPECT_EQ(Subfolders(*folder), Sorted({u"Linked", u"Real"}));
  EXPECT_TRUE(service.OpenFolder(root.path() + u"\\Linked")->IsLink());
  EXPECT_FALSE(service.OpenFolder(root.path() + u"\\Real")->IsLink());

  const std::optional<Text> identity = service.Identity(root.path() + u"\\Real");
  ASSERT_TRUE(identity);
  EXPECT_EQ(service.Identity(root.path() + u"\\REAL"), identity);
  EXPECT_EQ(service.Identity(root.path() + u"\\Linked"), identity);
  EXPECT_NE(service.Identity(root.path()), identity);
  EXPECT_EQ(service.Identity(root.path() + u"\\Gone"), std::nullopt);
}

TEST(Win32FolderServiceTest, OpeningSomethingThatIsNoFolderFailsInWords) {
  TempFolder root;
  const Text file = root.MakeFile(u"plain.txt");
  Win32FolderService service;
  try {
    service.OpenFolder(root.path() + u"\\missing");
    FAIL();
  } catch (const Failure& failure) {
    EXPECT_FALSE(failure.description().empty());
  }
  EXPECT_THROW(service.OpenFolder(file), Failure);
  EXPECT_THROW(service.OpenFolder(u""), Failure);
}

TEST(Win32FolderServiceTest, RootsComeFromTheShellUnlessOverridden) {
  Win32FolderService service;
  const Text current = service.RootPath(kCsidlPrograms);
  const Text all = service.RootPath(kCsidlCommonPrograms);
  EXPECT_NE(current, all);
  EXPECT_NE(current.find(u"Programs"), Text::npos);
  EXPECT_NE(current.back(), u'\\');

  service.OverrideRoot(kCsidlPrograms, u"C:\\elsewhere");
  EXPECT_EQ(service.RootPath(kCsidlPrograms), u"C:\\elsewhere");
  service.OverrideRoot(kCsidlCommonPrograms, u"");
  EXPECT_THROW(service.RootPath(kCsidlCommonPrograms), Failure);
}

TEST(Win32FolderServiceTest, ScanOfRealFoldersListsOnlyFoldersAndShortcuts) {
  TempFolder current, all;
  current.MakeFolder(u"Games");
  current.MakeFolder(u"Games\\Sub");
  current.MakeFile(u"Games\\Inside.lnk");
  current.MakeFile(u"GAME.LNK");
  current.MakeFile(u"a.b.lnk");
  current.MakeFile(u".lnk");
  for (const char16_t* other : {u"Site.url", u"Tool.pif", u"Tool.exe", u"desktop.ini"}) {
    current.MakeFile(other);
  }
  all.MakeFolder(u"Games");
  all.MakeFile(u"Ünïcødé ✓.lnk");

  Win32FolderService service;
  service.OverrideRoot(kCsidlPrograms, current.path());
  service.OverrideRoot(kCsidlCommonPrograms, all.path());
  EntryList list;
  ScanStartMenu(service, list);

  std::vector<Text> rows;
  for (std::size_t p = 1; p <= list.Count(); ++p) {
    rows.push_back(list.RowText(p) + u"|" + Text(list.Entry(p).type) + u"|" + list.RowKey(p));
  }
  EXPECT_EQ(rows, (std::vector<Text>{
                      u"Games (All Users)|Folder|AGames",
                      u"Games (Current User)|Folder|CGames",
                      u"|Shortcut|C.lnk",
                      u"a.b|Shortcut|Ca.b.lnk",
                      u"GAME|Shortcut|CGAME.LNK",
                      u"Ünïcødé ✓|Shortcut|AÜnïcødé ✓.lnk",
                  }));
}

TEST(Win32CollationTest, ListSortsNamesAsWindowsDoesIgnoringCase) {
  win32::InstallSystemCaseMapping();
  win32::InstallSystemSortKeys();
  EntryList list;
  for (const char16_t* name : {u"Notepad", u"éditeur", u"Zeta", u"Éditeur", u"apps", u"Дом", u"",
                               u"Game 10", u"Game 9", u"GAME 9"}) {
    list.Add(Text(u"C") + name, name);
  }
  list.SetSorted(true);
  std::vector<Text> order;
  for (std::size_t p = 1; p <= list.Size(); ++p) order.emplace_back(list.Entry(p).text);
  EXPECT_EQ(order, (std::vector<Text>{u"", u"apps", u"éditeur", u"Éditeur", u"Game 10", u"Game 9",
                                      u"GAME 9", u"Notepad", u"Zeta", u"Дом"}));
  SetSortKeyMapping(nullptr);
  SetCaseMapping(nullptr);
}

}  // namespace
}  // namespace ostrevane
