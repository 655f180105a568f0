// End-to-end tests: the built program, started as its own process in a
// throwaway Wine prefix, driven from outside as a person would drive it. The
// tests fill the two Programs folders, read the rows and their check marks
// from the list on screen, click the buttons, type into the input box, answer
// the boxes, and afterwards look at the folders and the Recycle Bin on disk.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>

#include "window_form/form_layout.h"
#include "win32/win_text.h"
#include "support/wine_host.h"
#include "win32/form_pixels.h"
#include "win32/test_folders.h"

namespace ostrevane {
namespace {

using testing::DosPathOf;
using testing::Environment;
using testing::NamesIn;
using testing::PathExists;
using testing::RemoveTree;
using testing::SpecialFolder;
using testing::UnixPathOf;
using win32::FromWide;
using win32::Wide;

constexpr DWORD kPatienceMs = 15000;

int ControlId(ControlName name) {
  for (const ControlLayout& c : kForm1Controls) {
    if (c.name == name) return c.control_id;
  }
  return 0;
}

void EmptyFolder(const Text& folder) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(Wide(folder + u"\\*"), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const Text name = FromWide(data.cFileName);
    if (name != u"." && name != u"..") RemoveTree(folder + u"\\" + name);
  } while (FindNextFileW(find, &data));
  FindClose(find);
}

void MakeFolder(const Text& path) { CreateDirectoryW(Wide(path), nullptr); }

void MakeFile(const Text& path, const char* contents = "[InternetShortcut]") {
  HANDLE file = CreateFileW(Wide(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, contents, static_cast<DWORD>(strlen(contents)), &written, nullptr);
  CloseHandle(file);
}

// The Recycle Bin on disk: where each entry in it came from.
std::multiset<std::string> TrashOrigins() {
  std::multiset<std::string> origins;
  const Text info = DosPathOf(Environment(L"XDG_DATA_HOME")) + u"\\Trash\\info";
  for (const Text& name : NamesIn(info)) {
    std::ifstream file(UnixPathOf(info + u"\\" + name));
    std::string line;
    while (std::getline(file, line)) {
      if (line.rfind("Path=", 0) != 0) continue;
      std::string decoded;  // the path is URL-encoded
      for (std::size_t i = 5; i < line.size(); ++i) {
        if (line[i] == '%' && i + 2 < line.size()) {
          decoded += static_cast<char>(std::stoi(line.substr(i + 1, 2), nullptr, 16));
          i += 2;
        } else {
          decoded += line[i];
        }
      }
      origins.insert(decoded);
    }
  }
  return origins;
}

struct Row {
  Text text;
  Text type;
  bool checked;
  bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& row) {
  return out << "{" << ToUtf8(row.text) << ", " << ToUtf8(row.type) << ", "
             << (row.checked ? "checked" : "unchecked") << "}";
}

// A box of the program: its caption, its message and its buttons.
struct Box {
  HWND hwnd = nullptr;
  Text caption;
  Text message;
};

// The running program and what a person sees of it.
class Program {
 public:
  enum class Start { kNormal, kMaximized };

  // Started with the driver's environment, where `data_home`, when given,
  // replaces XDG_DATA_HOME: the folder that holds the Recycle Bin. Maximized,
  // it is started as a person does it from the command prompt.
  explicit Program(const Text& data_home = Text(), Start start = Start::kNormal) {
    const Text exe = DosPathOf(Environment(L"OSTREVANE_E2E_PROGRAM"));
    if (start == Start::kMaximized) {
      StartMaximized(exe);
      return;
    }
    Text command = u"\"" + exe + u"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    const Text own_data_home = Environment(L"XDG_DATA_HOME");
    if (!data_home.empty()) SetEnvironmentVariableW(L"XDG_DATA_HOME", Wide(data_home));
    const BOOL started =
        CreateProcessW(Wide(exe), reinterpret_cast<wchar_t*>(command.data()), nullptr, nullptr,
                       FALSE, 0, nullptr, nullptr, &startup, &process_);
    const DWORD error = GetLastError();
    SetEnvironmentVariableW(L"XDG_DATA_HOME", Wide(own_data_home));
    if (!started) {
      ADD_FAILURE() << "cannot start " << ToUtf8(exe) << ": " << error;
      return;
    }
    WaitForInputIdle(process_.hProcess, kPatienceMs);
    form_ = WaitFor([&] { return FindTopLevel(L"OstrevaneForm1", nullptr); });
    if (form_) {
      list_ = GetDlgItem(GetDlgItem(form_, ControlId(ControlName::kFrame3)),
                         ControlId(ControlName::kListView1));
    }
  }

  ~Program() {
    if (!process_.hProcess) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
      PostMessageW(form_, WM_CLOSE, 0, 0);
      if (WaitForSingleObject(process_.hProcess, kPatienceMs) == WAIT_TIMEOUT) {
        TerminateProcess(process_.hProcess, 1);
      }
    }
    if (process_.hThread) CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }

  // "start /max" runs the program with its own show command and gives no
  // handle: the program's process is found through its window.
  void StartMaximized(const Text& exe) {
    Text command = u"cmd.exe /c start \"\" /max \"" + exe + u"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION shell{};
    if (!CreateProcessW(nullptr, reinterpret_cast<wchar_t*>(command.data()), nullptr, nullptr,
                        FALSE, 0, nullptr, nullptr, &startup, &shell)) {
      ADD_FAILURE() << "cannot run " << ToUtf8(command) << ": " << GetLastError();
      return;
    }
    WaitForSingleObject(shell.hProcess, kPatienceMs);
    CloseHandle(shell.hThread);
    CloseHandle(shell.hProcess);
    form_ = WaitFor([&] { return FindTopLevel(L"OstrevaneForm1", nullptr); });
    if (!form_) return;
    GetWindowThreadProcessId(form_, &process_.dwProcessId);
    process_.hProcess = OpenProcess(PROCESS_ALL_ACCESS, FALSE, process_.dwProcessId);
    list_ = GetDlgItem(GetDlgItem(form_, ControlId(ControlName::kFrame3)),
                       ControlId(ControlName::kListView1));
  }

  HWND form() const { return form_; }
  bool running() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }
  bool WaitForExit(DWORD ms) { return WaitForSingleObject(process_.hProcess, ms) == WAIT_OBJECT_0; }

