#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <array>
#include <thread>

#include "window_rules/error_report.h"
#include "window_form/form_layout.h"
#include "window/dialogs_win32.h"
#include "win32/handles.h"
#include "window/push_button.h"
#include "win32/win_text.h"
#include "support/list_scene.h"
#include "form_pixels.h"
#include "window_fixture.h"

namespace ostrevane {
namespace {

using testing::WindowUnderTest;
using win32::FromWide;

Text WindowText(HWND hwnd) {
  wchar_t buffer[512] = {};
  GetWindowTextW(hwnd, buffer, 512);
  return FromWide(buffer);
}

RECT RectInParent(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void ExpectGeometry(window::MainWindow& window, int dpi) {
  RECT client;
  GetClientRect(window.hwnd(), &client);
  const SIZE wanted = dpi == 144 ? testing::kFormClientAt144 : testing::kFormClientAt96;
  EXPECT_EQ(client.right, wanted.cx) << "dpi " << dpi;
  EXPECT_EQ(client.bottom, wanted.cy) << "dpi " << dpi;
  for (const testing::PixelRect& pixels : testing::kFormPixels) {
    const HWND control = window.Control(pixels.name);
    EXPECT_EQ(GetParent(control), pixels.name == ControlName::kListView1
                                      ? window.Control(ControlName::kFrame3)
                                      : window.hwnd());
    const RECT rect = RectInParent(control);
    const RECT& expected = testing::PixelsAt(pixels, dpi);
    const int id = static_cast<int>(pixels.name);
    EXPECT_EQ(rect.left, expected.left) << "control " << id << " at " << dpi;
    EXPECT_EQ(rect.top, expected.top) << "control " << id << " at " << dpi;
    EXPECT_EQ(rect.right, expected.right) << "control " << id << " at " << dpi;
    EXPECT_EQ(rect.bottom, expected.bottom) << "control " << id << " at " << dpi;
  }
}

// Posts a key as the keyboard does, and lets the program's own message loop
// handle it.
void PressKey(window::MainWindow& window, HWND control, WPARAM key) {
  PostMessageW(control, WM_KEYDOWN, key, 0);
  PostThreadMessageW(GetCurrentThreadId(), WM_QUIT, 0, 0);
  window.RunMessageLoop();
}

std::pair<Text, int> ColumnOf(HWND list, int index) {
  wchar_t text[64] = {};
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = text;
  column.cchTextMax = 64;
  ListView_GetColumn(list, index, &column);
  return {FromWide(text), column.cx};
}

TEST(MainWindowTest, EveryControlStandsAtItsPixelPositionAt96And144Dpi) {
  WindowUnderTest t;
  window::MainWindow& window = t.Open();
  ASSERT_EQ(window.dpi(), 96);
  ExpectGeometry(window, 96);
  EXPECT_EQ(ColumnOf(t.Control(ControlName::kListView1), 0),
            (std::pair<Text, int>{u"Menu Item", testing::kColumnWidthsAt96[0]}));
  EXPECT_EQ(ColumnOf(t.Control(ControlName::kListView1), 1),
            (std::pair<Text, int>{u"Type", testing::kColumnWidthsAt96[1]}));

  // Moving to a 144 DPI monitor lays everything out again.
  RECT suggested{100, 100, 900, 900};
  SendMessageW(window.hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144),
               reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(window.dpi(), 144);
  ExpectGeometry(window, 144);
  EXPECT_EQ(ColumnOf(t.Control(ControlName::kListView1), 0).second, testing::kColumnWidthsAt144[0]);
  EXPECT_EQ(ColumnOf(t.Control(ControlName::kListView1), 1).second, testing::kColumnWidthsAt144[1]);
  LOGFONTW font{};
  GetObjectW(
      reinterpret_cast<HFONT>(SendMessageW(t.Control(ControlName::kPushButton2), WM_GETFONT, 0, 0)),
      sizeof(font), &font);
  EXPECT_EQ(font.lfHeight, FontHeightPixels(kButtonFontCentipoints, 144));
}

TEST(MainWindowTest, WindowIsFixedSizeCentredAndCaptionedAfterStartUp) {
  WindowUnderTest t;
  window::MainWindow& window = t.Open();
  const LONG style = GetWindowLongW(window.hwnd(), GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_TRUE(IsWindowVisible(window.hwnd()));
  EXPECT_EQ(WindowText(window.hwnd()), u"Ostrevane Software");

  RECT rect;
  GetWindowRect(window.hwnd(), &rect);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(window.hwnd(), MONITOR_DEFAULTTOPRIMARY), &monitor);
  EXPECT_NEAR((rect.left + rect.right) / 2.0,
              (monitor.rcMonitor.left + monitor.rcMonitor.right) / 2.0, 1);
  EXPECT_NEAR((rect.top + rect.bottom) / 2.0,
              (monitor.rcMonitor.top + monitor.rcMonitor.bottom) / 2.0, 1);

  // Minimizing and restoring keeps every control where it was.
  ShowWindow(window.hwnd(), SW_MINIMIZE);
  ShowWindow(window.hwnd(), SW_RESTORE);
  ExpectGeometry(window, 96);
}

TEST(MainWindowTest, CaptionsTooltipFontsAndColoursAreTheDesignValues) {
  WindowUnderTest t;
  window::MainWindow& window = t.Open();
  EXPECT_EQ(WindowText(t.Control(ControlName::kPushButton2)), u"Start Deleting Checked Entries");

  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = window.hwnd();
  tool.uId = reinterpret_cast<UINT_PTR>(t.Control(ControlName::kListView1));
  wchar_t tip[256] = {};
  tool.lpszText = tip;
  SendMessageW(window.tooltip(), TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
  EXPECT_EQ(FromWide(tip), u"Move | line to right and out of window to reveal full names.");

  const auto font_of = [](HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(font),
               &font);
    return font;
  };
  const LOGFONTW list_font = font_of(t.Control(ControlName::kListView1));
  EXPECT_EQ(FromWide(list_font.lfFaceName), u"Arial");
  EXPECT_EQ(list_font.lfWeight, FW_BOLD);
  EXPECT_EQ(list_font.lfCharSet, 204);
  EXPECT_EQ(list_font.lfHeight, -12);  // 9 pt at 96 DPI
  EXPECT_EQ(font_of(t.Control(ControlName::kFrame3)).lfCharSet, 204);
  const LOGFONTW button_font = font_of(t.Control(ControlName::kPushButton4));
  EXPECT_EQ(button_font.lfHeight, -15);  // 11.25 pt at 96 DPI
  EXPECT_EQ(button_font.lfCharSet, 0);
  EXPECT_FALSE(button_font.lfItalic || button_font.lfUnderline || button_font.lfStrikeOut);

  EXPECT_EQ(window.FormBackground(), RGB(255, 255, 255));
  EXPECT_EQ(window.FrameBackground(), RGB(255, 255, 255));
  EXPECT_EQ(GetWindowLongW(t.Control(ControlName::kListView1), GWL_STYLE) & LVS_TYPEMASK,
            LVS_REPORT);
  EXPECT_TRUE(ListView_GetExtendedListViewStyle(t.Control(ControlName::kListView1)) &
              LVS_EX_CHECKBOXES);
}

TEST(MainWindowTest, TheListsTooltipShowsWhenThePointerRestsOnTheList) {
  WindowUnderTest t;
  window::MainWindow& window = t.Open();
  const HWND list = t.Control(ControlName::kListView1);
  RECT area;
  GetClientRect(list, &area);
  POINT centre{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
  POINT on_screen = centre;
  ClientToScreen(list, &on_screen);
  SetForegroundWindow(window.hwnd());
  SetCursorPos(on_screen.x, on_screen.y);
  // The list hands its mouse messages to the tooltip; nothing else tells it.
  SendMessageW(list, WM_MOUSEMOVE, 0, MAKELPARAM(centre.x, centre.y));
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  bool shown = false;
  for (const DWORD start = GetTickCount(); !shown && GetTickCount() - start < 3000;) {
    testing::PumpMessages();
    Sleep(20);
    shown = SendMessageW(window.tooltip(), TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  ASSERT_TRUE(shown);
  EXPECT_EQ(tool.uId, reinterpret_cast<UINT_PTR>(list));
}

// Assistive technology names and roles a control of the system's Button class
// by its caption and its type: a push button to press, or a grouping.
TEST(MainWindowTest, ButtonsAndFrameAreSystemButtonControlsNamedByTheirCaptions) {
  WindowUnderTest t;
  t.Open();
  for (const ControlLayout& c : kForm1Controls) {
    if (c.kind == ControlKind::kListView) continue;
    const HWND control = t.Control(c.name);
    wchar_t class_name[64] = {};
    GetClassNameW(control, class_name, 64);
    EXPECT_EQ(FromWide(class_name), u"Button") << ToUtf8(Text(c.text));
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    EXPECT_EQ(style & BS_TYPEMASK, c.kind == ControlKind::kFrame ? BS_GROUPBOX : BS_OWNERDRAW)
        << ToUtf8(Text(c.text));
    EXPECT_EQ((style & WS_TABSTOP) != 0, c.kind == ControlKind::kPushButton);
    EXPECT_EQ(WindowText(control), Text(c.text));
  }
}

// The face at (3, 3): inside the border, clear of the caption and the focus
// rectangle.
COLORREF FaceOf(HWND button) { return testing::PrintedControl(button).At(3, 3); }

TEST(MainWindowTest, ButtonFacesFollowPointerKeyAndFocusAndHighContrastTakesSystemColours) {
  WindowUnderTest t;
  t.exe_folder.MakeFolder(u"x");
  t.exe_folder.MakeFile(u"x\\o.cjs",
                        "[Ostrevane Skin]\nwindow = #C0D0E0\nbutton.face = #102030\n"
                        "button.hot = #203040\nbutton.pressed = #304050\n");
  bool high_contrast = false;
  t.high_contrast = [&] { return high_contrast; };
  window::MainWindow& window = t.Open();
  ASSERT_TRUE(t.dialogs.shown.empty());
  EXPECT_FALSE(window.high_contrast());
  const HWND button = t.Control(ControlName::kPushButton4);
  const HWND frame = t.Control(ControlName::kFrame3);
  EXPECT_EQ(FaceOf(button), RGB(0x10, 0x20, 0x30));
  SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(FaceOf(button), RGB(0x20, 0x30, 0x40));
  SendMessageW(button, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(FaceOf(button), RGB(0x10, 0x20, 0x30));
  SetFocus(button);
  SendMessageW(button, WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ(FaceOf(button), RGB(0x30, 0x40, 0x50));
  SendMessageW(button, WM_KEYUP, VK_SPACE, 0xC0000001);
  EXPECT_EQ(FaceOf(button), RGB(0x10, 0x20, 0x30));

  // The focus rectangle runs 4 pixels inside the edge, on the focused button only.
  SendMessageW(window.hwnd(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  const auto focus_dots = [](HWND control) {
    const testing::PrintedControl printed(control);
    int dots = 0;
    for (int x = 4; x < printed.width() - 4; ++x) dots += printed.At(x, 4) != printed.At(3, 3);
    return dots;
  };
  EXPECT_GT(focus_dots(button), 0);
  SetFocus(t.Control(ControlName::kListView1));
  EXPECT_EQ(focus_dots(button), 0);

  const testing::PrintedControl skinned_frame(frame);
  EXPECT_EQ(skinned_frame.At(skinned_frame.width() - 6, skinned_frame.height() / 2),
            RGB(0xC0, 0xD0, 0xE0));

  // High contrast turned on while the window is open: the system's colours
  // replace the skin's and the white.
  high_contrast = true;
  SendMessageW(window.hwnd(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
  EXPECT_TRUE(window.high_contrast());
  const COLORREF system_face = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(window.FormBackground(), system_face);
  EXPECT_EQ(window.FrameBackground(), system_face);
  for (ControlName name :
       {ControlName::kPushButton1, ControlName::kPushButton2, ControlName::kPushButton3,
        ControlName::kPushButton4, ControlName::kPushButton5}) {
    EXPECT_EQ(FaceOf(t.Control(name)), system_face);
  }
  SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(FaceOf(button), system_face);
  const testing::PrintedControl contrast_frame(frame);
  EXPECT_EQ(contrast_frame.At(contrast_frame.width() - 6, contrast_frame.height() / 2),
            system_face);

  // ... and back when it is turned off.
  high_contrast = false;
  SendMessageW(window.hwnd(), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_FALSE(window.high_contrast());
  EXPECT_EQ(window.FormBackground(), RGB(0xC0, 0xD0, 0xE0));
  SendMessageW(button, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(FaceOf(button), RGB(0x10, 0x20, 0x30));
}

TEST(MainWindowTest, AFailedHandlerIsReportedWithItsMessageAndTheWindowGoesOn) {
  WindowUnderTest t;
  bool fail = false;
  t.high_contrast = [&] {
    if (fail) throw Failure(u"The setting cannot be read");
    return false;
  };
  window::MainWindow& window = t.Open();
  fail = true;
  SendMessageW(window.hwnd(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
  EXPECT_EQ(
      t.dialogs.ErrorReports(),
      std::vector<Text>{u"The setting cannot be read\r\nin the window procedure at line 26\r\r"
                        u"Please email screenshot of this message to support@ostrevane.com"});
  EXPECT_EQ(t.dialogs.shown.back().caption, u"Application Error");
  fail = false;
  SendMessageW(window.hwnd(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
  EXPECT_EQ(t.dialogs.ErrorReports().size(), 1u);
}

TEST(MainWindowTest, HighContrastAtStartUpReplacesTheWhite) {
  WindowUnderTest t;
  t.high_contrast = [] { return true; };
  window::MainWindow& window = t.Open();
  EXPECT_TRUE(window.high_contrast());
  EXPECT_EQ(window.FormBackground(), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(FaceOf(t.Control(ControlName::kPushButton2)), GetSysColor(COLOR_BTNFACE));
}

TEST(MainWindowTest, FocusStartsInTheListAndTabFollowsTheTabIndex) {
  WindowUnderTest t;
  window::MainWindow& window = t.Open();
  const HWND list = t.Control(ControlName::kListView1);
  EXPECT_EQ(GetFocus(), list);
  const std::vector<HWND> cycle = {
      t.Control(ControlName::kPushButton4), t.Control(ControlName::kPushButton5),
      t.Control(ControlName::kPushButton2), t.Control(ControlName::kPushButton1),
      t.Control(ControlName::kPushButton3), list};
  HWND at = list;
  for (HWND expected : cycle) {
    at = GetNextDlgTabItem(window.hwnd(), at, FALSE);
    EXPECT_EQ(at, expected) << ToUtf8(WindowText(at));
  }
  EXPECT_EQ(GetNextDlgTabItem(window.hwnd(), list, TRUE), t.Control(ControlName::kPushButton3));

  // The Tab key itself, through the program's keyboard handling.
  PressKey(window, list, VK_TAB);
  EXPECT_EQ(GetFocus(), t.Control(ControlName::kPushButton4));
}

TEST(MainWindowTest, PointerIsTheHandOverButtonsOnlyWhenTheCursorFileLoaded) {
  for (const bool with_cursor : {false, true}) {
    WindowUnderTest t;
    if (with_cursor) t.exe_folder.MakeFile(u"HAND-M.CUR", testing::CursorFileBytes());
    window::MainWindow& window = t.Open();
    EXPECT_TRUE(t.dialogs.shown.empty());  // without a skin or a cursor file, no message at all
    EXPECT_EQ(window.mouse_icon() != nullptr, with_cursor);
    const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    const auto pointer_over = [&](HWND control) {
      SendMessageW(control, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
      SetCursor(nullptr);
      SendMessageW(control, WM_SETCURSOR, reinterpret_cast<WPARAM>(control),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
      return GetCursor();
    };
    for (ControlName button :
         {ControlName::kPushButton1, ControlName::kPushButton2, ControlName::kPushButton3,
          ControlName::kPushButton4, ControlName::kPushButton5}) {
      EXPECT_EQ(pointer_over(t.Control(button)), with_cursor ? window.mouse_icon() : arrow);
      EXPECT_EQ(pointer_over(t.Control(ControlName::kListView1)), arrow);
      pointer_over(t.Control(button));
      EXPECT_EQ(pointer_over(t.Control(ControlName::kFrame3)), arrow);
      pointer_over(t.Control(button));
      EXPECT_EQ(pointer_over(window.hwnd()), arrow);
    }
  }
}

TEST(MainWindowTest, UnreadableCursorFileIsReportedAt106AndStartUpGoesOn) {
  WindowUnderTest t;
  t.exe_folder.MakeFile(u"HAND-M.CUR", "this is no cursor");
  t.current_root.MakeFolder(u"Games");
  window::MainWindow& window = t.Open();
  const auto reports = t.dialogs.ErrorReports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(reports[0].find(u"\r\nin Velmarrow2021/08/31.Form1.Form_Load at line 106\r\r"),
            Text::npos);
  EXPECT_EQ(window.mouse_icon(), nullptr);
  EXPECT_EQ(WindowText(window.hwnd()), u"Ostrevane Software");
  EXPECT_EQ(window.list().Size(), 1u);
}

TEST(MainWindowTest, SkinFileRecoloursOrIsRefusedAt100WithColoursAlreadyChanged) {
  {
    WindowUnderTest t;
    t.exe_folder.MakeFolder(u"x");
    t.exe_folder.MakeFile(u"x\\o.cjs", "[Ostrevane Skin]\nbutton.face = #102030\nwindow = oops\n");
    window::MainWindow& window = t.Open();
    const auto reports = t.dialogs.ErrorReports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find(u"line 3"), Text::npos);
    EXPECT_NE(reports[0].find(u"Form_Load at line 100\r\r"), Text::npos);
    EXPECT_EQ(window.FormBackground(), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(window.FrameBackground(), GetSysColor(COLOR_BTNFACE));
  }
  {
    WindowUnderTest t;
    t.exe_folder.MakeFolder(u"x");
    t.exe_folder.MakeFile(u"x\\o.cjs",
                          "[Ostrevane Skin]\nwindow = #C0D0E0\nbutton.face = #102030\n");
    window::MainWindow& window = t.Open();
    EXPECT_TRUE(t.dialogs.shown.empty());
    EXPECT_EQ(window.FormBackground(), RGB(0xC0, 0xD0, 0xE0));
  }
  {
    // A skin file marked hidden counts as missing.
    WindowUnderTest t;
    t.exe_folder.MakeFolder(u"x");
    const Text skin = t.exe_folder.MakeFile(u"x\\o.cjs", "[Ostrevane Skin]\n");
    SetFileAttributesW(win32::Wide(skin), FILE_ATTRIBUTE_HIDDEN);
    window::MainWindow& window = t.Open();
    EXPECT_TRUE(t.dialogs.shown.empty());
    EXPECT_EQ(window.FormBackground(), RGB(255, 255, 255));
  }
}

TEST(MainWindowTest, AllUsersRootThatCannotBeOpenedIsReportedAt136AndKeepsCurrentUserRows) {
  WindowUnderTest t;
  t.current_root.MakeFolder(u"Zeta");
  t.current_root.MakeFile(u"Alpha.lnk");
  t.current_root.MakeFolder(u"Games");
  t.folders.OverrideRoot(kCsidlCommonPrograms, t.all_root.path() + u"\\does-not-exist");
  t.all_root.MakeFolder(u"Games");
  window::MainWindow& window = t.Open();
  const auto reports = t.dialogs.ErrorReports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(reports[0].find(u"Form_Load at line 136\r\r"), Text::npos);
  EntryList& list = window.list();
  EXPECT_FALSE(list.Sorted());
  ASSERT_EQ(list.Size(), 3u);
  // Unsorted, in listing order: folders first, then shortcuts; no marks.
  EXPECT_EQ(list.Entry(3).text, u"Alpha");
  for (std::size_t p = 1; p <= 3; ++p) EXPECT_EQ(list.Entry(p).text.find(u"("), Text::npos);
  EXPECT_EQ(ListView_GetItemCount(t.Control(ControlName::kListView1)), 3);
}

// The columns of row `index` where a hit test finds its check box.
std::pair<int, int> CheckBoxColumns(HWND list, int index) {
  RECT row;
  ListView_GetItemRect(list, index, &row, LVIR_BOUNDS);
  int first = -1, last = -1;
  for (int x = row.left; x < row.right; ++x) {
    LVHITTESTINFO hit{};
    hit.pt = {x, (row.top + row.bottom) / 2};
    // Left of the box, and right of it in a full-row-select list, the hit is
    // on the whole item.
    if (ListView_HitTest(list, &hit) != index || (hit.flags & LVHT_ONITEM) != LVHT_ONITEMSTATEICON)
      continue;
    if (first < 0) first = x;
    last = x;
  }
  return {first, last};
}

// Posts a click at a point of the list, as the mouse does: the message
// carries the time it was made, which the list weighs against its changes.
void PostClick(HWND list, POINT at) {
  const LPARAM where = MAKELPARAM(at.x, at.y);
  PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, where);
  PostMessageW(list, WM_LBUTTONUP, 0, where);
}

POINT CheckBoxOf(HWND list, int index) {
  RECT row;
  ListView_GetItemRect(list, index, &row, LVIR_BOUNDS);
  const auto [first, last] = CheckBoxColumns(list, index);
  EXPECT_GE(first, 0) << "row " << index << " shows no check box";
  return {(first + last) / 2, (row.top + row.bottom) / 2};
}

// Clicks the check box of the 0-based row `index`, found by hit-testing
// along the row, as the mouse would, and lets the click be handled.
void ClickCheckBox(HWND list, int index) {
  PostClick(list, CheckBoxOf(list, index));
  testing::PumpMessages();
}

void PressSpace(HWND list) {
  PostMessageW(list, WM_KEYDOWN, VK_SPACE, 0);
  PostMessageW(list, WM_CHAR, L' ', 0);
  PostMessageW(list, WM_KEYUP, VK_SPACE, 0);
  testing::PumpMessages();
}

// The window over two folders, "One" and "Two", and their rows.
window::MainWindow& OpenOverTwoFolders(WindowUnderTest& t) {
  t.current_root.MakeFolder(u"One");
  t.current_root.MakeFolder(u"Two");
  window::MainWindow& window = t.Open();
  EXPECT_EQ(ListView_GetItemCount(t.Control(ControlName::kListView1)), 2);
  return window;
}

TEST(MainWindowTest, TicksByMouseAndSpaceReachTheModelAtOnce) {
  WindowUnderTest t;
  window::MainWindow& window = OpenOverTwoFolders(t);
  const HWND list = t.Control(ControlName::kListView1);

  ClickCheckBox(list, 1);
  EXPECT_FALSE(window.list().Entry(1).checked);
  EXPECT_TRUE(window.list().Entry(2).checked);
  EXPECT_EQ(ListView_GetCheckState(list, 1), TRUE);

  // A click anywhere else on a row leaves its check as it was: on the name,
  // and on the "Type" cell, where the control's hit test answers with every
  // "on the item" bit, the check box's too.
  RECT name, type;
  ListView_GetSubItemRect(list, 0, 0, LVIR_LABEL, &name);
  ListView_GetSubItemRect(list, 0, 1, LVIR_BOUNDS, &type);
  for (const RECT& cell : {name, type}) {
    PostClick(list, {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2});
    testing::PumpMessages();
    EXPECT_FALSE(window.list().Entry(1).checked);
  }

  // Space ticks the row with the focus.
  ListView_SetItemState(list, 0, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
  SetFocus(list);
  PressSpace(list);
  EXPECT_TRUE(window.list().Entry(1).checked);
  EXPECT_TRUE(window.list().Entry(2).checked);
  PressSpace(list);
  EXPECT_FALSE(window.list().Entry(1).checked);
}

TEST(MainWindowTest, CheckBoxesAreDrawnAtTheListsDpiAndStillTakeClicks) {
  WindowUnderTest t;
  window::MainWindow& window = OpenOverTwoFolders(t);
  const HWND list = t.Control(ControlName::kListView1);

  // The small-icon size at each DPI, as the control lays its rows out for the
  // boxes; from 144 to 120 they shrink again.
  const std::pair<int, int> steps[] = {{96, 16}, {144, 24}, {120, 20}, {144, 24}};
  for (const auto& [dpi, pixels] : steps) {
    if (window.dpi() != dpi) {
      RECT suggested{100, 100, 900, 900};
      SendMessageW(window.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                   reinterpret_cast<LPARAM>(&suggested));
    }
    const auto [first, last] = CheckBoxColumns(list, 0);
    EXPECT_EQ(last - first + 1, pixels) << "at " << dpi;
    RECT row;
    ListView_GetItemRect(list, 0, &row, LVIR_BOUNDS);
    EXPECT_GE(row.bottom - row.top, pixels) << "at " << dpi;
  }

  // At 144 DPI a click on the bigger box still ticks its row.
  ASSERT_FALSE(window.list().Entry(2).checked);
  ClickCheckBox(list, 1);
  EXPECT_TRUE(window.list().Entry(2).checked);
  EXPECT_EQ(ListView_GetCheckState(list, 1), TRUE);
  EXPECT_FALSE(window.list().Entry(1).checked);
}

// The width of an icon's colour image.
int IconWidth(HICON icon) {
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return 0;
  const window::UniqueBitmap color(info.hbmColor), mask(info.hbmMask);
  BITMAP bitmap{};
  return GetObjectW(color.get(), sizeof(bitmap), &bitmap) ? bitmap.bmWidth : 0;
}

TEST(MainWindowTest, TheWindowsIconsAreLoadedAtItsDpi) {
  WindowUnderTest t;
  window::MainWindow& window = t.Open();
  // Big and small icon at 96, 144 and 120 DPI, loaded again on each change.
  const std::array<int, 3> steps[] = {{96, 32, 16}, {144, 48, 24}, {120, 40, 20}};
  for (const auto& [dpi, big, small] : steps) {
    if (window.dpi() != dpi) {
      RECT suggested{100, 100, 900, 900};
      SendMessageW(window.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                   reinterpret_cast<LPARAM>(&suggested));
    }
    const auto icon = [&](WPARAM which) {
      return reinterpret_cast<HICON>(SendMessageW(window.hwnd(), WM_GETICON, which, 0));
    };
    EXPECT_EQ(IconWidth(icon(ICON_BIG)), big) << "at " << dpi;
    EXPECT_EQ(IconWidth(icon(ICON_SMALL)), small) << "at " << dpi;
  }
}

TEST(MainWindowTest, ClosingTheWindowEndsTheProgram) {
  WindowUnderTest t;
  window::MainWindow& window = t.Open();
  SendMessageW(window.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(window.ended());
  EXPECT_FALSE(IsWindow(window.hwnd()));
  MSG msg;
  bool quit = false;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) quit = quit || msg.message == WM_QUIT;
  EXPECT_TRUE(quit);
}

// The real message box, shown and dismissed from another thread.
TEST(ErrorReportBoxTest, RealMessageBoxShowsTheReportAndIsDismissed) {
  window::Win32Dialogs dialogs;
  const Text message = ComposeErrorReport(u"Path not found", context_text::kFormLoad, 136);
  Text seen_text, seen_caption;
  std::thread answer([&] {
    for (int attempt = 0; attempt < 400; ++attempt) {
      if (HWND box = FindWindowW(L"#32770", L"Application Error")) {
        seen_caption = u"Application Error";
        // The message is the box's static text control.
        EnumChildWindows(
            box,
            [](HWND child, LPARAM out) -> BOOL {
              wchar_t buffer[1024] = {};
              GetWindowTextW(child, buffer, 1024);
              Text text = FromWide(buffer);
              if (text.find(u"Please email") != Text::npos) *reinterpret_cast<Text*>(out) = text;
              return TRUE;
            },
            reinterpret_cast<LPARAM>(&seen_text));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return;
      }
      Sleep(25);
    }
  });
  dialogs.ShowErrorReport(message);
  answer.join();
  EXPECT_EQ(seen_caption, u"Application Error");
  EXPECT_EQ(seen_text, message);
}

}  // namespace
}  // namespace ostrevane

namespace ostrevane {
namespace {

using testing::WindowUnderTest;

void ClickWithMouse(HWND button) {
  RECT client;
  GetClientRect(button, &client);
  const LPARAM middle = MAKELPARAM(client.right / 2, client.bottom / 2);
  SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, middle);
  SendMessageW(button, WM_LBUTTONUP, 0, middle);
}

std::vector<bool> Checks(window::MainWindow& window) {
  std::vector<bool> checks;
  const HWND list = window.Control(ControlName::kListView1);
  for (int i = 0; i < ListView_GetItemCount(list); ++i)
    checks.push_back(ListView_GetCheckState(list, i));
  return checks;
}

// Each by mouse; the next test presses every button with the keys.
TEST(MainWindowCommandsTest, RealButtonsRunTheSelectionCommands) {
  WindowUnderTest t;
  t.current_root.MakeFolder(u"Games");
  t.current_root.MakeFile(u"Notepad.lnk");
  t.current_root.MakeFile(u"Game Editor.lnk");
  window::MainWindow& window = t.Open();
  ASSERT_EQ(Checks(window), (std::vector<bool>{false, false, false}));

  ClickWithMouse(t.Control(ControlName::kPushButton4));  // Select All
  EXPECT_EQ(Checks(window), (std::vector<bool>{true, true, true}));
  ClickWithMouse(t.Control(ControlName::kPushButton5));  // Unselect All
  EXPECT_EQ(Checks(window), (std::vector<bool>{false, false, false}));

  // Select All Containing This Text; the box answers "GAME".
  t.dialogs.text_answers = {u"GAME"};
  ClickWithMouse(t.Control(ControlName::kPushButton1));
  ASSERT_EQ(t.dialogs.shown.size(), 1u);
  EXPECT_EQ(t.dialogs.shown[0].text, u"Enter text:");
  EXPECT_EQ(t.dialogs.shown[0].caption, u"Ostrevane");
  // Rows: Games (Folder), Game Editor, Notepad.
  EXPECT_EQ(Checks(window), (std::vector<bool>{true, true, false}));

  t.dialogs.text_answers = {u"game"};
  ClickWithMouse(t.Control(ControlName::kPushButton3));  // Not Containing
  EXPECT_EQ(Checks(window), (std::vector<bool>{true, true, true}));
  EXPECT_TRUE(t.dialogs.ErrorReports().empty());
}

TEST(MainWindowCommandsTest, SpaceEnterAndDoubleClickPressEveryButton) {
  WindowUnderTest t;
  t.current_root.MakeFile(u"Alpha.lnk");
  t.current_root.MakeFile(u"Beta.lnk");
  window::MainWindow& window = t.Open();
  // Space shows the button pushed in while it is down, and clicks on release.
  const auto space = [&](ControlName name) {
    const HWND button = t.Control(name);
    SetFocus(button);
    SendMessageW(button, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(SendMessageW(button, BM_GETSTATE, 0, 0) & BST_PUSHED);
    SendMessageW(button, WM_KEYUP, VK_SPACE, 0xC0000001);
    EXPECT_FALSE(SendMessageW(button, BM_GETSTATE, 0, 0) & BST_PUSHED);
  };
  // Enter through the program's keyboard handling, as the message loop sees it.
  const auto enter = [&](ControlName name) {
    const HWND button = t.Control(name);
    SetFocus(button);
    PressKey(window, button, VK_RETURN);
    EXPECT_EQ(GetFocus(), button);
  };
  const std::vector<bool> all{true, true}, none{false, false};

  space(ControlName::kPushButton4);  // Select All
  EXPECT_EQ(Checks(window), all);
  enter(ControlName::kPushButton5);  // Unselect All
  EXPECT_EQ(Checks(window), none);
  enter(ControlName::kPushButton4);
  EXPECT_EQ(Checks(window), all);
  space(ControlName::kPushButton5);
  EXPECT_EQ(Checks(window), none);

  // The other three each ask something: one box per press.
  t.dialogs.yes_no_answers = {false, false};
  for (ControlName name :
       {ControlName::kPushButton1, ControlName::kPushButton3, ControlName::kPushButton2}) {
    for (bool by_space : {true, false}) {
      window.list().SetChecked(1, true);  // so that the deletion asks
      const std::size_t before = t.dialogs.shown.size();
      by_space ? space(name) : enter(name);
      EXPECT_EQ(t.dialogs.shown.size(), before + 1) << static_cast<int>(name) << by_space;
    }
  }
  EXPECT_TRUE(t.dialogs.ErrorReports().empty());

  // A quick second click is a click too, not only a double click.
  ClickWithMouse(t.Control(ControlName::kPushButton5));
  ASSERT_EQ(Checks(window), none);
  const HWND select_all = t.Control(ControlName::kPushButton4);
  SendMessageW(select_all, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
  SendMessageW(select_all, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  EXPECT_EQ(Checks(window), all);
}

// A recycler that moves entries out of the test's folders, and records them.
class MovingRecycler : public Recycler {
 public:
  std::vector<Text> moved;
  std::function<void()> on_move;
  std::optional<NotMoved> Inspect(const Text&) override { return std::nullopt; }
  std::optional<NotMoved> Recycle(const Text& path) override {
    moved.push_back(path);
    testing::RemoveTree(path);
    if (on_move) on_move();
    return std::nullopt;
  }
};

TEST(MainWindowCommandsTest, DeletionFromTheRealButtonRemovesRowsTheListShowsAtOnce) {
  WindowUnderTest t;
  for (const char16_t* name : {u"A.lnk", u"B.lnk", u"C.lnk", u"D.lnk"})
    t.current_root.MakeFile(name);
  MovingRecycler recycler;
  window::MainWindow& window = t.Open(&recycler);
  window.list().SetChecked(2, true);
  window.list().SetChecked(4, true);
  const HWND list = t.Control(ControlName::kListView1);
  std::vector<int> counts_seen;
  recycler.on_move = [&] { counts_seen.push_back(ListView_GetItemCount(list)); };

  ClickWithMouse(t.Control(ControlName::kPushButton2));
  EXPECT_EQ(recycler.moved, (std::vector<Text>{t.current_root.path() + u"\\D.lnk",
                                               t.current_root.path() + u"\\B.lnk"}));
  // Each removal reached the list on screen before the next entry went.
  EXPECT_EQ(counts_seen, (std::vector<int>{4, 3}));
  EXPECT_EQ(ListView_GetItemCount(list), 2);
  ASSERT_GE(t.dialogs.shown.size(), 2u)
      << ToUtf8(t.dialogs.shown.empty() ? Text() : t.dialogs.shown[0].text);
  EXPECT_EQ(t.dialogs.shown[0].text, u"Are you sure you want to delete 2 item(s) from Start Menu?");
  EXPECT_EQ(t.dialogs.shown.back().text, u"Done.");
}

// Opens the window over `count` shortcuts, "Entry 100" on.
window::MainWindow& OpenOverShortcuts(WindowUnderTest& t, MovingRecycler& recycler, int count) {
  for (int i = 0; i < count; ++i)
    t.current_root.MakeFile(u"Entry " + DecimalText(100 + i) + u".lnk");
  return t.Open(&recycler);
}

TEST(MainWindowCommandsTest, RowsRemovedInABurstAllReachTheScrollBarWhenTheRefreshTimerFires) {
  WindowUnderTest t;
  MovingRecycler recycler;
  window::MainWindow& window = OpenOverShortcuts(t, recycler, 60);
  const HWND list = t.Control(ControlName::kListView1);
  while (window.list().Count() > 30) window.list().Remove(window.list().Count());
  EXPECT_EQ(ListView_GetItemCount(list), 30);  // the count follows every removal at once
  // Drawing is held back until the refresh timer fires: the timer is set,
  // and its tick is sent at once instead of waited for.
  ASSERT_TRUE(KillTimer(list, window::EntryListView::kRefreshTimer));
  SendMessageW(list, WM_TIMER, window::EntryListView::kRefreshTimer, 0);
  testing::PumpMessages();
  SCROLLINFO scroll{sizeof scroll, SIF_RANGE, 0, 0, 0, 0, 0};
  ASSERT_TRUE(GetScrollInfo(list, SB_VERT, &scroll));
  EXPECT_EQ(scroll.nMax, 29);
}

TEST(MainWindowCommandsTest, WhileRemovedRowsAwaitDrawingOnlyARowShownAsItIsTakesAClick) {
  WindowUnderTest t;
  MovingRecycler recycler;
  window::MainWindow& window = OpenOverShortcuts(t, recycler, 8);
  const HWND list = t.Control(ControlName::kListView1);
  window.list().Remove(8);  // drawn at once
  window.list().Remove(5);  // soon after: held back, rows from the fifth on show what was there
  ClickCheckBox(list, 1);
  EXPECT_TRUE(window.list().Entry(2).checked);
  ClickCheckBox(list, 5);  // shows "Entry 106" still, but is "Entry 107" now
  EXPECT_FALSE(window.list().Entry(6).checked);
  Sleep(5);  // a click made after the list was drawn afresh counts
  ClickCheckBox(list, 5);
  EXPECT_TRUE(window.list().Entry(6).checked);
}

TEST(MainWindowCommandsTest, AClickMadeBeforeTheRowsChangedDoesNotReachTheRowNowUnderIt) {
  WindowUnderTest t;
  MovingRecycler recycler;
  window::MainWindow& window = OpenOverShortcuts(t, recycler, 8);
  const HWND list = t.Control(ControlName::kListView1);
  const auto settle = [] {
    testing::PumpMessages();
    Sleep(5);
  };
  settle();
  // Made on "Entry 105"; before it is handled, a row above goes, as the last
  // removal of a pass does, drawn at once: "Entry 106" is under it now.
  PostClick(list, CheckBoxOf(list, 4));
  window.list().Remove(3);
  settle();
  EXPECT_EQ(testing::CheckedKeys(window.list()), std::vector<Text>{});
  // Made on an unticked row; before it is handled, "Select All" runs from a
  // pass's event pump and ticks every row: the click must not untick one.
  PostClick(list, CheckBoxOf(list, 1));
  SendMessageW(window.hwnd(), WM_COMMAND,
               MAKEWPARAM(GetDlgCtrlID(t.Control(ControlName::kPushButton4)), BN_CLICKED),
               reinterpret_cast<LPARAM>(t.Control(ControlName::kPushButton4)));
  settle();
  EXPECT_EQ(testing::Marks(window.list()), "1111111");
  // The same click made once the list shows the rows as they are takes.
  PostClick(list, CheckBoxOf(list, 1));
  settle();
  EXPECT_EQ(testing::Marks(window.list()), "1011111");
}

}  // namespace
}  // namespace ostrevane
