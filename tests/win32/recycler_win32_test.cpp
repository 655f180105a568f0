// The deletion pass with the real shell, under Wine. Wine moves recycled
// entries to $XDG_DATA_HOME/Trash; the test runner points XDG_DATA_HOME into
// the build folder, so these tests never see the user's own Recycle Bin, and
// the roots are temp folders, never a real Start Menu.
#include "win32/recycler_win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <set>
#include <thread>

#include "window_rules/error_report.h"
#include "win32/box_refuser.h"
#include "catalogue/start_menu.h"
#include "window_rules/deletion.h"
#include "win32/folder_service_win32.h"
#include "win32/handles.h"
#include "win32/win_text.h"
#include "support/fakes.h"
#include "support/list_scene.h"
#include "support/reports.h"
#include "support/wine_host.h"
#include "test_folders.h"

namespace ostrevane {
namespace {

using testing::NamesIn;
using testing::PathExists;
using testing::RecordingDialogs;
using testing::RemoveTree;
using testing::RunOnLinux;
using testing::ShellWord;
using testing::TempFolder;
using testing::UnixPathOf;
using win32::FromWide;
using win32::Wide;

std::string Contents(const Text& file) {
  win32::UniqueFile handle(
      CreateFileW(Wide(file), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!handle) return "<unreadable>";
  char buffer[256];
  DWORD read = 0;
  ReadFile(handle.get(), buffer, sizeof buffer, &read, nullptr);
  return std::string(buffer, read);
}

void MakeFolder(const Text& path) {
  if (!CreateDirectoryW(Wide(path), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
    throw std::runtime_error("cannot make folder " + ToUtf8(path));
  }
}

// The Recycle Bin of this test executable, as Windows paths on Wine's Z:
// drive. Without $XDG_DATA_HOME Wine would use the user's own trash, and
// without its Trash folder Wine deletes for good, so both are made sure of
// before anything is deleted.
class IsolatedTrash {
 public:
  static Text Variable(const wchar_t* name) {
    wchar_t buffer[1024];
    const DWORD length = GetEnvironmentVariableW(name, buffer, 1024);
    return length == 0 || length >= 1024 ? Text() : FromWide(buffer, length);
  }

  // Empty unless XDG_DATA_HOME is the folder that the test runner made for
  // this executable (it passes the same path as OSTREVANE_TEST_XDG_DATA_HOME):
  // the trash found there is emptied, so it must never be the user's own.
  static Text DataHome() {
    const Text home = Variable(L"XDG_DATA_HOME");
    if (home.empty() || home[0] != u'/' || home != Variable(L"OSTREVANE_TEST_XDG_DATA_HOME")) {
      return Text();
    }
    Text path = u"Z:" + home;
    std::replace(path.begin(), path.end(), u'/', u'\\');
    while (path.back() == u'\\') path.pop_back();
    return path;
  }

  void Prepare() {
    home_ = DataHome();
    if (home_.empty()) throw std::runtime_error("no Recycle Bin of the test's own");
    MakeFolder(home_);
    RemoveTree(Trash());
    MakeFolder(Trash());
    MakeFolder(Files());
    MakeFolder(Info());
  }

  Text Trash() const { return home_ + u"\\Trash"; }
  Text Files() const { return Trash() + u"\\files"; }
  Text Info() const { return Trash() + u"\\info"; }
  std::vector<Text> FileNames() const { return NamesIn(Files()); }
  std::vector<Text> InfoNames() const { return NamesIn(Info()); }

 private:
  Text home_;
};

// Answers every box that the shell opens on the test's thread (No, unless told
// otherwise) and notes its caption, so that a box fails a test instead of
// hanging it.
class ShellBoxAnswerer {
 public:
  ShellBoxAnswerer() : thread_(GetCurrentThreadId()), worker_([this] { Watch(); }) {}
  ~ShellBoxAnswerer() {
    stop_ = true;
    worker_.join();
  }
  void AnswerWith(int button) { answer_ = button; }
  std::vector<Text> Captions() {
    std::lock_guard<std::mutex> lock(mutex_);
    return captions_;
  }

 private:
  void Watch() {
    while (!stop_) {
      EnumThreadWindows(thread_, &ShellBoxAnswerer::Visit, reinterpret_cast<LPARAM>(this));
      std::erase_if(answered_, [](HWND box) { return !IsWindow(box); });
      Sleep(20);
    }
  }
  static BOOL CALLBACK Visit(HWND window, LPARAM self_pointer) {
    auto* self = reinterpret_cast<ShellBoxAnswerer*>(self_pointer);
    wchar_t class_name[16] = {};
    GetClassNameW(window, class_name, 16);
    if (Text(FromWide(class_name)) != u"#32770" || self->answered_.count(window)) return TRUE;
    wchar_t caption[256] = {};
    GetWindowTextW(window, caption, 256);
    {
      std::lock_guard<std::mutex> lock(self->mutex_);
      self->captions_.push_back(FromWide(caption));
    }
    self->answered_.insert(window);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(self->answer_.load(), BN_CLICKED), 0);
    return TRUE;
  }

  DWORD thread_;
  std::atomic<bool> stop_{false};
  std::atomic<int> answer_{IDNO};
  std::set<HWND> answered_;
  std::mutex mutex_;
  std::vector<Text> captions_;
  std::thread worker_;
};

class NoEvents : public EventPump {
 public:
  void DoEvents() override {}
};

class RecyclerWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(IsolatedTrash::DataHome().empty())
        << "XDG_DATA_HOME must be this test's own folder, as CTest sets it; nothing was deleted";
    trash.Prepare();
    folders.OverrideRoot(kCsidlPrograms, current.path());
    folders.OverrideRoot(kCsidlCommonPrograms, all.path());
  }

