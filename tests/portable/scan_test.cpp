#include <gtest/gtest.h>

#include "catalogue/entry_list.h"
#include "catalogue/start_menu.h"
#include "support/fakes.h"

namespace ostrevane {
namespace {

using testing::FakeFolderService;

constexpr char16_t kCurrent[] = u"C:\\Users\\me\\Start Menu\\Programs";
constexpr char16_t kAll[] = u"C:\\ProgramData\\Start Menu\\Programs";

struct Row {
  Text text, type, key, tag;
  bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& row) {
  return out << "{" << ToUtf8(row.text) << ", " << ToUtf8(row.type) << ", " << ToUtf8(row.key)
             << ", " << ToUtf8(row.tag) << "}";
}

std::vector<Row> Rows(const EntryList& list) {
  std::vector<Row> rows;
  for (std::size_t p = 1; p <= list.Count(); ++p) {
    const StartMenuEntry e = list.Entry(p);
    rows.push_back({Text(e.text), Text(e.type), Text(e.key), Text(e.tag)});
  }
  return rows;
}

class ScanTest : public ::testing::Test {
 protected:
  void Roots(FakeFolderService::Listing current, FakeFolderService::Listing all) {
    folders.SetRootListing(kCsidlPrograms, kCurrent, std::move(current));
    folders.SetRootListing(kCsidlCommonPrograms, kAll, std::move(all));
  }
  FakeFolderService folders;
  EntryList list;
};

TEST_F(ScanTest, NamesakesInBothRootsAreMarkedAndRowsEndGroupedByType) {
  Roots({{u"Games", u"Tools", u"X.lnk"}, {u"Notepad.lnk", u"Only Mine.lnk"}},
        {{u"Games", u"Shared"}, {u"Notepad.lnk", u"Tools.lnk", u"X.lnk"}});
  ScanStartMenu(folders, list);
  EXPECT_EQ(Rows(list),
            (std::vector<Row>{
                {u"Games (All Users)", u"Folder", u"AGames", u"Games"},
                {u"Games (Current User)", u"Folder", u"CGames", u"Games"},
                {u"Shared", u"Folder", u"AShared", u"Shared"},
                {u"Tools", u"Folder", u"CTools", u"Tools"},
                {u"X.lnk (Current User)", u"Folder", u"CX.lnk", u"X.lnk"},
                {u"Notepad (All Users)", u"Shortcut", u"ANotepad.lnk", u"Notepad.lnk"},
                {u"Notepad (Current User)", u"Shortcut", u"CNotepad.lnk", u"Notepad.lnk"},
                {u"Only Mine", u"Shortcut", u"COnly Mine.lnk", u"Only Mine.lnk"},
                {u"Tools", u"Shortcut", u"ATools.lnk", u"Tools.lnk"},
                {u"X (All Users)", u"Shortcut", u"AX.lnk", u"X.lnk"},
            }));
  EXPECT_TRUE(list.Sorted());
  EXPECT_EQ(list.SortKey(), EntryList::kSortByType);
  EXPECT_EQ(folders.looked_up, (std::vector<int>{2, 23}));
  for (std::size_t p = 1; p <= list.Count(); ++p) EXPECT_FALSE(list.Checked(p));
}

TEST_F(ScanTest, OnlyLnkFilesInAnyCaseAreListedWithTheLastExtensionRemoved) {
  Roots({{},
         {u"GAME.LNK", u"a.b.lnk", u".lnk", u"Site.url", u"Tool.pif", u"Tool.exe", u"desktop.ini",
          u"lnk", u"x.lnk.txt", u"Mixed.LnK"}},
        {});
  ScanStartMenu(folders, list);
  EXPECT_EQ(Rows(list), (std::vector<Row>{
                            {u"", u"Shortcut", u"C.lnk", u".lnk"},
                            {u"a.b", u"Shortcut", u"Ca.b.lnk", u"a.b.lnk"},
                            {u"GAME", u"Shortcut", u"CGAME.LNK", u"GAME.LNK"},
                            {u"Mixed", u"Shortcut", u"CMixed.LnK", u"Mixed.LnK"},
                        }));
}

TEST_F(ScanTest, NamesThatDifferOnlyInCaseGiveEveryNamesakeRowExactlyOneMark) {
  // Case-sensitive folders can hold names that differ only in case. A name
  // matches its namesakes in the other folder ignoring case, each of those
  // rows is marked once, and names within one folder are never namesakes.
  Roots({{u"Games", u"Tools", u"TOOLS"}, {}},
        {{u"Games", u"GAMES", u"Apps", u"APPS", u"tools"}, {}});
  ScanStartMenu(folders, list);
  EXPECT_EQ(Rows(list), (std::vector<Row>{
                            {u"Apps", u"Folder", u"AApps", u"Apps"},
                            {u"APPS", u"Folder", u"AAPPS", u"APPS"},
                            {u"Games (All Users)", u"Folder", u"AGames", u"Games"},
                            {u"GAMES (All Users)", u"Folder", u"AGAMES", u"GAMES"},
                            {u"Games (Current User)", u"Folder", u"CGames", u"Games"},
                            {u"tools (All Users)", u"Folder", u"Atools", u"tools"},
                            {u"Tools (Current User)", u"Folder", u"CTools", u"Tools"},
                            {u"TOOLS (Current User)", u"Folder", u"CTOOLS", u"TOOLS"},
                        }));
}

TEST_F(ScanTest, EmptyRootsGiveAnEmptySortedList) {
  Roots({}, {});
  ScanStartMenu(folders, list);
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_TRUE(list.Sorted());
  EXPECT_EQ(list.SortKey(), EntryList::kSortByType);
}

TEST_F(ScanTest, AFailureInTheAllUsersRootLeavesCurrentUserRowsUnsortedAndUnmarked) {
  Roots({{u"Zeta", u"Games"}, {u"Beta.lnk"}}, {{u"Games"}, {}});
  folders.fail_open[kAll] = u"Path not found";
  try {
    ScanStartMenu(folders, list);
    FAIL() << "the scan must pass the failure on";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.description(), u"Path not found");
  }
  EXPECT_EQ(Rows(list), (std::vector<Row>{
                            {u"Zeta", u"Folder", u"CZeta", u"Zeta"},
                            {u"Games", u"Folder", u"CGames", u"Games"},
                            {u"Beta", u"Shortcut", u"CBeta.lnk", u"Beta.lnk"},
                        }));
  EXPECT_FALSE(list.Sorted());
}

TEST_F(ScanTest, AFailureInTheCurrentUserRootSkipsTheAllUsersRoot) {
  Roots({{u"Mine"}, {}}, {{u"Shared"}, {}});
  folders.fail_root[kCsidlPrograms] = u"No such special folder";
  EXPECT_THROW(ScanStartMenu(folders, list), Failure);
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_EQ(folders.looked_up, (std::vector<int>{2}));
}

TEST_F(ScanTest, AFailureMidListingKeepsTheCompleteRowsBeforeIt) {
  Roots({{u"One", u"Two"}, {u"Three.lnk"}}, {{u"One"}, {}});
  folders.fail_at_item = 3;  // One, Two and Three.lnk are handed out, the all users' One fails
  EXPECT_THROW(ScanStartMenu(folders, list), Failure);
  EXPECT_EQ(Rows(list), (std::vector<Row>{
                            {u"One", u"Folder", u"COne", u"One"},
                            {u"Two", u"Folder", u"CTwo", u"Two"},
                            {u"Three", u"Shortcut", u"CThree.lnk", u"Three.lnk"},
                        }));
}

TEST_F(ScanTest, ADuplicateKeyEndsTheScanWithTheListsOwnWords) {
  // A folder service may hand out one name twice; the list refuses the key.
  Roots({{u"Twice", u"Twice", u"After"}, {}}, {});
  try {
    ScanStartMenu(folders, list);
    FAIL();
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.description(), u"Key is not unique in collection");
  }
  EXPECT_EQ(list.Count(), 1u);
}

}  // namespace
}  // namespace ostrevane
