#include "window_rules/selection.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "window_rules/error_report.h"
#include "catalogue/start_menu.h"
#include "support/fakes.h"
#include "support/list_scene.h"

namespace ostrevane {
namespace {

using testing::FakeFolderService;
using testing::RecordingButtons;
using testing::RecordingDialogs;
using Operation = testing::FaultyRows::Operation;
using Kind = RecordingDialogs::Shown::Kind;
using Click = void (*)(SelectionContext&);

// ---- the containment rule ---------------------------------------------------

TEST(NameContainsTest, ComparesCodeUnitsWithoutFurtherFolding) {
  EXPECT_FALSE(NameContains(u"Editeur", u"é"));
  EXPECT_FALSE(NameContains(u"Straße", u"ss"));
  EXPECT_FALSE(NameContains(u"caf\u00e9", u"cafe\u0301"));  // precomposed vs combining
  EXPECT_TRUE(NameContains(u"Smile \U0001F600 now", u"\U0001F600"));
}

TEST(NameContainsTest, EmptyTextIsFoundInEveryNameButTheEmptyOne) {
  EXPECT_TRUE(NameContains(u"a", u""));
  EXPECT_TRUE(NameContains(u" ", u""));
  EXPECT_FALSE(NameContains(u"", u""));
  EXPECT_FALSE(NameContains(u"", u"a"));
}

// The system's mapping replaces the portable one on Windows; both texts must
// go through whichever mapping is in force.
char16_t LowerWithArmenian(char16_t unit) {
  if (unit >= 0x531 && unit <= 0x556) return static_cast<char16_t>(unit + 0x30);
  return PortableLower(unit);
}

TEST(NameContainsTest, LowersBothTextsWithTheMappingInForce) {
  EXPECT_FALSE(NameContains(u"Աշխարհ", u"աշ"));
  SetCaseMapping(&LowerWithArmenian);
  const bool name_lowered = NameContains(u"Աշխարհ", u"աշ");
  const bool text_lowered = NameContains(u"աշխարհ", u"ԱՇ");
  SetCaseMapping(nullptr);
  EXPECT_TRUE(name_lowered);
  EXPECT_TRUE(text_lowered);
}

// ---- the commands -------------------------------------------------------------

constexpr char16_t kBroken[] = u"The operation failed";

// A list with rows of the given display names, and the doubles a command
// talks to. Check marks are written as a string, one '1' or '0' per row.
struct Scene : testing::ListScene {
  explicit Scene(const std::vector<Text>& names = {}, const std::string& marks = "") {
    for (const Text& name : names) list.Add(u"C" + DecimalText(++keys), name);
    for (std::size_t p = 1; p <= marks.size(); ++p) list.SetChecked(p, marks[p - 1] == '1');
    rows.description = kBroken;
  }
  // Runs a text command, the input box answering `text`.
  void Type(Click click, const Text& text) {
    dialogs.text_answers.push_back(text);
    click(context);
  }