  Text Caption(HWND hwnd) const {
    wchar_t buffer[4096] = {};
    GetWindowTextW(hwnd, buffer, 4096);  // marshalled across processes
    return FromWide(buffer);
  }

  // Every row of the list as it stands on screen.
  std::vector<Row> Rows() {
    Settle();
    std::vector<Row> rows;
    const int count = static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      const LRESULT state = SendMessageW(list_, LVM_GETITEMSTATE, i, LVIS_STATEIMAGEMASK);
      rows.push_back({ItemText(i, 0), ItemText(i, 1), ((state & LVIS_STATEIMAGEMASK) >> 12) == 2});
    }
    return rows;
  }

  // A click with the mouse on a button, as a person makes it.
  void Click(ControlName button) {
    const HWND control = GetDlgItem(form_, ControlId(button));
    RECT client;
    GetClientRect(control, &client);
    const LPARAM middle = MAKELPARAM(client.right / 2, client.bottom / 2);
    PostMessageW(control, WM_MOUSEMOVE, 0, middle);
    PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, middle);
    PostMessageW(control, WM_LBUTTONUP, 0, middle);
  }

  // Waits for a box of the program with this caption to open.
  Box WaitForBox(const wchar_t* caption) {
    Box box;
    box.hwnd = WaitFor([&] { return FindTopLevel(L"#32770", caption); });
    if (!box.hwnd) return box;
    box.caption = Caption(box.hwnd);
    EnumChildWindows(
        box.hwnd,
        [](HWND child, LPARAM out) -> BOOL {
          wchar_t cls[64] = {};
          GetClassNameW(child, cls, 64);
          if (_wcsicmp(cls, L"Static") == 0) {
            wchar_t text[4096] = {};
            GetWindowTextW(child, text, 4096);
            auto& message = *reinterpret_cast<Text*>(out);
            if (wcslen(text) > message.size()) message = FromWide(text);
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&box.message));
    return box;
  }

  bool BoxOpen(const wchar_t* caption) { return FindTopLevel(L"#32770", caption) != nullptr; }

  void Press(const Box& box, int button) {
    PostMessageW(box.hwnd, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box.hwnd, button)));
    WaitFor([&] { return IsWindow(box.hwnd) ? nullptr : form_; });
  }

  // Types into the input box and presses OK.
  void Type(const Box& box, const Text& text) {
    SendMessageW(GetDlgItem(box.hwnd, 101), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(text)));
    Press(box, IDOK);
  }

  // Waits until the program has handled everything sent to it so far.
  void Settle() {
    DWORD_PTR ignored;
    SendMessageTimeoutW(form_, WM_NULL, 0, 0, SMTO_NORMAL, kPatienceMs, &ignored);
  }

 private:
  template <typename Find>
  HWND WaitFor(Find find) {
    for (DWORD waited = 0; waited < kPatienceMs; waited += 20) {
      if (HWND found = find()) return found;
      Sleep(20);
    }
    return nullptr;
  }

  HWND FindTopLevel(const wchar_t* cls, const wchar_t* caption) const {
    struct Search {
      DWORD pid;
      const wchar_t* cls;
      const wchar_t* caption;
      HWND found;
    } search{process_.dwProcessId, cls, caption, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
          auto& s = *reinterpret_cast<Search*>(param);
          DWORD pid = 0;
          GetWindowThreadProcessId(hwnd, &pid);
          wchar_t name[64] = {}, text[256] = {};
          GetClassNameW(hwnd, name, 64);
          GetWindowTextW(hwnd, text, 256);
          if ((pid == s.pid || s.pid == 0) && IsWindowVisible(hwnd) && wcscmp(name, s.cls) == 0 &&
              (!s.caption || wcscmp(text, s.caption) == 0)) {
            s.found = hwnd;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  // The list belongs to the program's process: its text is read through a
  // buffer placed in that process.
  Text ItemText(int item, int subitem) {
    constexpr SIZE_T kChars = 1024;
    void* remote = VirtualAllocEx(process_.hProcess, nullptr, sizeof(LVITEMW) + kChars * 2,
                                  MEM_COMMIT, PAGE_READWRITE);
    if (!remote) return u"<no memory>";
    LVITEMW request{};
    request.iSubItem = subitem;
    request.cchTextMax = kChars;
    request.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(remote) + sizeof(LVITEMW));
    WriteProcessMemory(process_.hProcess, remote, &request, sizeof(request), nullptr);
    const auto length = static_cast<int>(
        SendMessageW(list_, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(remote)));
    std::vector<wchar_t> text(kChars, L'\0');
    ReadProcessMemory(process_.hProcess, request.pszText, text.data(), kChars * 2, nullptr);
    VirtualFreeEx(process_.hProcess, remote, 0, MEM_RELEASE);
    return FromWide(text.data(), static_cast<std::size_t>(std::max(length, 0)));
  }

  PROCESS_INFORMATION process_{};
  HWND form_ = nullptr;
  HWND list_ = nullptr;
};

class EndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(Environment(L"OSTREVANE_E2E_PROGRAM").empty()) << "run through tests/e2e/run";
    ASSERT_FALSE(Environment(L"XDG_DATA_HOME").empty());
    current = SpecialFolder(CSIDL_PROGRAMS);
    all = SpecialFolder(CSIDL_COMMON_PROGRAMS);
    EmptyFolder(current);
    EmptyFolder(all);
    const Text trash = DosPathOf(Environment(L"XDG_DATA_HOME")) + u"\\Trash";
    RemoveTree(trash);
    MakeFolder(trash);
    MakeFolder(trash + u"\\files");
    MakeFolder(trash + u"\\info");
  }

  std::string Unix(const Text& folder, const Text& name) {
    return UnixPathOf(folder + u"\\" + name);
  }

  Text current, all;
};