  void Scan() { ScanStartMenu(folders, list); }
  void Tick(const Text& key, bool checked = true) {
    for (std::size_t p = 1; p <= list.Count(); ++p) {
      if (list.Entry(p).key == key) return list.SetChecked(p, checked);
    }
    FAIL() << "no row " << ToUtf8(key);
  }
  void Click() { DeleteChecked(context); }

  // A shortcut, and a folder with a shortcut in it.
  void MakeGameAndTools() {
    current.MakeFile(u"Game.lnk", "game");
    current.MakeFolder(u"Tools");
    current.MakeFile(u"Tools\\Editor.lnk");
  }
  void TickGameAndTools() {
    Tick(u"CGame.lnk");
    Tick(u"CTools");
  }
  // Both are still there, whole, and their rows still checked.
  void ExpectGameAndToolsKept() {
    EXPECT_EQ(Contents(current.path() + u"\\Game.lnk"), "game");
    EXPECT_TRUE(PathExists(current.path() + u"\\Tools\\Editor.lnk"));
    EXPECT_EQ(CheckedKeys(), (std::vector<Text>{u"CGame.lnk", u"CTools"}));
  }

  // In key order: these tests ask which rows are left, not in what order.
  std::vector<Text> RowKeys() const { return Sorted(testing::RowKeys(list)); }
  std::vector<Text> CheckedKeys() const { return Sorted(testing::CheckedKeys(list)); }
  static std::vector<Text> Sorted(std::vector<Text> keys) {
    std::sort(keys.begin(), keys.end());
    return keys;
  }
  // The lines "name: why" of the one report of the entries a pass left, in
  // name order; a test fails unless there is exactly that one report.
  std::vector<Text> Unmoved() const {
    const std::vector<Text> reports = dialogs.ErrorReports();
    EXPECT_EQ(reports.size(), 1u);
    if (reports.size() != 1) return {};
    const Text tail = u"\r\n" + Text(context_text::kPushButton2Click) + u"at line 130\r\r";
    const std::size_t end = reports[0].find(tail);
    EXPECT_NE(end, Text::npos);
    std::vector<Text> lines;
    // Up to the blank line before any advice.
    for (std::size_t at = reports[0].find(u"\r\n"); at < end;) {
      const std::size_t next = reports[0].find(u"\r\n", at + 2);
      Text line = reports[0].substr(at + 2, std::min(next, end) - at - 2);
      if (line.empty()) break;
      lines.push_back(std::move(line));
      at = next;
    }
    return Sorted(lines);
  }
  static Text StillThere(const Text& name) {
    return name +
           u": the shell reported success, but it is still there: it was not moved to "
           u"the Recycle Bin.";
  }
  static Text MayNot(const Text& name) { return name + u": this account may not remove it."; }

  IsolatedTrash trash;
  TempFolder current, all;
  win32::Win32FolderService folders;
  win32::Win32Recycler recycler;
  EntryList list;
  RecordingDialogs dialogs;
  NoEvents pump;
  DeletionContext context{list, dialogs, pump, folders, recycler, testing::kTitle};
  ShellBoxAnswerer boxes;
};

TEST_F(RecyclerWin32Test, ExactlyTheCheckedEntriesGoToTheRecycleBinAFolderWithAllItHolds) {
  current.MakeFile(u"Game.lnk", "game");
  current.MakeFile(u"Keep.lnk");
  current.MakeFolder(u"Tools");
  current.MakeFile(u"Tools\\Editor.lnk", "editor");
  current.MakeFolder(u"Tools\\More");
  current.MakeFile(u"Tools\\More\\Deep.txt", "deep");
  current.MakeFolder(u"Other");
  all.MakeFile(u"Shared.lnk");
  Scan();
  Tick(u"CGame.lnk");
  Tick(u"CTools");
  Click();

  EXPECT_EQ(trash.FileNames(), (std::vector<Text>{u"Game.lnk", u"Tools"}));
  EXPECT_EQ(trash.InfoNames(), (std::vector<Text>{u"Game.lnk.trashinfo", u"Tools.trashinfo"}));
  EXPECT_EQ(Contents(trash.Files() + u"\\Game.lnk"), "game");
  EXPECT_EQ(Contents(trash.Files() + u"\\Tools\\Editor.lnk"), "editor");
  EXPECT_EQ(Contents(trash.Files() + u"\\Tools\\More\\Deep.txt"), "deep");
  EXPECT_EQ(NamesIn(current.path()), (std::vector<Text>{u"Keep.lnk", u"Other"}));
  EXPECT_EQ(NamesIn(all.path()), (std::vector<Text>{u"Shared.lnk"}));
  EXPECT_EQ(RowKeys(), (std::vector<Text>{u"AShared.lnk", u"CKeep.lnk", u"COther"}));
  EXPECT_TRUE(dialogs.ErrorReports().empty());
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[0].text, u"Are you sure you want to delete 2 item(s) from Start Menu?");
  EXPECT_EQ(dialogs.shown[1].text, u"Done.");
  EXPECT_EQ(dialogs.shown[1].caption, testing::kTitle);
  EXPECT_TRUE(boxes.Captions().empty());
}

