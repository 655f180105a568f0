#include "window_rules/startup.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "catalogue/entry_list.h"
#include "window_rules/app_title.h"
#include "window_rules/error_report.h"
#include "window_form/list_columns.h"
#include "window_form/skin_file.h"
#include "readme_skin_example.h"
#include "support/fakes.h"
#include "support/reports.h"

namespace ostrevane {
namespace {

using testing::FakeFolderService;
using testing::RecordingDialogs;

// Records what start-up asks of the window; any operation can be made to fail.
class FakeStartup : public StartupPlatform, public FileQueries, public SkinEngine {
 public:
  std::vector<std::string> calls;
  std::map<std::string, Text> fail;  // operation -> description
  std::set<Text> existing_files;     // answer the date query and the search
  std::set<Text> normal_files;
  Text exe_folder = u"C:\\Program";
  Text caption;

  ListColumns columns;

  void Maybe(const std::string& operation) {
    calls.push_back(operation);
    MaybeFail(operation);
  }
  void MaybeFail(const std::string& operation) {
    if (auto it = fail.find(operation); it != fail.end()) throw Failure(it->second);
  }

  Text ExecutableFolder() override {
    Maybe("ExecutableFolder");
    return exe_folder;
  }
  void QueryLastModified(const Text& path) override {
    Maybe("QueryLastModified");
    if (!existing_files.count(path)) throw Failure(u"File not found");
  }
  bool FindNormalFile(const Text& path) override {
    Maybe("FindNormalFile");
    return normal_files.count(path) != 0;
  }
  void LoadMouseIcon(const Text& path) override { Maybe("LoadMouseIcon " + ToUtf8(path)); }
  void SetCaption(const Text& text) override {
    Maybe("SetCaption");
    caption = text;
  }
  void SetApplicationIcon() override { Maybe("SetApplicationIcon"); }
  void SetFormBackColor(std::uint32_t color) override {
    Maybe("SetFormBackColor " + std::to_string(color));
  }
  std::vector<FormControl> Controls() override {
    Maybe("Controls");
    return {{u"Frame3", ControlKind::kFrame},
            {u"ListView1", ControlKind::kListView},
            {u"PushButton4", ControlKind::kPushButton},
            {u"SkinFramework1", ControlKind::kSkin}};
  }
  void SetControlBackColor(const Text& name, std::uint32_t color) override {
    Maybe("SetControlBackColor " + ToUtf8(name) + " " + std::to_string(color));
  }
  SkinEngine& Skin() override { return *this; }
  // The columns are read back whole rather than recorded in `calls`.
  void AddColumn(const Text& text) override {
    MaybeFail("AddColumn " + ToUtf8(text));
    columns.Add(text);
  }
  void SetColumnWidth(std::size_t position, double twips) override {
    MaybeFail("SetColumnWidth " + std::to_string(position));
    columns.SetWidth(position, twips);
  }

  void Load(const Text& path) override { Maybe("LoadSkin " + ToUtf8(path)); }
  void Paint() override { Maybe("PaintWithSkin"); }
};

class StartupTest : public ::testing::Test {
 protected:
  StartupTest() {
    folders.SetRootListing(kCsidlPrograms, u"C", {{u"Games"}, {u"Zed.lnk"}});
    folders.SetRootListing(kCsidlCommonPrograms, u"A", {{u"Games"}, {}});
  }
  void Load() { title = StartUp(platform, platform, list, folders, dialogs); }
  static constexpr const testing::HandlerReports& ReportAt = testing::kStartUpReport;