constexpr wchar_t kTitle[] = L"Ostrevane";
constexpr wchar_t kReportCaption[] = L"Application Error";

TEST_F(EndToEndTest, TypicalUseSelectsByTextAndMovesBothNamesakesToTheRecycleBin) {
  MakeFile(current + u"\\Game.lnk");
  MakeFile(all + u"\\Game.lnk");
  MakeFolder(current + u"\\Endgame Tools");
  MakeFile(current + u"\\Endgame Tools\\Help.lnk");
  MakeFile(current + u"\\Notepad.lnk");
  MakeFile(current + u"\\Readme.txt");
  MakeFolder(all + u"\\Игры");
  MakeFile(all + u"\\Éditeur.lnk");

  Program program;
  ASSERT_TRUE(program.form());
  EXPECT_EQ(program.Caption(program.form()), u"Ostrevane Software");
  EXPECT_EQ(program.Rows(), (std::vector<Row>{
                                {u"Endgame Tools", u"Folder", false},
                                {u"Игры", u"Folder", false},
                                {u"Éditeur", u"Shortcut", false},
                                {u"Game (All Users)", u"Shortcut", false},
                                {u"Game (Current User)", u"Shortcut", false},
                                {u"Notepad", u"Shortcut", false},
                            }));

  program.Click(ControlName::kPushButton1);  // Select All Containing This Text
  Box input = program.WaitForBox(kTitle);
  ASSERT_TRUE(input.hwnd);
  EXPECT_EQ(input.message, u"Enter text:");
  program.Type(input, u"game");
  EXPECT_EQ(program.Rows(), (std::vector<Row>{
                                {u"Endgame Tools", u"Folder", true},
                                {u"Игры", u"Folder", false},
                                {u"Éditeur", u"Shortcut", false},
                                {u"Game (All Users)", u"Shortcut", true},
                                {u"Game (Current User)", u"Shortcut", true},
                                {u"Notepad", u"Shortcut", false},
                            }));

  program.Click(ControlName::kPushButton2);  // Start Deleting Checked Entries
  Box question = program.WaitForBox(kTitle);
  ASSERT_TRUE(question.hwnd);
  EXPECT_EQ(question.message, u"Are you sure you want to delete 3 item(s) from Start Menu?");
  program.Press(question, IDYES);
  Box done = program.WaitForBox(kTitle);
  ASSERT_TRUE(done.hwnd);
  EXPECT_EQ(done.message, u"Done.");
  program.Press(done, IDOK);

  EXPECT_EQ(program.Rows(), (std::vector<Row>{
                                {u"Игры", u"Folder", false},
                                {u"Éditeur", u"Shortcut", false},
                                {u"Notepad", u"Shortcut", false},
                            }));
  EXPECT_EQ(NamesIn(current), (std::vector<Text>{u"Notepad.lnk", u"Readme.txt"}));
  EXPECT_EQ(NamesIn(all), (std::vector<Text>{u"Éditeur.lnk", u"Игры"}));
  EXPECT_EQ(TrashOrigins(),
            (std::multiset<std::string>{Unix(current, u"Endgame Tools"), Unix(current, u"Game.lnk"),
                                        Unix(all, u"Game.lnk")}));
  // The folder went in one piece, with what it held.
  const Text trashed = DosPathOf(Environment(L"XDG_DATA_HOME")) + u"\\Trash\\files\\Endgame Tools";
  EXPECT_TRUE(PathExists(trashed + u"\\Help.lnk"));
  EXPECT_FALSE(program.BoxOpen(kReportCaption));
}