TEST_F(RecyclerWin32Test, NamesakesAreEachDeletedFromTheirOwnRoot) {
  current.MakeFile(u"Game.lnk", "mine");
  all.MakeFile(u"Game.lnk", "shared");
  Scan();
  Tick(u"AGame.lnk");
  Click();
  ASSERT_EQ(trash.FileNames(), (std::vector<Text>{u"Game.lnk"}));
  EXPECT_EQ(Contents(trash.Files() + u"\\Game.lnk"), "shared");
  EXPECT_EQ(Contents(current.path() + u"\\Game.lnk"), "mine");
  ASSERT_EQ(list.Count(), 1u);  // the other namesake keeps its mark
  EXPECT_EQ(list.Entry(1).text, u"Game (Current User)");

  Tick(u"CGame.lnk");
  Click();
  std::vector<std::string> recycled;
  for (const Text& name : trash.FileNames())
    recycled.push_back(Contents(trash.Files() + u"\\" + name));
  std::sort(recycled.begin(), recycled.end());
  EXPECT_EQ(recycled, (std::vector<std::string>{"mine", "shared"}));
  EXPECT_TRUE(NamesIn(current.path()).empty());
  EXPECT_TRUE(NamesIn(all.path()).empty());
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_TRUE(dialogs.ErrorReports().empty());
}

TEST_F(RecyclerWin32Test, NamesOutsideTheAnsiCodePageTakeNoLookAlikeWithThem) {
  // In the ANSI code page each of these names would turn into question marks,
  // which the shell matches against any character: the neighbours must stay.
  current.MakeFile(u"Caf\u0113.lnk");
  current.MakeFile(u"Cafe.lnk");
  current.MakeFile(u"Caf1.lnk");
  current.MakeFolder(u"Дом");
  current.MakeFolder(u"Дом2");
  current.MakeFolder(u"Дим");
  current.MakeFolder(u"abc");
  all.MakeFile(u"日本.lnk");
  all.MakeFile(u"ab.lnk");
  Scan();
  Tick(u"CCaf\u0113.lnk");
  Tick(u"CДом");
  Tick(u"A日本.lnk");
  Click();

  EXPECT_EQ(trash.FileNames(), (std::vector<Text>{u"Caf\u0113.lnk", u"Дом", u"日本.lnk"}));
  EXPECT_EQ(NamesIn(current.path()),
            (std::vector<Text>{u"Caf1.lnk", u"Cafe.lnk", u"abc", u"Дим", u"Дом2"}));
  EXPECT_EQ(NamesIn(all.path()), (std::vector<Text>{u"ab.lnk"}));
  EXPECT_EQ(RowKeys(), (std::vector<Text>{u"Aab.lnk", u"CCaf1.lnk", u"CCafe.lnk", u"Cabc", u"CДим",
                                          u"CДом2"}));
  EXPECT_TRUE(dialogs.ErrorReports().empty());
}

