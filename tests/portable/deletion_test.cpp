#include "window_rules/deletion.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <set>

#include "window_rules/error_report.h"
#include "catalogue/start_menu.h"
#include "support/fakes.h"
#include "support/list_scene.h"
#include "support/reports.h"

namespace ostrevane {
namespace {

using testing::FakeFolderService;
using testing::RecordingDialogs;
using Operation = testing::FaultyRows::Operation;
using Kind = RecordingDialogs::Shown::Kind;

constexpr char16_t kCurrent[] = u"C:\\Users\\me\\Start Menu\\Programs";
constexpr char16_t kAll[] = u"C:\\ProgramData\\Start Menu\\Programs";
constexpr char16_t kListFault[] = u"The list operation failed";

// The shell as a set of paths on disk.
class FakeRecycler : public Recycler {
 public:
  std::set<Text> present;
  std::vector<Text> requested;      // every path handed over, in order
  std::map<Text, NotMoved> refuse;  // path -> why it stays

  std::optional<NotMoved> Inspect(const Text& path) override {
    if (auto it = refuse.find(path); it != refuse.end()) return it->second;
    return std::nullopt;
  }
  std::optional<NotMoved> Recycle(const Text& path) override {
    requested.push_back(path);
    if (auto it = refuse.find(path); it != refuse.end()) return it->second;
    present.erase(path);
    return std::nullopt;
  }
};

class FakePump : public EventPump {
 public:
  int calls = 0;
  std::function<void(int call)> on_events;  // call counts from 1
  void DoEvents() override {
    ++calls;
    if (on_events) on_events(calls);
  }
};

// RecordingDialogs whose question and message boxes can fail after showing.
class FaultyDialogs : public RecordingDialogs {
 public:
  std::optional<Text> fail_yes_no, fail_message;
  bool AskYesNo(const Text& question, const Text& caption) override {
    const bool yes = RecordingDialogs::AskYesNo(question, caption);
    if (fail_yes_no) throw Failure(*fail_yes_no);
    return yes;
  }
  void ShowMessage(const Text& message, const Text& caption) override {
    RecordingDialogs::ShowMessage(message, caption);
    if (fail_message) throw Failure(*fail_message);
  }
};

Text ItemName(int n) { return u"Item " + DecimalText(n) + u".lnk"; }
Text Path(int n) { return Text(kCurrent) + u"\\" + ItemName(n); }
Text Key(int n) { return u"C" + ItemName(n); }
constexpr const testing::HandlerReports& Report = testing::kDeletionReport;
// The one report of the entries a pass left, each "name: why".
Text Unmoved(const std::vector<Text>& lines) {
  Text description = lines.size() == 1
                         ? Text(
                               u"1 entry was not moved to the Recycle Bin, and its row stays "
                               u"checked:")
                         : DecimalText(static_cast<long long>(lines.size())) +
                               u" entries were not moved to the Recycle Bin, and their rows stay "
                               u"checked:";
  for (const Text& line : lines) description += u"\r\n" + line;
  return Report(description, 130);
}
Text Question(long long count) {
  return u"Are you sure you want to delete " + DecimalText(count) + u" item(s) from Start Menu?";
}

std::vector<Text> Paths(std::initializer_list<int> rows) {
  std::vector<Text> paths;
  for (int n : rows) paths.push_back(Path(n));
  return paths;
}
std::vector<Text> Keys(std::initializer_list<int> rows) {
  std::vector<Text> keys;
  for (int n : rows) keys.push_back(Key(n));
  return keys;
}

struct Scene : testing::ListScene {
  FaultyDialogs dialogs;
  FakePump pump;
  FakeFolderService roots;
  FakeRecycler recycler;
  DeletionContext context{rows, dialogs, pump, roots, recycler, testing::kTitle};

  Scene() {
    roots.SetRoot(kCsidlPrograms, kCurrent);
    roots.SetRoot(kCsidlCommonPrograms, kAll);
  }