TEST_F(EndToEndTest, AnsweringNoDeletesNothingAndKeepsTheChecks) {
  MakeFile(current + u"\\One.lnk");
  MakeFolder(all + u"\\Two");
  Program program;
  ASSERT_TRUE(program.form());
  program.Click(ControlName::kPushButton4);  // Select All
  program.Click(ControlName::kPushButton2);
  Box question = program.WaitForBox(kTitle);
  ASSERT_TRUE(question.hwnd);
  EXPECT_EQ(question.message, u"Are you sure you want to delete 2 item(s) from Start Menu?");
  program.Press(question, IDNO);
  EXPECT_EQ(program.Rows(),
            (std::vector<Row>{{u"Two", u"Folder", true}, {u"One", u"Shortcut", true}}));
  EXPECT_FALSE(program.BoxOpen(kTitle));  // no "Done."
  EXPECT_EQ(NamesIn(current), (std::vector<Text>{u"One.lnk"}));
  EXPECT_EQ(NamesIn(all), (std::vector<Text>{u"Two"}));
  EXPECT_TRUE(TrashOrigins().empty());
}

TEST_F(EndToEndTest, AnEntryTheShellCannotMoveKeepsItsRowAndIsReported) {
  MakeFile(current + u"\\Busy.lnk", "busy");
  MakeFile(current + u"\\Free.lnk");
  Program program;
  ASSERT_TRUE(program.form());
  program.Click(ControlName::kPushButton4);  // Select All
  // Another program holds Busy.lnk open without sharing: the shell could not
  // move it, so it is not asked.
  HANDLE held = CreateFileW(Wide(current + u"\\Busy.lnk"), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);

  program.Click(ControlName::kPushButton2);
  Box question = program.WaitForBox(kTitle);
  ASSERT_TRUE(question.hwnd);
  program.Press(question, IDYES);

  Box report = program.WaitForBox(nullptr);
  ASSERT_TRUE(report.hwnd);
  EXPECT_EQ(report.caption, u"Application Error");
  EXPECT_NE(report.message.find(u"1 entry was not moved to the Recycle Bin, and its row stays "
                                u"checked:\r\nBusy: another program has it open.\r\nin "
                                u"Velmarrow2021/08/31.Form1.PushButton2_Click at line 130\r\r"),
            Text::npos)
      << ToUtf8(report.message);
  program.Press(report, IDOK);
  Box done = program.WaitForBox(kTitle);
  ASSERT_TRUE(done.hwnd);
  EXPECT_EQ(done.message, u"Done.");
  program.Press(done, IDOK);
  CloseHandle(held);

  EXPECT_EQ(program.Rows(), (std::vector<Row>{{u"Busy", u"Shortcut", true}}));
  EXPECT_EQ(NamesIn(current), (std::vector<Text>{u"Busy.lnk"}));
  EXPECT_EQ(TrashOrigins(), (std::multiset<std::string>{Unix(current, u"Free.lnk")}));
}