TEST_F(RecyclerWin32Test, AnEntryThatCannotBeDeletedKeepsItsCheckedRow) {
  current.MakeFile(u"Gone.lnk");
  const Text busy = current.MakeFile(u"Busy.lnk", "busy");
  current.MakeFile(u"Fine.lnk");
  const Text long_name = current.MakeFile(u"A rather long program name.lnk", "long");
  Scan();
  for (const char16_t* key : {u"CGone.lnk", u"CBusy.lnk", u"CFine.lnk"}) Tick(key);

  // Removed after the list was made.
  RemoveTree(current.path() + u"\\Gone.lnk");
  // In use by a program that shares it with nobody: the shell could not move
  // it, and is not asked.
  win32::UniqueFile held(
      CreateFileW(Wide(busy), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held);
  // A name that no longer exists but is the short name of another entry.
  wchar_t short_path[MAX_PATH];
  ASSERT_GT(GetShortPathNameW(Wide(long_name), short_path, MAX_PATH), 0u);
  const Text short_text = FromWide(short_path);
  const Text alias = short_text.substr(short_text.rfind(u'\\') + 1);
  ASSERT_NE(alias, u"A rather long program name.lnk");
  list.SetChecked(list.Add(u"C" + alias, alias), true);

  Click();
  held.reset();

  EXPECT_EQ(trash.FileNames(), (std::vector<Text>{u"Fine.lnk"}));
  EXPECT_EQ(NamesIn(current.path()),
            (std::vector<Text>{u"A rather long program name.lnk", u"Busy.lnk"}));
  EXPECT_EQ(CheckedKeys(), (std::vector<Text>{u"C" + alias, u"CBusy.lnk", u"CGone.lnk"}));
  EXPECT_EQ(Unmoved(), Sorted({
                           u"Gone: it is no longer there.",
                           u"Busy: another program has it open.",
                           alias + u": no entry has that name, which is only the short name of "
                                   u"\"A rather long program name.lnk\".",
                       }));
  EXPECT_TRUE(boxes.Captions().empty());
  EXPECT_EQ(dialogs.shown.back().text, u"Done.");
}

TEST_F(RecyclerWin32Test, WhenTheRecycleBinCannotTakeAnEntryNothingIsDeletedForGoodWithoutAsking) {
  MakeGameAndTools();
  Scan();
  TickGameAndTools();
  // A Recycle Bin whose files folder is a plain file cannot take anything.
  RemoveTree(trash.Files());
  HANDLE blocker = CreateFileW(Wide(trash.Files()), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(blocker, INVALID_HANDLE_VALUE);
  CloseHandle(blocker);

  Click();
  EXPECT_EQ(boxes.Captions().size(), 2u);  // the shell asked for each, and heard No
  ExpectGameAndToolsKept();
  const Text cancelled = u": the deletion was cancelled; it was not moved to the Recycle Bin.";
  EXPECT_EQ(Unmoved(), (std::vector<Text>{u"Game" + cancelled, u"Tools" + cancelled}));
  EXPECT_EQ(dialogs.shown.back().text, u"Done.");
}

// A hidden top-level window, to own boxes.
win32::UniqueWindow HiddenOwner() {
  return win32::UniqueWindow(CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                             nullptr, GetModuleHandleW(nullptr), nullptr));
}

TEST(BoxRefuserTest, OnlyTheBoxesOfItsOwnWindowAreRefused) {
  // Another window's box, on a thread of its own, shows before the refuser starts.
  std::atomic<int> other_answer{0};
  std::thread other_thread([&] {
    const win32::UniqueWindow other = HiddenOwner();
    other_answer = MessageBoxW(other.get(), L"left alone", L"Another window's box", MB_YESNO);
  });
  HWND other_box = nullptr;
  for (int wait = 0; !other_box && wait < 1000; ++wait) {
    Sleep(5);
    other_box = FindWindowW(L"#32770", L"Another window's box");
  }
  ASSERT_TRUE(other_box);  // else the other thread never ends: the test stops here
  const win32::UniqueWindow ours = HiddenOwner();
  {
    win32::BoxRefuser refuser(ours.get());
    // Each pass of the refuser looks at every window: by the time it has
    // refused the box of its own window, it has passed the other one.
    EXPECT_EQ(MessageBoxW(ours.get(), L"refused", L"Our box", MB_YESNO), IDNO);
    EXPECT_TRUE(refuser.Answered());
  }
  // Two round trips through the other box's thread: a message posted to it
  // before them has been handled after them.
  SendMessageW(other_box, WM_NULL, 0, 0);
  SendMessageW(other_box, WM_NULL, 0, 0);
  EXPECT_TRUE(IsWindow(other_box));
  PostMessageW(other_box, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
  other_thread.join();
  EXPECT_EQ(other_answer, IDYES);
}

// A folder as the Linux shell names it.
std::string OnLinux(const Text& folder) { return ShellWord(UnixPathOf(folder)); }

// Runs a Linux command when the test ends, however it ends: what the test did
// on the Linux side, Windows calls cannot always undo.
class AtEnd {
 public:
  explicit AtEnd(std::string script) : script_(std::move(script)) {}
  ~AtEnd() {
    try {
      RunOnLinux(script_);
    } catch (const std::exception& e) {
      ADD_FAILURE() << e.what();
    }
  }

 private:
  std::string script_;
};

TEST_F(RecyclerWin32Test, ANameTheShellWouldReadAsAPatternTakesNothingWithIt) {
  // Windows allows none of "? * |" in a name, but a Linux folder does, and
  // Wine lists such a name as it is; to the shell "q?q.lnk" would match
  // "q1q.lnk" and "q2q.lnk" too.
  RunOnLinux("cd " + OnLinux(current.path()) +
             " && touch 'q?q.lnk' q1q.lnk q2q.lnk 'x*.lnk' xy.lnk 'a|b.lnk'");
  const AtEnd cleanup("cd " + OnLinux(current.path()) + " && rm -f 'q?q.lnk' 'x*.lnk' 'a|b.lnk'");
  Scan();
  ASSERT_EQ(RowKeys(), (std::vector<Text>{u"Ca|b.lnk", u"Cq1q.lnk", u"Cq2q.lnk", u"Cq?q.lnk",
                                          u"Cx*.lnk", u"Cxy.lnk"}));
  Tick(u"Cq?q.lnk");
  Click();
  EXPECT_EQ(NamesIn(current.path()), (std::vector<Text>{u"a|b.lnk", u"q1q.lnk", u"q2q.lnk",
                                                        u"q?q.lnk", u"x*.lnk", u"xy.lnk"}));
  EXPECT_TRUE(trash.FileNames().empty());
  EXPECT_EQ(CheckedKeys(), (std::vector<Text>{u"Cq?q.lnk"}));
  EXPECT_EQ(Unmoved(), (std::vector<Text>{u"q?q: its name holds a wildcard character (* ? < > "
                                          u"\"), which the shell could match against other "
                                          u"entries."}));

  Tick(u"Cq?q.lnk", false);
  Tick(u"Cx*.lnk");
  Tick(u"Ca|b.lnk");
  Click();
  EXPECT_EQ(NamesIn(current.path()).size(), 6u);
  EXPECT_TRUE(trash.FileNames().empty());
  EXPECT_EQ(CheckedKeys(), (std::vector<Text>{u"Ca|b.lnk", u"Cx*.lnk"}));
  EXPECT_EQ(dialogs.ErrorReports().size(), 2u);  // one for each pass
  EXPECT_TRUE(boxes.Captions().empty());
}

TEST_F(RecyclerWin32Test, ATrashThatWentAwayIsNoReasonToBelieveTheShell) {
  current.MakeFile(u"First.lnk");
  MakeGameAndTools();
  Scan();
  Tick(u"CFirst.lnk");
  Click();  // the shell finds its Recycle Bin once, on first use
  ASSERT_EQ(trash.FileNames(), (std::vector<Text>{u"First.lnk"}));

  // Gone afterwards, Wine's shell cannot write there, moves nothing, asks
  // nothing and reports success.
  RemoveTree(trash.Trash());
  TickGameAndTools();
  Click();
  EXPECT_TRUE(boxes.Captions().empty());
  ExpectGameAndToolsKept();
  EXPECT_EQ(Unmoved(), (std::vector<Text>{StillThere(u"Game"), StillThere(u"Tools")}));
  EXPECT_EQ(dialogs.shown.back().text, u"Done.");
}

TEST_F(RecyclerWin32Test, NothingIsTakenFromAReadOnlyFolder) {
  MakeGameAndTools();
  Scan();
  TickGameAndTools();
  RunOnLinux("chmod a-w " + OnLinux(current.path()));
  const AtEnd restore("chmod u+w " + OnLinux(current.path()));
  // Were the shell asked, it could not move either entry, would offer to
  // delete them for good, and on Yes would empty Tools and leave it there.
  boxes.AnswerWith(IDYES);

  Click();
  EXPECT_TRUE(boxes.Captions().empty());
  ExpectGameAndToolsKept();
  EXPECT_TRUE(trash.FileNames().empty());
  // The folder is the current user's: no word of an administrator.
  EXPECT_EQ(Unmoved(), (std::vector<Text>{MayNot(u"Game"), MayNot(u"Tools")}));
  EXPECT_EQ(dialogs.ErrorReports()[0].find(u"administrator"), Text::npos);
}

TEST_F(RecyclerWin32Test, AFolderOnlyItsOwnerMayChangeGivesUpNothingAndAsksNothing) {
  // A folder that only its owner, somebody else, may change: Wine does not
  // show it as read-only, the Recycle Bin cannot take anything out of it, and
  // told to delete for good instead, the shell would delete nothing yet
  // report success. Only root can give a folder away, and only a root that
  // minds permissions (as the test runner arranges) sees what a user would.
  const std::string folder = OnLinux(current.path());
  if (RunOnLinux("id -u") != "0\n") GTEST_SKIP() << "needs root to give a folder away";
  current.MakeFile(u"Game.lnk", "game");
  Scan();
  Tick(u"CGame.lnk");
  RunOnLinux("chown 65534 " + folder);
  const AtEnd restore("chown 0 " + folder);
  if (RunOnLinux("touch " + folder + "/probe 2>/dev/null && rm " + folder + "/probe; echo $?") ==
      "0\n") {
    GTEST_SKIP() << "root here ignores permissions; the test runner drops that with setpriv";
  }
  boxes.AnswerWith(IDYES);

  Click();
  EXPECT_TRUE(boxes.Captions().empty());
  EXPECT_EQ(Contents(current.path() + u"\\Game.lnk"), "game");
  EXPECT_EQ(CheckedKeys(), (std::vector<Text>{u"CGame.lnk"}));
  EXPECT_EQ(Unmoved(), (std::vector<Text>{MayNot(u"Game")}));
}

TEST_F(RecyclerWin32Test, AllUsersEntriesThisAccountMayNotRemoveStayAndAreNamedInOneReport) {
  // The all users' folder as Windows has it for a standard user: it and its
  // entries belong to another account and may only be read. With root, they
  // are given to another account; without, they are the test's own, read-only.
  current.MakeFile(u"Mine.lnk", "mine");
  current.MakeFolder(u"My Tools");
  for (const char16_t* name : {u"Office.lnk", u"Browser.lnk", u"Mail.lnk"}) all.MakeFile(name);
  all.MakeFolder(u"Accessories");
  all.MakeFile(u"Accessories\\Paint.lnk");
  const std::string folder = OnLinux(all.path());
  const bool root = RunOnLinux("id -u") == "0\n";
  // Permissions first: once given away, the entries are no longer the test's to change.
  RunOnLinux("chmod -R a-w " + folder + (root ? " && chown -R 65534 " + folder : std::string()));
  const AtEnd restore((root ? "chown -R 0 " + folder + " && " : std::string()) + "chmod -R u+w " +
                      folder);
  Scan();
  for (const Text& key : RowKeys()) Tick(key);
  boxes.AnswerWith(IDYES);  // were the shell asked, it would be told to go ahead

  Click();
  EXPECT_TRUE(boxes.Captions().empty());
  EXPECT_EQ(trash.FileNames(), (std::vector<Text>{u"Mine.lnk", u"My Tools"}));
  EXPECT_EQ(NamesIn(all.path()),
            (std::vector<Text>{u"Accessories", u"Browser.lnk", u"Mail.lnk", u"Office.lnk"}));
  EXPECT_TRUE(PathExists(all.path() + u"\\Accessories\\Paint.lnk"));
  EXPECT_EQ(CheckedKeys(),
            (std::vector<Text>{u"AAccessories", u"ABrowser.lnk", u"AMail.lnk", u"AOffice.lnk"}));
  EXPECT_EQ(Unmoved(), (std::vector<Text>{MayNot(u"Accessories"), MayNot(u"Browser"),
                                          MayNot(u"Mail"), MayNot(u"Office")}));
  EXPECT_NE(dialogs.ErrorReports()[0].find(u"start Ostrevane Software as administrator"),
            Text::npos);
  EXPECT_EQ(dialogs.shown.back().text, u"Done.");
}

TEST_F(RecyclerWin32Test, AFolderGoesWithoutTheFileTheShellWouldCallConnectedToIt) {
  // To the shell on Windows, "Report_files" belongs with "Report.htm" and
  // moves with it; nobody ticked the page. (Wine's shell has no connected
  // files, so here this shows only that the page stays.)
  current.MakeFolder(u"Report_files");
  current.MakeFile(u"Report_files\\image.png");
  current.MakeFile(u"Report.htm", "page");
  Scan();
  Tick(u"CReport_files");
  Click();
  EXPECT_EQ(trash.FileNames(), (std::vector<Text>{u"Report_files"}));
  EXPECT_EQ(Contents(current.path() + u"\\Report.htm"), "page");
  EXPECT_TRUE(dialogs.ErrorReports().empty());
}

TEST_F(RecyclerWin32Test, ALinkIsNeverFollowedToWhatItPointsTo) {
  // Linux links in the Programs folder: the shell would move their targets,
  // wherever they are, and leave the links. A hard link is a name of the file
  // like any other: it goes alone and the other name keeps the contents.
  TempFolder elsewhere;
  elsewhere.MakeFolder(u"Docs");
  elsewhere.MakeFile(u"Docs\\Letter.txt", "letter");
  elsewhere.MakeFile(u"Notes.txt", "notes");
  current.MakeFolder(u"Holder");
  const std::string here = OnLinux(current.path()), there = OnLinux(elsewhere.path());
  RunOnLinux("cd " + here + " && ln -s " + there + "/Docs 'Linked Docs' && ln -s " + there +
             "/Notes.txt 'Linked File.lnk' && ln -s " + there + "/Gone 'Dangling.lnk' && ln -s " +
             there + "/Docs Holder/Inner && ln " + there + "/Notes.txt Hard.lnk");
  // Removed on Linux, which never follows a link into its target.
  const AtEnd cleanup("cd " + here +
                      " && rm -f 'Linked Docs' 'Linked File.lnk' 'Dangling.lnk' && " +
                      "rm -rf Holder " + OnLinux(trash.Files()) + "/Holder");
  Scan();
  // Wine lists no link that leads nowhere.
  ASSERT_EQ(RowKeys(),
            (std::vector<Text>{u"CHard.lnk", u"CHolder", u"CLinked Docs", u"CLinked File.lnk"}));
  for (const Text& key : RowKeys()) Tick(key);
  Click();

  EXPECT_EQ(Contents(elsewhere.path() + u"\\Docs\\Letter.txt"), "letter");
  EXPECT_EQ(Contents(elsewhere.path() + u"\\Notes.txt"), "notes");
  EXPECT_EQ(
      RunOnLinux("cd " + here + " && test -L 'Linked Docs' && test -L 'Linked File.lnk' && ls"),
      "Dangling.lnk\nLinked Docs\nLinked File.lnk\n");
  EXPECT_EQ(trash.FileNames(), (std::vector<Text>{u"Hard.lnk", u"Holder"}));
  EXPECT_EQ(Contents(trash.Files() + u"\\Hard.lnk"), "notes");
  EXPECT_EQ(CheckedKeys(), (std::vector<Text>{u"CLinked Docs", u"CLinked File.lnk"}));
  const auto link = [&](const Text& name, const Text& target) {
    return name + u": it is a link to \"" + target +
           u"\", and the shell would move what it points to instead of the link.";
  };
  EXPECT_EQ(Unmoved(), (std::vector<Text>{
                           link(u"Linked Docs", elsewhere.path() + u"\\Docs"),
                           link(u"Linked File", elsewhere.path() + u"\\Notes.txt"),
                       }));
  EXPECT_TRUE(boxes.Captions().empty());
}

TEST_F(RecyclerWin32Test, AnEntryReplacedByADanglingLinkIsNotDeleted) {
  current.MakeFile(u"Game.lnk");
  Scan();
  Tick(u"CGame.lnk");
  const std::string here = OnLinux(current.path());
  RunOnLinux("cd " + here + " && rm Game.lnk && ln -s /nonexistent/target Game.lnk");
  const AtEnd cleanup("rm -f " + here + "/Game.lnk");
  Click();
  EXPECT_EQ(RunOnLinux("readlink " + here + "/Game.lnk"), "/nonexistent/target\n");
  EXPECT_TRUE(trash.FileNames().empty());
  EXPECT_EQ(CheckedKeys(), (std::vector<Text>{u"CGame.lnk"}));
  EXPECT_EQ(Unmoved(), (std::vector<Text>{u"Game: it is no longer there."}));
}

// Names that differ only in case, side by side in case-sensitive Linux
// folders; Windows calls would open the namesake that is already there.
class CaseNamesakes : public RecyclerWin32Test {
 protected:
  void SetUp() override {
    RecyclerWin32Test::SetUp();
    RunOnLinux("cd " + OnLinux(current.path()) +
               " && printf lower >Game.lnk && printf upper >GAME.lnk && mkdir Tools TOOLS && "
               "printf t >Tools/t.lnk && printf T >TOOLS/T.lnk");
    RunOnLinux("cd " + OnLinux(all.path()) + " && printf shared >game.lnk");
    Scan();
  }
};

TEST_F(CaseNamesakes, EachRowCarriesOneMarkAndItsOwnEntryAloneIsRecycled) {
  std::set<Text> texts;  // in the folders' own order, which Linux does not fix
  for (std::size_t p = 1; p <= list.Count(); ++p) texts.emplace(list.Entry(p).text);
  EXPECT_EQ(texts, (std::set<Text>{u"Tools", u"TOOLS", u"game (All Users)", u"Game (Current User)",
                                   u"GAME (Current User)"}));

  Tick(u"CGAME.lnk");
  Tick(u"CTOOLS");
  Click();
  EXPECT_TRUE(dialogs.ErrorReports().empty());
  EXPECT_EQ(RowKeys(), (std::vector<Text>{u"Agame.lnk", u"CGame.lnk", u"CTools"}));
  EXPECT_EQ(trash.FileNames(), (std::vector<Text>{u"GAME.lnk", u"TOOLS"}));
  EXPECT_EQ(Contents(trash.Files() + u"\\GAME.lnk"), "upper");
  EXPECT_EQ(NamesIn(current.path()), (std::vector<Text>{u"Game.lnk", u"Tools"}));
  EXPECT_EQ(Contents(current.path() + u"\\Game.lnk"), "lower");
  EXPECT_EQ(Contents(current.path() + u"\\Tools\\t.lnk"), "t");
}

TEST_F(CaseNamesakes, ANameThatIsGoneNeverReachesItsCaseNamesake) {
  Tick(u"CGAME.lnk");
  Tick(u"CTOOLS");
  RunOnLinux("cd " + OnLinux(current.path()) + " && rm -r GAME.lnk TOOLS");
  Click();
  EXPECT_TRUE(trash.FileNames().empty());
  EXPECT_EQ(NamesIn(current.path()), (std::vector<Text>{u"Game.lnk", u"Tools"}));
  EXPECT_EQ(Contents(current.path() + u"\\Game.lnk"), "lower");
  EXPECT_EQ(CheckedKeys(), (std::vector<Text>{u"CGAME.lnk", u"CTOOLS"}));
  const auto namesake = [&](const Text& name, const Text& other) {
    return name + u": no entry has exactly that name; \"" + other +
           u"\" differs from it in letter case and is another entry.";
  };
  EXPECT_EQ(Unmoved(), (std::vector<Text>{namesake(u"GAME (Current User)", u"Game.lnk"),
                                          namesake(u"TOOLS", u"Tools")}));
}

TEST_F(RecyclerWin32Test, APathTooLongForTheShellIsNotHandedToIt) {
  // The shell cuts or drops a path past its limit; a cut path could name a
  // shorter entry beside it.
  const std::size_t room = kLongestShellPath - current.path().size() - 1;
  const std::string cut(room, 'n');
  const std::string whole = cut + "nn.lnk";
  RunOnLinux("cd " + OnLinux(current.path()) + " && touch " + whole + " " + cut);
  const AtEnd cleanup("cd " + OnLinux(current.path()) + " && rm -f " + whole + " " + cut);
  Scan();
  const Text key = u"C" + FromUtf8(whole);
  Tick(key);
  Click();
  EXPECT_EQ(NamesIn(current.path()).size(), 2u);
  EXPECT_TRUE(trash.FileNames().empty());
  EXPECT_EQ(CheckedKeys(), (std::vector<Text>{key}));
  ASSERT_EQ(Unmoved().size(), 1u);
  EXPECT_NE(Unmoved()[0].find(u"more than the 259 the shell can take."), Text::npos);
}

TEST_F(RecyclerWin32Test, AVolumeMountedInTheFolderIsNotDeleted) {
  // Recycling a mount point cannot move it, so the shell offers to delete
  // what the volume holds for good. Wine marks a folder mounted there, but
  // not a file mounted in place of one. Only root may mount.
  current.MakeFolder(u"Mounted");
  current.MakeFile(u"Bound.lnk");
  TempFolder volume;
  const std::string point = OnLinux(current.path() + u"\\Mounted");
  const std::string bound = OnLinux(current.path() + u"\\Bound.lnk");
  const std::string file = OnLinux(volume.path()) + "/mounted";
  try {
    RunOnLinux("mount -t tmpfs ostrevane-test " + point + " && printf kept >" + point + "/in.txt");
  } catch (const std::exception&) {
    GTEST_SKIP() << "needs the right to mount";
  }
  const AtEnd unmount("umount " + point);
  RunOnLinux("mkdir " + file + " && mount -t tmpfs ostrevane-test " + file + " && printf kept >" +
             file + "/in.lnk && mount --bind " + file + "/in.lnk " + bound);
  const AtEnd unbind("umount " + bound + " && umount " + file);
  Scan();
  Tick(u"CMounted");
  Tick(u"CBound.lnk");
  boxes.AnswerWith(IDYES);
  Click();
  EXPECT_TRUE(boxes.Captions().empty());
  EXPECT_EQ(Contents(current.path() + u"\\Mounted\\in.txt"), "kept");
  EXPECT_EQ(Contents(current.path() + u"\\Bound.lnk"), "kept");
  EXPECT_EQ(CheckedKeys(), (std::vector<Text>{u"CBound.lnk", u"CMounted"}));
  const Text why =
      u": another volume is mounted there, and the shell could delete what that volume holds "
      u"for good instead of moving it to the Recycle Bin.";
  EXPECT_EQ(Unmoved(), (std::vector<Text>{u"Bound" + why, u"Mounted" + why}));
}

TEST_F(RecyclerWin32Test, AFolderThatBecameALinkIsFollowedAfreshNotTakenForTheLinkOfAnEntry) {
  // The recycler keeps where the folder of the last entry leads. A folder
  // replaced by a link to where it went must not make its entries look like
  // links to somewhere else.
  current.MakeFolder(u"Sub");
  current.MakeFile(u"Sub\\A.lnk");
  current.MakeFile(u"Sub\\B.lnk");
  win32::Win32Recycler recycler;
  EXPECT_EQ(recycler.Recycle(current.path() + u"\\Sub\\A.lnk"), std::nullopt);
  const std::string here = OnLinux(current.path());
  RunOnLinux("cd " + here + " && mv Sub Real && ln -s Real Sub");
  const AtEnd cleanup("rm -f " + here + "/Sub");
  EXPECT_EQ(recycler.Recycle(current.path() + u"\\Sub\\B.lnk"), std::nullopt);
  EXPECT_EQ(trash.FileNames(), (std::vector<Text>{u"A.lnk", u"B.lnk"}));
}

}  // namespace
}  // namespace ostrevane
