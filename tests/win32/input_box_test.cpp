#include "window/input_box.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "catalogue/entry_list.h"
#include "window_rules/selection.h"
#include "window/dialogs_win32.h"
#include "win32/collation.h"
#include "win32/win_text.h"
#include "support/fakes.h"

namespace ostrevane {
namespace {

using namespace std::chrono_literals;
using win32::FromWide;

enum class Answer { kOk, kCancel, kCloseBox, kEnter, kEscape };

// What the answering thread saw of the box.
struct Seen {
  bool found = false;
  Text prompt;
  Text edit_at_start;
  bool focus_in_edit = false;
  bool closed_by_answer = false;
};

struct FindBoxState {
  const Text* caption;
  HWND box;
};

BOOL CALLBACK MatchBox(HWND window, LPARAM lparam) {
  auto* state = reinterpret_cast<FindBoxState*>(lparam);
  wchar_t class_name[16] = {};
  GetClassNameW(window, class_name, 16);
  wchar_t title[128] = {};
  GetWindowTextW(window, title, 128);
  if (Text(u"#32770") == FromWide(class_name) && *state->caption == FromWide(title)) {
    state->box = window;
    return FALSE;
  }
  return TRUE;
}

// Waits for the box with `caption` among the windows of `thread`.
HWND WaitForBox(DWORD thread, const Text& caption) {
  const auto give_up = std::chrono::steady_clock::now() + 10s;
  while (std::chrono::steady_clock::now() < give_up) {
    FindBoxState state{&caption, nullptr};
    EnumThreadWindows(thread, MatchBox, reinterpret_cast<LPARAM>(&state));
    if (state.box && IsWindowVisible(state.box)) return state.box;
    std::this_thread::sleep_for(10ms);
  }
  return nullptr;
}

Text ItemText(HWND box, int id) {
  const HWND item = GetDlgItem(box, id);
  wchar_t buffer[256] = {};
  const int length = GetWindowTextW(item, buffer, 256);
  return FromWide(buffer, static_cast<std::size_t>(length));
}

// Runs on a second thread, as the user would: looks at the box, types into
// its edit box a key at a time, then answers.
Seen AnswerBox(DWORD thread, const Text& caption, const Text& typed, Answer answer) {
  Seen seen;
  const HWND box = WaitForBox(thread, caption);
  if (!box) return seen;
  seen.found = true;
  seen.prompt = ItemText(box, window::kInputBoxPromptId);
  seen.edit_at_start = ItemText(box, window::kInputBoxEditId);
  const HWND edit = GetDlgItem(box, window::kInputBoxEditId);
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  seen.focus_in_edit = GetGUIThreadInfo(thread, &gui) && gui.hwndFocus == edit;

  for (char16_t unit : typed) SendMessageW(edit, WM_CHAR, unit, 1);
  switch (answer) {
    case Answer::kOk:
      PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
      break;
    case Answer::kCancel:
      PostMessageW(GetDlgItem(box, IDCANCEL), BM_CLICK, 0, 0);
      break;
    case Answer::kCloseBox:
      PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
    case Answer::kEnter:
      PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
      break;
    case Answer::kEscape:
      PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 1);
      break;
  }
  const auto give_up = std::chrono::steady_clock::now() + 10s;
  while (IsWindow(box) && std::chrono::steady_clock::now() < give_up) {
    std::this_thread::sleep_for(10ms);
  }
  seen.closed_by_answer = !IsWindow(box);
  // Never leave the test hanging on a box the answer did not close.
  if (!seen.closed_by_answer) PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
  return seen;
}

// Shows a box on this thread with `show` while a second thread answers it.
Text ShowAndAnswer(const std::function<Text()>& show, const Text& caption, const Text& typed,
                   Answer answer, Seen& seen) {
  const DWORD this_thread = GetCurrentThreadId();
  std::thread user([&] { seen = AnswerBox(this_thread, caption, typed, answer); });
  Text result;
  try {
    result = show();
  } catch (...) {
    user.join();
    throw;
  }
  user.join();
  return result;
}

void ExpectFreshBox(const Seen& seen) {
  EXPECT_TRUE(seen.found);
  EXPECT_EQ(seen.prompt, u"Enter text:");
  EXPECT_EQ(seen.edit_at_start, u"");
  EXPECT_TRUE(seen.focus_in_edit);
  EXPECT_TRUE(seen.closed_by_answer);
}

// OK and Enter give the typed text; Cancel, the Close box and Escape the
// empty text.
TEST(InputBoxTest, EachWayOfClosingTheBoxGivesItsText) {
  const Text typed = u"Spiel É д Σ";
  for (const auto& [answer, expected] : {std::pair<Answer, Text>{Answer::kOk, typed},
                                         {Answer::kEnter, typed},
                                         {Answer::kCancel, u""},
                                         {Answer::kCloseBox, u""},
                                         {Answer::kEscape, u""}}) {
    SCOPED_TRACE(static_cast<int>(answer));
    const Text caption = u"Input box test " + DecimalText(static_cast<int>(answer));
    Seen seen;
    const Text result =
        ShowAndAnswer([&] { return window::ShowInputBox(nullptr, u"Enter text:", caption); },
                      caption, typed, answer, seen);
    ExpectFreshBox(seen);
    EXPECT_EQ(result, expected);
  }
}

TEST(InputBoxTest, TheTextCommandAsksThroughTheBoxUnderTheApplicationTitle) {
  EntryList list;
  list.Add(u"C1", u"Игры");
  list.Add(u"C2", u"Tools");
  list.Add(u"C3", u"Мои игры");
  window::Win32Dialogs dialogs;
  testing::RecordingButtons buttons;
  SelectionContext context{list, dialogs, buttons, testing::kTitle};
  Seen seen;
  ShowAndAnswer(
      [&] {
        SelectContaining(context);
        return Text();
      },
      u"Ostrevane", u"ИГР", Answer::kOk, seen);
  ExpectFreshBox(seen);
  EXPECT_TRUE(list.Checked(1));
  EXPECT_FALSE(list.Checked(2));
  EXPECT_TRUE(list.Checked(3));
}

// Restores the portable mapping when the test ends.
struct SystemCaseMapping {
  SystemCaseMapping() { win32::InstallSystemCaseMapping(); }
  ~SystemCaseMapping() { SetCaseMapping(nullptr); }
};

TEST(SystemCaseMappingTest, NameContainsIgnoresCaseOfLettersBeyondBasicLatin) {
  SystemCaseMapping mapping;
  for (const auto& [upper, lower] : {std::pair<Text, Text>{u"É", u"é"},
                                     {u"Ä", u"ä"},
                                     {u"Д", u"д"},
                                     {u"Σ", u"σ"},
                                     {u"Ա", u"ա"},
                                     {u"Ａ", u"ａ"}}) {
    SCOPED_TRACE(ToUtf8(upper));
    EXPECT_TRUE(NameContains(u"x" + upper + u"y", lower));
    EXPECT_TRUE(NameContains(u"x" + lower + u"y", upper));
    EXPECT_FALSE(NameContains(u"xy", upper));
  }
  EXPECT_FALSE(NameContains(u"Editeur", u"é"));
  EXPECT_FALSE(NameContains(u"", u""));
  EXPECT_TRUE(NameContains(u"Ärger", u""));
}

}  // namespace
}  // namespace ostrevane