// Answers every box of a deletion pass until "Done.": the shell's own
// questions with `shell_answer`, the program's reports with OK. Returns the
// shell's questions and the reports, in the order they came.
struct PassBoxes {
  std::vector<Text> shell_questions;  // their captions
  std::vector<Text> reports;
};

PassBoxes AnswerUntilDone(Program& program, int shell_answer) {
  PassBoxes seen;
  for (int boxes = 0; boxes < 20; ++boxes) {
    Box box = program.WaitForBox(nullptr);
    if (!box.hwnd) {
      ADD_FAILURE() << "the pass ended without \"Done.\"";
      break;
    }
    if (box.caption == u"Ostrevane" && box.message == u"Done.") {
      program.Press(box, IDOK);
      break;
    }
    if (box.caption == u"Application Error") {
      seen.reports.push_back(box.message);
      program.Press(box, IDOK);
    } else {
      seen.shell_questions.push_back(box.caption);
      program.Press(box, shell_answer);
    }
  }
  return seen;
}

TEST_F(EndToEndTest, WithoutARecycleBinTheShellAsksAndOnlyYesDeletesForGood) {
  MakeFile(current + u"\\One.lnk");
  MakeFolder(current + u"\\Two");
  MakeFile(current + u"\\Two\\Inside.lnk");
  MakeFile(current + u"\\Kept.lnk");
  // Wine makes the trash folder when it first needs it, as long as the data
  // folder that holds it exists: a data folder that does not leaves the
  // program without a Recycle Bin.
  Program program(Environment(L"XDG_DATA_HOME") + u"/missing");
  ASSERT_TRUE(program.form());
  program.Click(ControlName::kPushButton4);  // Select All
  program.Click(ControlName::kPushButton2);
  Box question = program.WaitForBox(kTitle);
  ASSERT_TRUE(question.hwnd);
  EXPECT_EQ(question.message, u"Are you sure you want to delete 3 item(s) from Start Menu?");
  program.Press(question, IDYES);
  PassBoxes first = AnswerUntilDone(program, IDNO);
  std::sort(first.shell_questions.begin(), first.shell_questions.end());
  EXPECT_EQ(first.shell_questions,
            (std::vector<Text>{u"Confirm file deletion", u"Confirm file deletion",
                               u"Confirm folder deletion"}));
  // One report for the three.
  ASSERT_EQ(first.reports.size(), 1u);
  for (const Text name : {u"One", u"Two", u"Kept"}) {
    EXPECT_NE(first.reports[0].find(u"\r\n" + Text(name) +
                                    u": the deletion was cancelled; it was not moved to the "
                                    u"Recycle Bin.\r\n"),
              Text::npos)
        << ToUtf8(first.reports[0]);
  }
  EXPECT_EQ(program.Rows(), (std::vector<Row>{{u"Two", u"Folder", true},
                                              {u"Kept", u"Shortcut", true},
                                              {u"One", u"Shortcut", true}}));
  EXPECT_EQ(NamesIn(current), (std::vector<Text>{u"Kept.lnk", u"One.lnk", u"Two"}));
  EXPECT_TRUE(PathExists(current + u"\\Two\\Inside.lnk"));

  // Yes is the user's choice to delete for good.
  program.Click(ControlName::kPushButton5);  // Unselect All
  program.Click(ControlName::kPushButton1);  // Select All Containing This Text
  Box input = program.WaitForBox(kTitle);
  ASSERT_TRUE(input.hwnd);
  program.Type(input, u"o");
  program.Click(ControlName::kPushButton2);
  question = program.WaitForBox(kTitle);
  ASSERT_TRUE(question.hwnd);
  EXPECT_EQ(question.message, u"Are you sure you want to delete 2 item(s) from Start Menu?");
  program.Press(question, IDYES);
  PassBoxes second = AnswerUntilDone(program, IDYES);
  EXPECT_EQ(second.shell_questions.size(), 2u);
  EXPECT_TRUE(second.reports.empty());
  EXPECT_EQ(program.Rows(), (std::vector<Row>{{u"Kept", u"Shortcut", false}}));
  EXPECT_EQ(NamesIn(current), (std::vector<Text>{u"Kept.lnk"}));
  EXPECT_TRUE(TrashOrigins().empty());
}