  FakeStartup platform;
  EntryList list;
  FakeFolderService folders;
  RecordingDialogs dialogs;
  Text title;
};

TEST_F(StartupTest, WithoutSkinOrCursorEverythingIsSetQuietlyAndTheScanRunsLast) {
  Load();
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_EQ(platform.caption, u"Ostrevane Software");
  EXPECT_EQ(title, u"Ostrevane");
  ASSERT_EQ(platform.columns.Count(), 2u);
  EXPECT_EQ(platform.columns.At(1).text, u"Menu Item");
  EXPECT_EQ(platform.columns.At(1).width_twips, 6000);
  EXPECT_EQ(platform.columns.At(2).text, u"Type");
  EXPECT_EQ(platform.columns.At(2).width_twips, 1000);
  EXPECT_EQ(list.Size(), 3u);
  EXPECT_EQ(platform.calls,
            (std::vector<std::string>{"ExecutableFolder", "FindNormalFile", "ExecutableFolder",
                                      "QueryLastModified", "SetCaption", "SetApplicationIcon"}));
}

TEST_F(StartupTest, SkinIsAppliedInItsFixedOrderAndOnlyTheFrameIsRecoloured) {
  platform.normal_files.insert(u"C:\\Program\\x\\o.cjs");
  platform.existing_files.insert(u"C:\\Program\\HAND-M.CUR");
  Load();
  EXPECT_TRUE(dialogs.shown.empty());
  const std::string face = std::to_string(0x8000000Fu);
  EXPECT_EQ(platform.calls,
            (std::vector<std::string>{
                "ExecutableFolder", "FindNormalFile", "SetFormBackColor " + face, "Controls",
                "SetControlBackColor Frame3 " + face, "LoadSkin C:\\Program\\x\\o.cjs",
                "PaintWithSkin", "ExecutableFolder", "QueryLastModified",
                "LoadMouseIcon C:\\Program\\HAND-M.CUR", "SetCaption", "SetApplicationIcon"}));
}

// Every start-up step made to fail, one at a time: the report names it, and
// the rest of start-up still runs, the scan last.
TEST_F(StartupTest, EachFailingStepIsReportedWithItsNumberAndStartUpGoesOn) {
  struct Case {
    std::string operation;
    int step;
    bool cursor_present;
  };
  const std::vector<Case> cases = {{"LoadSkin C:\\Program\\x\\o.cjs", 100, false},
                                   {"PaintWithSkin", 100, false},
                                   {"LoadMouseIcon C:\\Program\\HAND-M.CUR", 106, true},
                                   {"SetCaption", 126, false},
                                   {"SetApplicationIcon", 126, false}};
  for (const Case& c : cases) {
    FakeStartup fresh;
    fresh.normal_files.insert(u"C:\\Program\\x\\o.cjs");
    if (c.cursor_present) fresh.existing_files.insert(u"C:\\Program\\HAND-M.CUR");
    fresh.fail[c.operation] = u"It broke";
    RecordingDialogs boxes;
    EntryList rows;
    StartUp(fresh, fresh, rows, folders, boxes);
    EXPECT_EQ(boxes.ErrorReports(), (std::vector<Text>{ReportAt(u"It broke", c.step)}))
        << c.operation;
    EXPECT_EQ(rows.Size(), 3u) << c.operation;  // the scan still ran last
  }
}

TEST_F(StartupTest, AFailureComposingTheCursorPathStillAttemptsTheLoad) {
  platform.fail["ExecutableFolder"] = u"No folder";
  Load();
  // The skin step and the cursor test both need the folder; the load is then
  // tried with what there is and fails in its own right.
  EXPECT_EQ(dialogs.ErrorReports(),
            (std::vector<Text>{ReportAt(u"No folder", 100), ReportAt(u"No folder", 104)}));
  EXPECT_NE(std::find(platform.calls.begin(), platform.calls.end(), "LoadMouseIcon "),
            platform.calls.end());
  EXPECT_EQ(platform.caption, u"Ostrevane Software");
}

TEST_F(StartupTest, ListStepsAndTheScanFailAtTheirOwnNumbers) {
  using Operation = testing::FaultyRows::Operation;
  using Arm = std::function<void(FakeStartup&, testing::FaultyRows&)>;
  struct Case {
    const char* name;
    Arm arm;
    std::vector<std::pair<const char16_t*, int>> reports;
  };
  constexpr char16_t kBroke[] = u"The list operation failed";
  constexpr char16_t kMissing[] = u"Index out of bounds";
  const auto window_fault = [&](const std::string& operation) -> Arm {
    return [=](FakeStartup& window, testing::FaultyRows&) { window.fail[operation] = kBroke; };
  };
  const auto rows_fault = [](Operation operation, std::size_t nth_call) -> Arm {
    return [=](FakeStartup&, testing::FaultyRows& rows) { rows.Arm(operation, nth_call); };
  };
  const std::vector<Case> cases = {
      // Without the first column, "Type" is column 1 and column 2 is missing.
      {"first column", window_fault("AddColumn Menu Item"), {{kBroke, 128}, {kMissing, 134}}},
      {"second column", window_fault("AddColumn Type"), {{kBroke, 130}, {kMissing, 134}}},
      {"first width", window_fault("SetColumnWidth 1"), {{kBroke, 132}}},
      {"second width", window_fault("SetColumnWidth 2"), {{kBroke, 134}}},
      {"sorting off", rows_fault(Operation::kSetSorted, 0), {{kBroke, 136}}},
      {"third row", rows_fault(Operation::kAdd, 2), {{kBroke, 136}}},
      {"sort by type", rows_fault(Operation::kSetSortKey, 0), {{kBroke, 136}}},
  };
  for (const Case& c : cases) {
    EntryList entries;
    testing::FaultyRows rows(entries);
    RecordingDialogs boxes;
    FakeStartup fresh;
    c.arm(fresh, rows);
    StartUp(fresh, fresh, rows, folders, boxes);
    std::vector<Text> expected;
    for (const auto& [description, step] : c.reports)
      expected.push_back(ReportAt(description, step));
    EXPECT_EQ(boxes.ErrorReports(), expected) << c.name;
  }
}

TEST_F(StartupTest, AFailingAllUsersRootIsReportedAt136AndTheCurrentUserRowsStay) {
  folders.fail_open[u"A"] = u"Path not found";
  Load();
  EXPECT_EQ(dialogs.ErrorReports(), (std::vector<Text>{ReportAt(u"Path not found", 136)}));
  ASSERT_EQ(list.Size(), 2u);
  EXPECT_EQ(list.Entry(1).text, u"Games");
  EXPECT_EQ(list.Entry(2).text, u"Zed");
  EXPECT_FALSE(list.Sorted());
}

TEST(FileExistsTest, AnswersFalseForAnyFailureAndNeverFails) {
  FakeStartup platform;
  platform.existing_files.insert(u"C:\\there");
  EXPECT_TRUE(FileExists(platform, u"C:\\there"));
  EXPECT_FALSE(FileExists(platform, u"C:\\not there"));
  platform.fail["QueryLastModified"] = u"Bad file name or number";
  EXPECT_FALSE(FileExists(platform, u"C:\\there"));
}

// The window's list view and the stand-in above keep their columns by this
// one rule.
TEST(ListColumnsTest, AWidthIsSetOnlyOnAColumnThatIsThereAndOnlyToAWidth) {
  struct Case {
    std::size_t position;
    double twips;
    const char16_t* refusal;  // none when the width is set
  };
  for (const Case& c :
       {Case{1, 6000, nullptr}, Case{2, 0, nullptr}, Case{0, 10, failure_text::kIndexOutOfBounds},
        Case{3, 10, failure_text::kIndexOutOfBounds}, Case{1, -1, failure_text::kInvalidArgument},
        Case{2, std::numeric_limits<double>::quiet_NaN(), failure_text::kInvalidArgument}}) {
    SCOPED_TRACE(c.position);
    ListColumns columns;
    columns.Add(u"Menu Item");
    columns.Add(u"Type");
    columns.SetWidth(1, 100);
    columns.SetWidth(2, 100);
    Text refusal;
    try {
      columns.SetWidth(c.position, c.twips);
    } catch (const Failure& failure) {
      refusal = failure.description();
    }
    EXPECT_EQ(refusal, c.refusal ? Text(c.refusal) : Text());
    for (std::size_t p = 1; p <= 2; ++p) {
      EXPECT_EQ(columns.At(p).width_twips, !c.refusal && p == c.position ? c.twips : 100);
    }
  }
}

TEST(SkinFileTest, ReadsColoursCommentsAndLineEndingsOfAnyKind) {
  const SkinColors skin = ParseSkin(
      "\xEF\xBB\xBF; my skin\r\n[Ostrevane Skin]\r\n\r\n# buttons\r\nBUTTON.Face = #FF8000\r\n"
      "  window=#0a0B0c  \nframe.line = #000001",
      u"o.cjs");
  EXPECT_EQ(skin.button_face, 0x000080FFu);  // stored as 0x00BBGGRR
  EXPECT_EQ(skin.window, 0x000C0B0Au);
  EXPECT_EQ(skin.frame_line, 0x00010000u);
  EXPECT_FALSE(skin.button_text.has_value());
}

TEST(SkinFileTest, TheReadmesExampleLoadsWithEveryColourAndItsComments) {
  // The example block of the README, copied in when the build is configured.
  const SkinColors skin = ParseSkin(kReadmeSkinExample, u"o.cjs");
  EXPECT_EQ(skin.window, 0x00C8D0D4u);
  EXPECT_EQ(skin.frame_text, 0x00800000u);
  EXPECT_EQ(skin.frame_line, 0x00808080u);
  EXPECT_EQ(skin.button_face, 0x00E8E8E8u);
  EXPECT_EQ(skin.button_text, 0x00000000u);
  EXPECT_EQ(skin.button_border, 0x00404040u);
  EXPECT_EQ(skin.button_hot, 0x00F4F4F4u);
  EXPECT_EQ(skin.button_pressed, 0x00C8C8C8u);
  // A comment after a value, either way; a "#" right after the value is no
  // comment but part of it.
  EXPECT_EQ(ParseSkin("[Ostrevane Skin]\nwindow = #010203 # grey\nframe.line=#040506;x\n", u"o.cjs")
                .frame_line,
            0x00060504u);
}

TEST(SkinFileTest, RefusesWhatItCannotUseNamingTheLine) {
  const auto refusal = [](std::string_view bytes) -> Text {
    try {
      ParseSkin(bytes, u"C:\\p\\x\\o.cjs");
    } catch (const Failure& failure) {
      return failure.description();
    }
    return u"accepted";
  };
  EXPECT_EQ(refusal(""),
            u"The skin file \"C:\\p\\x\\o.cjs\" cannot be used: line 1: a skin file "
            u"begins with [Ostrevane Skin].");
  EXPECT_NE(
      refusal("[Ostrevane Skin]\nbutton.face = red\n").find(u"line 2: \"red\" is not a colour"),
      Text::npos);
  EXPECT_NE(refusal("[Ostrevane Skin]\n\nbuton.face = #000000\n")
                .find(u"line 3: unknown setting \"buton.face\""),
            Text::npos);
  EXPECT_NE(refusal("[Ostrevane Skin]\njust words\n").find(u"line 2: expected a setting"),
            Text::npos);
  EXPECT_NE(refusal(std::string("MZ\0\0\x90", 5)).find(u"not a text file"), Text::npos);
  EXPECT_NE(refusal("[Ostrevane Skin]\nwindow = #12345\n").find(u"line 2"), Text::npos);
  EXPECT_NE(refusal("[Ostrevane Skin]\nwindow = #123456#x\n").find(u"line 2: \"#123456#x\""),
            Text::npos);
}

}  // namespace
}  // namespace ostrevane