  // Rows "Item 1" to "Item n" of the current user's folder, all on disk.
  void AddRows(int n, std::set<int> checked) {
    for (int i = 1; i <= n; ++i) AddRow(Key(i), checked.count(i) != 0);
  }
  void AddRow(const Text& key, bool checked) {
    const std::size_t p = list.Add(key, key.substr(1));
    list.SetChecked(p, checked);
    const Text root = key[0] == u'C' ? kCurrent : kAll;
    recycler.present.insert(root + u"\\" + key.substr(1));
  }

  void Click() { DeleteChecked(context); }

  std::vector<Text> Shown(Kind kind) const {
    std::vector<Text> texts;
    for (const auto& box : dialogs.shown) {
      if (box.kind == kind) texts.push_back(box.text);
    }
    return texts;
  }
};

// ---- the ordinary pass ------------------------------------------------------

TEST(DeletionTest, WithNoCheckedRowNoBoxIsShownAndNothingChanges) {
  for (int rows : {0, 3}) {
    Scene scene;
    scene.AddRows(rows, {});
    const auto before = scene.RowKeys();
    scene.Click();
    EXPECT_TRUE(scene.dialogs.shown.empty());
    EXPECT_EQ(scene.pump.calls, 0);
    EXPECT_TRUE(scene.recycler.requested.empty());
    EXPECT_EQ(scene.RowKeys(), before);
  }
}

TEST(DeletionTest, TheQuestionGivesTheCountAndAnyAnswerButYesDeletesNothing) {
  Scene scene;
  scene.AddRows(5, {4});
  scene.dialogs.yes_no_answers = {false};
  scene.Click();
  ASSERT_EQ(scene.dialogs.shown.size(), 1u);
  EXPECT_EQ(scene.dialogs.shown[0].kind, Kind::kYesNo);
  EXPECT_EQ(scene.dialogs.shown[0].text,
            u"Are you sure you want to delete 1 item(s) from Start Menu?");
  EXPECT_EQ(scene.dialogs.shown[0].caption, testing::kTitle);

  for (int p : {1, 2}) scene.list.SetChecked(p, true);
  scene.dialogs.yes_no_answers = {false};
  scene.Click();
  EXPECT_EQ(scene.Shown(Kind::kYesNo), (std::vector<Text>{Question(1), Question(3)}));
  // No: no "Done.", no events run, every row and check as it was.
  EXPECT_TRUE(scene.Shown(Kind::kMessage).empty());
  EXPECT_EQ(scene.pump.calls, 0);
  EXPECT_TRUE(scene.recycler.requested.empty());
  EXPECT_EQ(scene.CheckedKeys(), Keys({1, 2, 4}));
  EXPECT_EQ(scene.RowKeys().size(), 5u);
}

TEST(DeletionTest, CheckedRowsGoFromTheLastToTheFirstAndTheOthersKeepTheirOrder) {
  Scene scene;
  scene.AddRows(9, {2, 5, 7});
  scene.Click();
  EXPECT_EQ(scene.recycler.requested, Paths({7, 5, 2}));
  EXPECT_EQ(scene.RowKeys(), Keys({1, 3, 4, 6, 8, 9}));
  EXPECT_TRUE(scene.CheckedKeys().empty());
  EXPECT_EQ(scene.pump.calls, 9);  // once for every row visited
  ASSERT_EQ(scene.dialogs.shown.size(), 2u);
  EXPECT_EQ(scene.dialogs.shown[0].text, Question(3));
  EXPECT_EQ(scene.dialogs.shown[1].kind, Kind::kMessage);
  EXPECT_EQ(scene.dialogs.shown[1].text, u"Done.");
  EXPECT_EQ(scene.dialogs.shown[1].caption, testing::kTitle);
}

TEST(DeletionTest, CountsAndRowsHaveNo16BitLimit) {
  Scene scene;
  constexpr int kRows = 40000, kChecked = 33000;
  for (int i = 1; i <= kRows; ++i) scene.AddRow(Key(i), i <= kChecked);
  scene.Click();
  EXPECT_EQ(scene.Shown(Kind::kYesNo), (std::vector<Text>{Question(kChecked)}));
  EXPECT_TRUE(scene.dialogs.ErrorReports().empty());
  EXPECT_EQ(scene.recycler.requested.size(), static_cast<std::size_t>(kChecked));
  EXPECT_EQ(scene.list.Count(), static_cast<std::size_t>(kRows - kChecked));
  EXPECT_EQ(scene.list.Entry(1).key, Key(kChecked + 1));
}

// ---- events during the pass -------------------------------------------------

TEST(DeletionTest, ChecksAreReadWhenEachRowIsReachedNotWhenCounted) {
  Scene scene;
  scene.AddRows(9, {3, 6, 8});
  scene.pump.on_events = [&](int call) {
    if (call != 3) return;  // row 7 is being visited; row 8 is gone already
    for (std::size_t p = 1; p <= scene.list.Count(); ++p) scene.list.SetChecked(p, false);
    scene.list.SetChecked(1, true);
  };
  scene.Click();
  EXPECT_EQ(scene.recycler.requested, Paths({8, 1}));
  EXPECT_EQ(scene.RowKeys(), Keys({2, 3, 4, 5, 6, 7, 9}));
  EXPECT_TRUE(scene.CheckedKeys().empty());
  EXPECT_EQ(scene.Shown(Kind::kYesNo), (std::vector<Text>{Question(3)}));
  EXPECT_EQ(scene.Shown(Kind::kMessage), (std::vector<Text>{u"Done."}));
}

TEST(DeletionTest, ANestedPassRunsWholeAndTheOuterPassReportsTheRowsThatAreGone) {
  Scene scene;
  scene.AddRows(9, {2, 5, 7});
  scene.pump.on_events = [&](int call) {
    if (call == 1) scene.Click();  // a second click while row 9 is visited
  };
  scene.Click();
  EXPECT_EQ(scene.recycler.requested, Paths({7, 5, 2}));
  EXPECT_EQ(scene.RowKeys(), Keys({1, 3, 4, 6, 8, 9}));
  EXPECT_EQ(scene.pump.calls, 9 + 9);

  // The outer pass goes on with positions 9, 8 and 7 of a list of 6 rows.
  const Text gone = failure_text::kIndexOutOfBounds;
  std::vector<RecordingDialogs::Shown> expected = {
      {Kind::kYesNo, Question(3), testing::kTitle},
      {Kind::kYesNo, Question(3), testing::kTitle},
      {Kind::kMessage, u"Done.", testing::kTitle},
  };
  for (int p = 9; p >= 7; --p) {
    expected.push_back({Kind::kErrorReport, Report(gone, 120), kErrorReportCaption});
    expected.push_back({Kind::kErrorReport, Report(gone, 130), kErrorReportCaption});
  }
  expected.push_back({Kind::kMessage, u"Done.", testing::kTitle});
  ASSERT_EQ(scene.dialogs.shown.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(scene.dialogs.shown[i].kind, expected[i].kind);
    EXPECT_EQ(scene.dialogs.shown[i].text, expected[i].text);
    EXPECT_EQ(scene.dialogs.shown[i].caption, expected[i].caption);
  }
}

TEST(DeletionTest, ClosingTheProgramWhileEventsRunStopsThePassWhereItIs) {
  Scene scene;
  scene.AddRows(4, {2, 4});
  scene.pump.on_events = [](int call) {
    if (call == 2) throw ProgramEnded{};
  };
  EXPECT_THROW(scene.Click(), ProgramEnded);
  EXPECT_EQ(scene.recycler.requested, Paths({4}));
  EXPECT_EQ(scene.RowKeys(), Keys({1, 2, 3}));
  EXPECT_EQ(scene.Shown(Kind::kMessage), std::vector<Text>{});
  EXPECT_TRUE(scene.dialogs.ErrorReports().empty());
}

// ---- entries that are not deleted -------------------------------------------

TEST(DeletionTest, AFailedOrEmptyRootLookupDeletesNothingAndKeepsTheRow) {
  Scene scene;
  scene.AddRow(u"CMine.lnk", true);
  scene.AddRow(u"AShared.lnk", true);
  scene.roots.fail_root[kCsidlPrograms] = u"The shell has no such folder.";
  scene.Click();
  EXPECT_EQ(scene.recycler.requested, (std::vector<Text>{Text(kAll) + u"\\Shared.lnk"}));
  EXPECT_EQ(scene.dialogs.ErrorReports(),
            (std::vector<Text>{Report(u"The shell has no such folder.", 130)}));
  EXPECT_EQ(scene.CheckedKeys(), (std::vector<Text>{u"CMine.lnk"}));
  EXPECT_EQ(scene.Shown(Kind::kMessage), (std::vector<Text>{u"Done."}));

  // A lookup that answers with an empty path must not turn into "\name".
  struct EmptyRoots : RootLookup {
    Text RootPath(int) override { return Text(); }
  } empty;
  Scene second;
  second.AddRow(u"CMine.lnk", true);
  DeletionContext context{second.list, second.dialogs,  second.pump,
                          empty,       second.recycler, testing::kTitle};
  DeleteChecked(context);
  EXPECT_TRUE(second.recycler.requested.empty());
  EXPECT_EQ(second.dialogs.ErrorReports(),
            (std::vector<Text>{Report(
                u"The shell gave no path for the Start Menu Programs folder; nothing was deleted.",
                130)}));
  EXPECT_EQ(second.CheckedKeys(), (std::vector<Text>{u"CMine.lnk"}));
}

TEST(DeletionTest, AnEntryTheShellDidNotMoveKeepsItsRowStillChecked) {
  Scene scene;
  scene.AddRows(4, {1, 2, 3});
  scene.recycler.refuse[Path(2)] = {NotMoved::Why::kShellFailed, u"Access is denied."};
  scene.recycler.refuse[Path(3)] = {NotMoved::Why::kStillThere, u""};
  scene.Click();
  EXPECT_EQ(scene.recycler.requested, Paths({3, 2, 1}));
  EXPECT_EQ(scene.dialogs.ErrorReports(),
            (std::vector<Text>{Unmoved({
                u"Item 3.lnk: the shell reported success, but it is still there: it was not "
                u"moved to the Recycle Bin.",
                u"Item 2.lnk: the shell could not move it to the Recycle Bin: Access is denied.",
            })}));
  EXPECT_EQ(scene.RowKeys(), Keys({2, 3, 4}));
  EXPECT_EQ(scene.CheckedKeys(), Keys({2, 3}));
  EXPECT_EQ(scene.dialogs.shown.back().text, u"Done.");
}

TEST(DeletionTest, EveryEntryLeftIsNamedWithWhyInOneReportAndOverlongPathsAreNeverHandedOver) {
  Scene scene;
  const Text longest = Text(kLongestShellPath - Text(kCurrent).size() - 1, u'n');
  for (const Text& key : std::vector<Text>{u"CLinked Docs", u"CNowhere.lnk", u"CMounted",
                                           u"C" + longest + u"x", u"C" + longest}) {
    scene.AddRow(key, true);
  }
  const Text current = Text(kCurrent) + u"\\";
  scene.recycler.refuse[current + u"Linked Docs"] = {NotMoved::Why::kLink, u"D:\\Docs"};
  scene.recycler.refuse[current + u"Nowhere.lnk"] = {NotMoved::Why::kLink, u""};
  scene.recycler.refuse[current + u"Mounted"] = {NotMoved::Why::kMountPoint, u""};
  scene.Click();

  // Only the path of exactly the longest length the shell takes reaches it.
  EXPECT_EQ(scene.recycler.requested,
            (std::vector<Text>{current + longest, current + u"Mounted", current + u"Nowhere.lnk",
                               current + u"Linked Docs"}));
  EXPECT_EQ(scene.CheckedKeys(), (std::vector<Text>{u"CLinked Docs", u"CNowhere.lnk", u"CMounted",
                                                    u"C" + longest + u"x"}));
  EXPECT_EQ(scene.dialogs.ErrorReports(),
            (std::vector<Text>{Unmoved({
                longest + u"x: its path is 260 characters long, more than the 259 the shell can "
                          u"take.",
                u"Mounted: another volume is mounted there, and the shell could delete what that "
                u"volume holds for good instead of moving it to the Recycle Bin.",
                u"Nowhere.lnk: it is a link, and the shell could move what it points to instead "
                u"of the link.",
                u"Linked Docs: it is a link to \"D:\\Docs\", and the shell would move what it "
                u"points to instead of the link.",
            })}));
  EXPECT_EQ(scene.Shown(Kind::kMessage), (std::vector<Text>{u"Done."}));
}

TEST(DeletionTest, TheReportOfEntriesLeftStaysOnScreenAndSaysHowAllUsersEntriesCanGo) {
  const NotMoved denied{NotMoved::Why::kMayNotRemove, u""};
  const NotMoved in_use{NotMoved::Why::kInUse, u""};
  const Text hint =
      u"\r\n\r\nThe entries of all users can be removed only by an administrator: start "
      u"Ostrevane Software as administrator (right-click it, then \"Run as administrator\") to "
      u"remove them.";
  // Only a denial of an all users' entry gives the hint, which says to start as administrator
  // only without an administrator's rights.
  EXPECT_EQ(
      UnmovedEntriesReport(
          {{u"Mine", Root::kCurrentUser, denied}, {u"Shared", Root::kAllUsers, in_use}}, false),
      u"2 entries were not moved to the Recycle Bin, and their rows stay checked:\r\n"
      u"Mine: this account may not remove it.\r\nShared: another program has it open.");
  EXPECT_EQ(UnmovedEntriesReport({{u"Shared", Root::kAllUsers, denied}}, false),
            u"1 entry was not moved to the Recycle Bin, and its row stays checked:\r\n"
            u"Shared: this account may not remove it." +
                hint);
  EXPECT_EQ(UnmovedEntriesReport({{u"Shared", Root::kAllUsers, denied}}, true),
            u"1 entry was not moved to the Recycle Bin, and its row stays checked:\r\n"
            u"Shared: this account may not remove it.\r\n\r\nThe entries of all users can be "
            u"removed only by an administrator; even with an administrator's rights, this "
            u"account was refused them.");

  std::vector<UnmovedEntry> many;
  for (int i = 1; i <= 45; ++i) many.push_back({u"E" + DecimalText(i), Root::kAllUsers, denied});
  const Text report = UnmovedEntriesReport(many, false);
  EXPECT_NE(report.find(u"\r\nE40: "), Text::npos);
  EXPECT_EQ(report.find(u"\r\nE41: "), Text::npos);
  EXPECT_NE(report.find(u"\r\n... and 5 more." + hint), Text::npos);
}

TEST(DeletionTest, OnlyReparsePointsThatStandForAnotherNameAreLinks) {
  struct Tag {
    std::uint32_t value;
    const char* kind;
    bool link;
  };
  for (const Tag& tag : {
           Tag{0xA0000003, "junction or mount point", true},
           Tag{0xA000000C, "symbolic link", true},
           Tag{0xA000001D, "WSL symbolic link", true},
           Tag{0xA0000019, "global reparse point", true},
           Tag{0xA0000027, "container link", true},
           Tag{0x80000013, "deduplicated file", false},
           Tag{0x80000017, "file compressed by the system", false},
           Tag{0x9000001A, "cloud placeholder", false},
           Tag{0x9000701A, "cloud placeholder, subtype 7", false},
           Tag{0x80000021, "OneDrive", false},
           Tag{0x8000001E, "Azure File Sync tiered file", false},
           Tag{0x8000001B, "app execution alias", false},
           Tag{0xC0000004, "hierarchical storage", false},
           Tag{0x80000007, "single-instance storage", false},
           Tag{0x80000023, "Unix socket", false},
       }) {
    EXPECT_EQ(IsNameSurrogateTag(tag.value), tag.link) << tag.kind;
  }
}

TEST(DeletionTest, NamesTheShellWouldReadAsPatternsOrPathsNeverReachIt) {
  Scene scene;
  const std::vector<Text> keys = {u"C", u"Cq?q.lnk", u"C..\\..\\x", u"Cname."};
  for (const Text& key : keys) scene.AddRow(key, true);
  scene.Click();
  EXPECT_TRUE(scene.recycler.requested.empty());
  EXPECT_EQ(scene.roots.root_lookups, 0);
  EXPECT_EQ(scene.CheckedKeys(), keys);
  const auto reports = scene.dialogs.ErrorReports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(reports[0].find(u"\r\nq?q.lnk: its name holds a wildcard character (* ? < > \"), "
                            u"which the shell could match against other entries.\r\n"),
            Text::npos);
}

TEST(DeletionTest, APlainNameIsOneThatCanNameNothingElse) {
  for (const Text name : {u"Game.lnk", u"Игры", u"a.b.c", u"Two words.lnk", u".hidden",
                          u"[x] ~$1 100% #;'", u"…", u"..a", u"a..b", u"x\U0001F600.lnk"}) {
    EXPECT_EQ(WhyNotPlainName(name), std::nullopt) << ToUtf8(name);
  }
  const auto why = [](const Text& name) { return WhyNotPlainName(name).value_or(u"accepted"); };
  const Text wildcard =
      u"its name holds a wildcard character (* ? < > \"), which the shell could match against "
      u"other entries";
  const Text unfit =
      u"its name holds a path separator or another character that cannot stand in a file name";
  const Text trailing =
      u"its name ends in a dot or a blank, which Windows drops from a path, so the path could "
      u"name another entry";
  for (const Text name : {u"q?q.lnk", u"*", u"a<b", u"a>b", u"say \"hi\""}) {
    EXPECT_EQ(why(name), wildcard) << ToUtf8(name);
  }
  for (const Text& name :
       std::vector<Text>{u"a/b", u"a\\b", u"C:x", u"a|b", Text(u"nul\0l", 5), u"bell\x07"}) {
    EXPECT_EQ(why(name), unfit) << ToUtf8(name);
  }
  for (const Text name : {u"name.", u"name ", u"a. "}) {
    EXPECT_EQ(why(name), trailing) << ToUtf8(name);
  }
  EXPECT_EQ(why(u"."), u"the name does not name an entry");
  EXPECT_EQ(why(u".."), u"the name does not name an entry");
  EXPECT_NE(why(u""), u"accepted");
}

// ---- a failure at every step ------------------------------------------------

struct FaultCase {
  const char* name;
  std::function<void(Scene&)> arm;
  std::vector<std::pair<Text, int>> reports;  // description, step
  std::optional<int> question;                // the count asked about
  std::vector<Text> requested;
  std::vector<Text> rows_left;
  std::vector<Text> checked_left;
  bool done;
};

TEST(DeletionTest, EachFailingStepIsReportedWithItsNumberAndThePassGoesOnWhereItShould) {
  const Text gone = failure_text::kIndexOutOfBounds;
  const Text unread = u"The row's check mark could not be read, so its entry was not deleted.";
  const Text loop = failure_text::kLoopNotInitialized;
  const auto list_fault = [](Operation op, std::size_t call) {
    return [=](Scene& s) { s.rows.Arm(op, call); };
  };
  // Four rows, 2 and 4 checked. The first pass reads checks 0-3, the second
  // reads them from row 4 down as calls 4-7.
  const std::vector<FaultCase> cases = {
      // A failed count enters the loop once with no row: that check fails too
      // and counts, then the advance fails and the question follows.
      {"count rows 104",
       list_fault(Operation::kCount, 0),
       {{kListFault, 104}, {gone, 106}, {loop, 108}},
       1,
       Paths({4, 2}),
       Keys({1, 3}),
       {},
       true},
      {"check 106 counts as checked",
       list_fault(Operation::kChecked, 0),
       {{kListFault, 106}},
       3,
       Paths({4, 2}),
       Keys({1, 3}),
       {},
       true},
      {"ask 112",
       [](Scene& s) { s.dialogs.fail_yes_no = u"No box."; },
       {{u"No box.", 112}},
       2,
       {},
       Keys({1, 2, 3, 4}),
       Keys({2, 4}),
       false},
      {"count rows 116",
       list_fault(Operation::kCount, 1),
       {{kListFault, 116}, {gone, 120}, {gone, 130}, {loop, 134}},
       2,
       {},
       Keys({1, 2, 3, 4}),
       Keys({2, 4}),
       true},
      {"events 118",
       [](Scene& s) {
         s.pump.on_events = [](int call) {
           if (call == 1) throw Failure(u"No events.");
         };
       },
       {{u"No events.", 118}},
       2,
       Paths({4, 2}),
       Keys({1, 3}),
       {},
       true},
      // A check that cannot be read must not delete: neither a ticked row...
      {"check 120 of a checked row",
       list_fault(Operation::kChecked, 4),
       {{kListFault, 120}, {unread, 130}},
       2,
       Paths({2}),
       Keys({1, 3, 4}),
       Keys({4}),
       true},
      // ...nor, above all, one that is not ticked.
      {"check 120 of an unchecked row",
       list_fault(Operation::kChecked, 5),
       {{kListFault, 120}, {unread, 130}},
       2,
       Paths({4, 2}),
       Keys({1, 3}),
       {},
       true},
      {"key 130",
       list_fault(Operation::kRowKey, 0),
       {{kListFault, 130}},
       2,
       Paths({2}),
       Keys({1, 3, 4}),
       Keys({4}),
       true},
      // The entry went to the Recycle Bin; only its row could not go.
      {"remove 132",
       list_fault(Operation::kRemove, 0),
       {{kListFault, 132}},
       2,
       Paths({4, 2}),
       Keys({1, 3, 4}),
       Keys({4}),
       true},
      {"every remove 132",
       list_fault(Operation::kRemove, testing::FaultyRows::kEveryCall),
       {{kListFault, 132}, {kListFault, 132}},
       2,
       Paths({4, 2}),
       Keys({1, 2, 3, 4}),
       Keys({2, 4}),
       true},
      {"done 140",
       [](Scene& s) { s.dialogs.fail_message = u"No box."; },
       {{u"No box.", 140}},
       2,
       Paths({4, 2}),
       Keys({1, 3}),
       {},
       true},
      {"report box itself",
       [](Scene& s) {
         s.dialogs.fail_error_report = true;
         s.recycler.refuse[Path(4)] = {NotMoved::Why::kInUse, u""};
       },
       {{u"1 entry was not moved to the Recycle Bin, and its row stays checked:\r\nItem 4.lnk: "
         u"another program has it open.",
         130}},
       2,
       Paths({4, 2}),
       Keys({1, 3, 4}),
       Keys({4}),
       true},
  };
  for (const FaultCase& c : cases) {
    SCOPED_TRACE(c.name);
    Scene scene;
    scene.AddRows(4, {2, 4});
    c.arm(scene);
    scene.Click();
    std::vector<Text> reports;
    for (const auto& [description, step] : c.reports) reports.push_back(Report(description, step));
    EXPECT_EQ(scene.dialogs.ErrorReports(), reports);
    EXPECT_EQ(scene.Shown(Kind::kYesNo), (std::vector<Text>{Question(*c.question)}));
    EXPECT_EQ(scene.recycler.requested, c.requested);
    EXPECT_EQ(scene.RowKeys(), c.rows_left);
    EXPECT_EQ(scene.CheckedKeys(), c.checked_left);
    EXPECT_EQ(scene.Shown(Kind::kMessage),
              c.done ? std::vector<Text>{u"Done."} : std::vector<Text>{});
  }
}

}  // namespace
}  // namespace ostrevane