TEST_F(EndToEndTest, ClosingTheWindowInTheMiddleOfAPassEndsTheProgramAtOnce) {
  for (int i = 0; i < 300; ++i) MakeFile(current + u"\\Entry " + DecimalText(i) + u".lnk");
  Program program;
  ASSERT_TRUE(program.form());
  program.Click(ControlName::kPushButton4);
  program.Click(ControlName::kPushButton2);
  Box question = program.WaitForBox(kTitle);
  ASSERT_TRUE(question.hwnd);
  // The close arrives while the pass lets events run.
  PostMessageW(question.hwnd, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(question.hwnd, IDYES)));
  PostMessageW(program.form(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.WaitForExit(kPatienceMs));
  // Nothing after the close: most entries are still there, none lost.
  const std::size_t left = NamesIn(current).size();
  EXPECT_GE(left, 290u);
  EXPECT_EQ(left + TrashOrigins().size(), 300u);
}

}  // namespace
TEST_F(EndToEndTest, StartedMaximizedTheWindowKeepsItsFixedSizeWhateverAsksToMaximize) {
  MakeFolder(current + u"\\Games");
  Program program(Text(), Program::Start::kMaximized);
  ASSERT_TRUE(program.form());
  ASSERT_EQ(GetDpiForWindow(program.form()), 96u);
  const auto expect_fixed = [&](const char* after) {
    // A maximize asked from another process, and the restore the window
    // posts itself, arrive after messages sent meanwhile: allow them a moment.
    for (int waited = 0; waited < 2000 && IsZoomed(program.form()); waited += 20) Sleep(20);
    program.Settle();
    RECT client;
    GetClientRect(program.form(), &client);
    EXPECT_FALSE(IsZoomed(program.form())) << after;
    EXPECT_EQ(client.right, 536) << after;  // 8040 twips at 96 DPI
    EXPECT_EQ(client.bottom, 497) << after;
  };
  expect_fixed("start /max");
  SendMessageW(program.form(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  expect_fixed("the system menu's Maximize");
  SendMessageW(program.form(), WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
  expect_fixed("a double-click on the caption");
  ShowWindow(program.form(), SW_MAXIMIZE);
  expect_fixed("ShowWindow(SW_MAXIMIZE)");
  EXPECT_TRUE(program.running());
}

}  // namespace ostrevane

namespace ostrevane {
namespace {

// The real program at the DPI the prefix runs at (96, then 144 in a second
// run): every control at its pixel position for that DPI.
TEST_F(EndToEndTest, LayoutMatchesThePixelPositionsAtTheSystemDpi) {
  const Text wanted = Environment(L"OSTREVANE_E2E_DPI");
  const int dpi = wanted.empty() ? 96 : std::stoi(ToUtf8(wanted));
  MakeFolder(current + u"\\Games");
  Program program;
  ASSERT_TRUE(program.form());
  EXPECT_EQ(static_cast<int>(GetDpiForWindow(program.form())), dpi);
  RECT client;
  GetClientRect(program.form(), &client);
  const SIZE client_size = dpi == 144 ? testing::kFormClientAt144 : testing::kFormClientAt96;
  EXPECT_EQ(client.right, client_size.cx);
  EXPECT_EQ(client.bottom, client_size.cy);
  const HWND frame = GetDlgItem(program.form(), ControlId(ControlName::kFrame3));
  for (const testing::PixelRect& pixels : testing::kFormPixels) {
    const HWND parent = pixels.name == ControlName::kListView1 ? frame : program.form();
    const HWND control = GetDlgItem(parent, ControlId(pixels.name));
    const int id = static_cast<int>(pixels.name);
    ASSERT_TRUE(control) << "control " << id;
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    const RECT& expected = testing::PixelsAt(pixels, dpi);
    EXPECT_EQ(rect.left, expected.left) << "control " << id;
    EXPECT_EQ(rect.top, expected.top) << "control " << id;
    EXPECT_EQ(rect.right, expected.right) << "control " << id;
    EXPECT_EQ(rect.bottom, expected.bottom) << "control " << id;
  }
  const HWND list = GetDlgItem(frame, ControlId(ControlName::kListView1));
  const int* widths = dpi == 144 ? testing::kColumnWidthsAt144 : testing::kColumnWidthsAt96;
  EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), widths[0]);
  EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0), widths[1]);
}

}  // namespace
}  // namespace ostrevane