  int keys = 0;
  RecordingDialogs dialogs;
  RecordingButtons buttons;
  SelectionContext context{rows, dialogs, buttons, testing::kTitle};
};

TEST(SelectionTest, SelectAllAndUnselectAllSetEveryRowAndShowNothing) {
  Scene scene({u"Alpha", u"", u"Beta", u"Gamma"}, "0100");
  SelectAll(scene.context);
  EXPECT_EQ(scene.Marks(), "1111");
  SelectAll(scene.context);
  EXPECT_EQ(scene.Marks(), "1111");
  UnselectAll(scene.context);
  EXPECT_EQ(scene.Marks(), "0000");
  EXPECT_EQ(scene.buttons.set,
            (std::vector<RecordingButtons::Set>{
                {PushButtonId::k4, 0}, {PushButtonId::k4, 0}, {PushButtonId::k5, 0}}));
  EXPECT_TRUE(scene.dialogs.shown.empty());
}

TEST(SelectionTest, TextCommandsAskOnceWithTheirPromptUnderTheApplicationTitle) {
  Scene scene({u"Alpha", u"Beta", u"Gamma"});
  scene.Type(&SelectContaining, u"x");
  scene.Type(&SelectNotContaining, u"x");
  ASSERT_EQ(scene.dialogs.shown.size(), 2u);
  for (const auto& box : scene.dialogs.shown) {
    EXPECT_EQ(box.kind, Kind::kInput);
    EXPECT_EQ(box.text, u"Enter text:");
    EXPECT_EQ(box.caption, u"Ostrevane");
  }
  EXPECT_EQ(scene.buttons.set,
            (std::vector<RecordingButtons::Set>{{PushButtonId::k4, 0}, {PushButtonId::k4, 0}}));
}

TEST(SelectionTest, MatchingIgnoresCaseBothWaysAlsoBeyondBasicLatin) {
  struct Case {
    Text text;
    std::string marks;
  };
  for (const Case& c :
       {Case{u"GAME", "1100000000"}, Case{u"game", "1100000000"}, Case{u"é", "0011000000"},
        Case{u"É", "0011000000"}, Case{u"д", "0000110000"}, Case{u"Д", "0000110000"},
        Case{u"σ", "0000001100"}, Case{u"Σ", "0000001100"}}) {
    SCOPED_TRACE(ToUtf8(c.text));
    Scene scene({u"game launcher", u"GAME TOOLS", u"Éditeur", u"éditeur", u"ДОМ", u"дом", u"ΣΟΦΙΑ",
                 u"σοφια", u"Editeur", u"Other"});
    scene.Type(&SelectContaining, c.text);
    EXPECT_EQ(scene.Marks(), c.marks);
  }
}

TEST(SelectionTest, ScannedNamesCarryNamesakeMarksButNoExtension) {
  FakeFolderService folders;
  folders.SetRootListing(
      kCsidlPrograms, u"C:\\Current",
      {{u"Games", u"Tools", u"X.lnk"}, {u"Notepad.lnk", u"Tips (all users).lnk", u".lnk"}});
  folders.SetRootListing(kCsidlCommonPrograms, u"C:\\All",
                         {{u"Games", u"Shared"}, {u"Notepad.lnk", u"Tools.lnk", u"X.lnk"}});
  Scene scene;
  ScanStartMenu(folders, scene.list);

  scene.Type(&SelectContaining, u".lnk");
  EXPECT_EQ(scene.CheckedNames(), (std::set<Text>{u"X.lnk (Current User)"}));

  UnselectAll(scene.context);
  scene.Type(&SelectContaining, u"(all users)");
  EXPECT_EQ(scene.CheckedNames(), (std::set<Text>{u"Games (All Users)", u"Notepad (All Users)",
                                                  u"X (All Users)", u"Tips (all users)"}));

  // The shortcut named just ".lnk" has an empty name: even the empty text
  // does not select it.
  UnselectAll(scene.context);
  scene.Type(&SelectContaining, u"");
  for (std::size_t p = 1; p <= scene.list.Count(); ++p) {
    EXPECT_EQ(scene.list.Entry(p).checked, !scene.list.Entry(p).text.empty());
  }
}

TEST(SelectionTest, TextCommandsOnlyAddChecks) {
  struct Case {
    Text text;
    std::string matches;
  };
  for (const Case& c :
       {Case{u"", "1101"}, Case{u"A", "1101"}, Case{u"alpha", "1000"}, Case{u"zzz", "0000"}}) {
    SCOPED_TRACE(ToUtf8(c.text));
    // Earlier checks stay: Beta was ticked by hand.
    Scene scene({u"Alpha", u"Beta", u"", u"Gamma"}, "0100");
    scene.Type(&SelectContaining, c.text);
    std::string kept = c.matches;
    kept[1] = '1';
    EXPECT_EQ(scene.Marks(), kept);
    // After Unselect All exactly the matches are checked.
    UnselectAll(scene.context);
    scene.Type(&SelectContaining, c.text);
    EXPECT_EQ(scene.Marks(), c.matches);
    // Containing, then Not Containing with the same text: every row.
    scene.Type(&SelectNotContaining, c.text);
    EXPECT_EQ(scene.Marks(), "1111");
  }
}

TEST(SelectionTest, AnEmptyListStillAsksForTheTextAndNothingElseHappens) {
  Scene scene;
  SelectAll(scene.context);
  UnselectAll(scene.context);
  SelectContaining(scene.context);
  SelectNotContaining(scene.context);
  ASSERT_EQ(scene.dialogs.shown.size(), 2u);
  EXPECT_EQ(scene.dialogs.shown[0].kind, Kind::kInput);
  EXPECT_EQ(scene.dialogs.shown[1].kind, Kind::kInput);
}

// ---- failing steps ------------------------------------------------------------

struct SetEvery {
  Click click;
  const char16_t* context;
  char target;  // the mark the command sets
};

const SetEvery kSetEvery[] = {{&SelectAll, context_text::kSelectAllClick, '1'},
                              {&UnselectAll, context_text::kUnselectAllClick, '0'}};

TEST(SelectionFaultTest, SelectAllAndUnselectAllGoOnAsTheirStepsSay) {
  for (const SetEvery& command : kSetEvery) {
    SCOPED_TRACE(ToUtf8(command.context));
    const std::string before(4, command.target == '1' ? '0' : '1');
    const auto report = [&](const char16_t* description, int step) {
      return ComposeErrorReport(description, command.context, step);
    };
    {  // 100: the button refuses its value; the rows are still set.
      Scene scene({u"a", u"b", u"c", u"d"}, before);
      scene.buttons.fail = kBroken;
      command.click(scene.context);
      EXPECT_EQ(scene.dialogs.ErrorReports(), std::vector<Text>{report(kBroken, 100)});
      EXPECT_EQ(scene.Marks(), std::string(4, command.target));
    }
    {  // 102: the rows cannot be counted; the body runs once without a row.
      Scene scene({u"a", u"b", u"c", u"d"}, before);
      scene.rows.Arm(Operation::kCount);
      command.click(scene.context);
      EXPECT_EQ(scene.dialogs.ErrorReports(),
                (std::vector<Text>{report(kBroken, 102), report(failure_text::kObjectNotSet, 104),
                                   report(failure_text::kLoopNotInitialized, 104)}));
      EXPECT_EQ(scene.Marks(), before);
    }
    {  // 104: one row cannot be set; the visit goes on.
      Scene scene({u"a", u"b", u"c", u"d"}, before);
      scene.rows.Arm(Operation::kSetChecked, 1);
      command.click(scene.context);
      EXPECT_EQ(scene.dialogs.ErrorReports(), std::vector<Text>{report(kBroken, 104)});
      std::string expected(4, command.target);
      expected[1] = before[1];
      EXPECT_EQ(scene.Marks(), expected);
    }
  }
}

struct ByText {
  Click click;
  const char16_t* context;
  Text text;               // passes rows 1 and 3 of kFruit
  std::string empty_text;  // the marks the empty text gives
};

const std::vector<Text> kFruit = {u"apple", u"berry", u"apricot", u"cherry"};

TEST(SelectionFaultTest, TextCommandsGoOnAsTheirStepsSay) {
  for (const ByText& command :
       {ByText{&SelectContaining, context_text::kPushButton1Click, u"AP", "1111"},
        ByText{&SelectNotContaining, context_text::kPushButton3Click, u"err", "0000"}}) {
    SCOPED_TRACE(ToUtf8(command.context));
    const auto report = [&](const char16_t* description, int step) {
      return ComposeErrorReport(description, command.context, step);
    };
    {  // 100: the button refuses its value; the command still asks and checks.
      Scene scene(kFruit);
      scene.buttons.fail = kBroken;
      scene.Type(command.click, command.text);
      EXPECT_EQ(scene.dialogs.ErrorReports(), std::vector<Text>{report(kBroken, 100)});
      EXPECT_EQ(scene.dialogs.shown.back().kind, Kind::kInput);
      EXPECT_EQ(scene.Marks(), "1010");
    }
    {  // 102: the input box fails; the text stays empty.
      Scene scene(kFruit);
      scene.dialogs.fail_input = kBroken;
      command.click(scene.context);
      EXPECT_EQ(scene.dialogs.ErrorReports(), std::vector<Text>{report(kBroken, 102)});
      EXPECT_EQ(scene.Marks(), command.empty_text);
    }
    {  // 104: the rows cannot be counted; test and check each fail without a row.
      Scene scene(kFruit);
      scene.rows.Arm(Operation::kCount);
      scene.Type(command.click, command.text);
      EXPECT_EQ(scene.dialogs.ErrorReports(),
                (std::vector<Text>{report(kBroken, 104), report(failure_text::kObjectNotSet, 106),
                                   report(failure_text::kObjectNotSet, 108),
                                   report(failure_text::kLoopNotInitialized, 108)}));
      EXPECT_EQ(scene.Marks(), "0000");
    }
    {  // 106: a name that cannot be read counts as passing: that row is checked.
      Scene scene(kFruit);
      scene.rows.Arm(Operation::kRowText, 1);
      scene.Type(command.click, command.text);
      EXPECT_EQ(scene.dialogs.ErrorReports(), std::vector<Text>{report(kBroken, 106)});
      EXPECT_EQ(scene.Marks(), "1110");
    }
    {  // 108: one row cannot be checked; the visit goes on.
      Scene scene(kFruit);
      scene.rows.Arm(Operation::kSetChecked, 0);
      scene.Type(command.click, command.text);
      EXPECT_EQ(scene.dialogs.ErrorReports(), std::vector<Text>{report(kBroken, 108)});
      EXPECT_EQ(scene.Marks(), "0010");
    }
  }
}

}  // namespace
}  // namespace ostrevane
