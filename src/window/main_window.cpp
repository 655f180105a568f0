#include "window/main_window.h"

#include <commctrl.h>

#include "window_rules/deletion.h"
#include "window_rules/error_report.h"
#include "window_rules/selection.h"
#include "base/twips.h"
#include "window/dpi.h"
#include "win32/win_text.h"
#include "win32/system_error.h"
#include "window/gdi_handles.h"

namespace ostrevane::window {

using win32::FailWithLastError;
using win32::Wide;
namespace {

constexpr wchar_t kFormClass[] = L"OstrevaneForm1";
constexpr DWORD kFormStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT;
constexpr int kPointerDefault = 0;
constexpr int kPointerCustom = 99;

bool SystemHighContrast() {
  HIGHCONTRASTW high_contrast{};
  high_contrast.cbSize = sizeof(high_contrast);
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(high_contrast), &high_contrast, 0) &&
         (high_contrast.dwFlags & HCF_HIGHCONTRASTON);
}

// One 32 x 32 image at 24 bits per pixel with every pixel transparent: colour
// bits all zero, mask bits all one.
HICON CreateBlankIcon() {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = 32;
  info.bmiHeader.biHeight = 32;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const UniqueBitmap color(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (bits) ZeroMemory(bits, 32 * 32 * 3);
  BYTE mask_bits[32 * 32 / 8];
  FillMemory(mask_bits, sizeof(mask_bits), 0xFF);
  const UniqueBitmap mask(CreateBitmap(32, 32, 1, 1, mask_bits));
  ICONINFO icon{TRUE, 0, 0, mask.get(), color.get()};
  return CreateIconIndirect(&icon);
}

HFONT MakeArialBold(int centipoints, int dpi, int charset) {
  return CreateFontW(FontHeightPixels(centipoints, dpi), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                     static_cast<BYTE>(charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
}

}  // namespace

MainWindow::MainWindow(MainWindowServices services) : services_(std::move(services)) {}

// The owner is done with the window: no close, so WM_DESTROY does not reach
// the object. It goes while the objects of its controls still live.
MainWindow::~MainWindow() {
  tooltip_.reset();
  Destroy();
}

HWND MainWindow::Control(ControlName name) const {
  switch (name) {
    case ControlName::kFrame3:
      return frame_.hwnd();
    case ControlName::kListView1:
      return list_view_.hwnd();
    default:
      return buttons_[ButtonIndex(name)].hwnd();
  }
}

// ---- creation and layout ---------------------------------------------------

void MainWindow::Create(int show_command) {
  RegisterWindowClass(kFormClass);
  if (!CreateWindowExW(kFormExStyle, kFormClass, Wide(Text(kFormInitialCaption)), kFormStyle,
                       CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, nullptr, nullptr,
                       GetModuleHandleW(nullptr), this)) {
    FailWithLastError();
  }
  loop_.SetDialogWindow(hwnd());
  if (services_.on_window_created) services_.on_window_created(hwnd());
  dpi_ = WindowDpi(hwnd());
  ReadHighContrast();

  blank_icon_.reset(CreateBlankIcon());
  SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(blank_icon_.get()));
  SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(blank_icon_.get()));

  CreateControls();
  CreateFonts();
  Layout();
  ResizeToClientArea(nullptr);

  // Start-up runs while the window is hidden; the list is shown once, filled.
  list_view_.BeginBatch();
  title_ = StartUp(command_services_, files_, list_, *services_.folders, *services_.dialogs);
  list_view_.EndBatch();
  RefreshSkin();

  CenterOnScreen();
  // The layout is fixed, so the window never maximizes, whatever its starter
  // (a shortcut set to run maximized, "start /max") asks for.
  if (show_command == SW_MAXIMIZE || show_command == SW_SHOWMAXIMIZED) {
    show_command = SW_SHOWNORMAL;
  }
  ShowWindow(hwnd(), show_command);
  UpdateWindow(hwnd());
  const HWND list = list_view_.hwnd();
  SetFocus(list);
  if (list_.Size() > 0) ListView_SetItemState(list, 0, LVIS_FOCUSED, LVIS_FOCUSED);
}

void MainWindow::CreateControls() {
  for (const ControlLayout& c : kForm1Controls) {
    switch (c.kind) {
      case ControlKind::kFrame:
        frame_.Create(hwnd(), c.control_id, c.text);
        frame_.on_pointer_moved = [this] { SetMousePointer(kPointerDefault); };
        break;
      case ControlKind::kListView:
        list_view_.Create(frame_.hwnd(), c.control_id);
        list_view_.on_pointer_moved = [this] { SetMousePointer(kPointerDefault); };
        break;
      case ControlKind::kPushButton: {
        PushButton& button = buttons_[ButtonIndex(c.name)];
        button.Create(hwnd(), c.control_id, c.text);
        button.on_click = [this, name = c.name] { OnClick(name); };
        button.on_pointer_moved = [this] { SetMousePointer(kPointerCustom); };
        break;
      }
      default:  // the window holds no other kind
        break;
    }
  }

  tooltip_.reset(
      CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr,
                      WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX | TTS_NOFADE | TTS_NOANIMATE,
                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                      GetModuleHandleW(nullptr), nullptr));
  if (tooltip_) {
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    // The list hands the tooltip its mouse messages itself (TTF_SUBCLASS
    // would subclass the list, at a cost on every message under Wine).
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(list_view_.hwnd());
    Text tip = kListTooltip;
    tool.lpszText = Wide(tip);
    SendMessageW(tooltip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    list_view_.SetTooltip(tooltip_.get());
  }

  // Tab order follows the tab index, not the creation order. The frame never
  // takes the focus itself; it stands where the list inside it comes.
  std::vector<std::pair<int, HWND>> order;
  for (const ControlLayout& c : kForm1Controls) {
    if (c.inside_frame) continue;
    int index = c.tab_index;
    if (c.kind == ControlKind::kFrame) {
      for (const ControlLayout& inner : kForm1Controls) {
        if (inner.inside_frame) index = std::min(index, inner.tab_index);
      }
    }
    order.emplace_back(index, Control(c.name));
  }
  std::sort(order.begin(), order.end());
  HWND previous = HWND_TOP;
  for (const auto& [index, control] : order) {
    SetWindowPos(control, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    previous = control;
  }
}

void MainWindow::CreateFonts() {
  form_font_.reset(MakeArialBold(kFormFontCentipoints, dpi_, kCharsetAnsi));
  cyrillic_font_.reset(MakeArialBold(kFormFontCentipoints, dpi_, kCharsetCyrillic));
  button_font_.reset(MakeArialBold(kButtonFontCentipoints, dpi_, kCharsetAnsi));
  SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(form_font_.get()), FALSE);
  for (const ControlLayout& c : kForm1Controls) {
    const HFONT font =
        c.kind == ControlKind::kPushButton ? button_font_.get() : cyrillic_font_.get();
    SendMessageW(Control(c.name), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
}

void MainWindow::Layout() {
  // Edges are converted rather than sizes, so that controls that share an
  // edge in twips share it in pixels at any DPI.
  for (const ControlLayout& c : kForm1Controls) {
    const int left = TwipsToPixels(c.left, dpi_);
    const int top = TwipsToPixels(c.top, dpi_);
    const int right = TwipsToPixels(c.left + c.width, dpi_);
    const int bottom = TwipsToPixels(c.top + c.height, dpi_);
    SetWindowPos(Control(c.name), nullptr, left, top, right - left, bottom - top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  list_view_.SetDpi(dpi_);
}

void MainWindow::ResizeToClientArea(const RECT* suggested) {
  RECT frame{0, 0, TwipsToPixels(kFormClientWidthTwips, dpi_),
             TwipsToPixels(kFormClientHeightTwips, dpi_)};
  AdjustWindowRectForDpi(frame, kFormStyle, kFormExStyle, dpi_);
  int width = frame.right - frame.left, height = frame.bottom - frame.top;
  const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (suggested ? 0 : SWP_NOMOVE);
  const int x = suggested ? suggested->left : 0, y = suggested ? suggested->top : 0;
  SetWindowPos(hwnd(), nullptr, x, y, width, height, flags);
  // The frame the system really draws may differ from the computed one (a
  // DPI change seen before the frame follows, a themed caption): correct by
  // what the client area turned out to be.
  RECT client;
  GetClientRect(hwnd(), &client);
  const int wanted_width = TwipsToPixels(kFormClientWidthTwips, dpi_);
  const int wanted_height = TwipsToPixels(kFormClientHeightTwips, dpi_);
  if (client.right != wanted_width || client.bottom != wanted_height) {
    width += wanted_width - client.right;
    height += wanted_height - client.bottom;
    SetWindowPos(hwnd(), nullptr, x, y, width, height, flags);
  }
}

void MainWindow::CenterOnScreen() {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(hwnd(), MONITOR_DEFAULTTOPRIMARY), &monitor);
  RECT window;
  GetWindowRect(hwnd(), &window);
  const RECT& screen = monitor.rcMonitor;
  const int width = window.right - window.left, height = window.bottom - window.top;
  SetWindowPos(hwnd(), nullptr, screen.left + (screen.right - screen.left - width) / 2,
               screen.top + (screen.bottom - screen.top - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- colours ---------------------------------------------------------------

COLORREF MainWindow::Background(std::uint32_t own) const {
  if (high_contrast_) return GetSysColor(COLOR_BTNFACE);
  if (const SkinColors* skin = skin_.Colors(); skin && skin->window) return *skin->window;
  return IsSystemColor(own) ? GetSysColor(SystemColorIndex(own)) : static_cast<COLORREF>(own);
}

void MainWindow::ReadHighContrast() {
  high_contrast_ = services_.high_contrast ? services_.high_contrast() : SystemHighContrast();
  system_button_colors_ = {};
  system_button_colors_.button_face = GetSysColor(COLOR_BTNFACE);
  system_button_colors_.button_text = GetSysColor(COLOR_BTNTEXT);
}

void MainWindow::RefreshSkin() {
  // In high contrast the frame's caption and border take the system's colours.
  frame_.SetColors(FrameBackground(), high_contrast_ ? nullptr : skin_.Colors());
  for (PushButton& button : buttons_) {
    button.SetSkin(high_contrast_ ? &system_button_colors_ : skin_.Colors());
  }
  InvalidateRect(hwnd(), nullptr, TRUE);
}

// ---- events ----------------------------------------------------------------

void MainWindow::ReportHandlerFailure(TextView description, UINT message) noexcept {
  try {
    services_.dialogs->ShowErrorReport(
        ComposeErrorReport(description, context_text::kWindowProcedure, static_cast<int>(message)));
  } catch (...) {
    // Nobody is left to tell.
  }
}

// The controls' notifications go to their own objects; these are the
// window's own messages.
LRESULT MainWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_ERASEBKGND:
      OnEraseBackground(reinterpret_cast<HDC>(wparam));
      return 1;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
      OnSystemColors(message, wparam, lparam);
      break;
    case WM_MOUSEMOVE:
      SetMousePointer(kPointerDefault);
      return 0;
    case WM_SETCURSOR:
      if (OnSetCursor(LOWORD(lparam))) return TRUE;
      break;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wparam), reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_SYSCOMMAND:
      // No maximize box, but the caption's double-click, the system menu or a
      // keyboard shortcut can still ask: the layout is fixed.
      if ((wparam & 0xFFF0) == SC_MAXIMIZE) return 0;
      break;
    case WM_SIZE:
      // Any other road to the maximized state (the first show of a process
      // can take its starter's show command) ends back at the fixed size.
      if (wparam == SIZE_MAXIMIZED) PostMessageW(hwnd(), WM_SYSCOMMAND, SC_RESTORE, 0);
      break;
    case WM_CLOSE:
      DestroyWindow(hwnd());
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
  }
  return Default(message, wparam, lparam);
}

void MainWindow::OnEraseBackground(HDC dc) {
  RECT client;
  GetClientRect(hwnd(), &client);
  FillRect(dc, &client, UniqueBrush(CreateSolidBrush(FormBackground())).get());
}

void MainWindow::OnSystemColors(UINT message, WPARAM wparam, LPARAM lparam) {
  ReadHighContrast();
  RefreshSkin();
  // Only top-level windows hear of new system colours; the list follows them.
  if (message == WM_SYSCOLORCHANGE) SendMessageW(list_view_.hwnd(), message, wparam, lparam);
}

bool MainWindow::OnSetCursor(UINT hit) {
  if (mouse_pointer_ != kPointerCustom || !mouse_icon_ || hit != HTCLIENT) return false;
  SetCursor(mouse_icon_.get());
  return true;
}

void MainWindow::OnDpiChanged(int dpi, const RECT* suggested) {
  dpi_ = dpi;
  CreateFonts();
  Layout();
  if (big_icon_) {
    try {
      LoadApplicationIcon();  // the icon sizes follow the DPI too
    } catch (const Failure&) {
      // The icons loaded at start-up stay.
    }
  }
  ResizeToClientArea(suggested);
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void MainWindow::OnDestroy() {
  tooltip_.release();  // the system destroyed it with its owner
  // Closing ends the program at once, also in the middle of a command that
  // is letting events run; nothing is saved.
  if (services_.end_process_on_close) ExitProcess(0);
  loop_.End();
  PostQuitMessage(0);
}

void MainWindow::SetMousePointer(int value) {
  if (mouse_pointer_ == value) return;
  mouse_pointer_ = value;
  // Show the new shape at once, not only at the next move.
  POINT point;
  if (!GetCursorPos(&point)) return;
  const HWND under = WindowFromPoint(point);
  if (under && (under == hwnd() || IsChild(hwnd(), under))) {
    SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  }
}

void MainWindow::OnClick(ControlName name) {
  SelectionContext selection{list_, *services_.dialogs, command_services_, title_};
  DeletionContext deletion{
      list_,  *services_.dialogs, loop_, *services_.folders, *services_.recycler,
      title_, services_.elevated};
  // The selection commands change many checks at once and never let events
  // run: the list shows the result once. The deletion lets events run, and
  // the list follows each removal.
  using SelectionCommand = void (*)(SelectionContext&);
  static constexpr std::pair<ControlName, SelectionCommand> kSelectionCommands[] = {
      {ControlName::kPushButton4, &SelectAll},
      {ControlName::kPushButton5, &UnselectAll},
      {ControlName::kPushButton1, &SelectContaining},
      {ControlName::kPushButton3, &SelectNotContaining},
  };
  try {
    if (name == ControlName::kPushButton2) DeleteChecked(deletion);
    for (const auto& [button, command] : kSelectionCommands) {
      if (button != name) continue;
      list_view_.BeginBatch();
      command(selection);
      list_view_.EndBatch();
    }
  } catch (const ProgramEnded&) {
    // The window is gone; the command stops where it was.
  }
}

void MainWindow::LoadApplicationIcon() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  const auto load = [&](int width_metric, int height_metric) {
    auto icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kAppIconResource),
                                              IMAGE_ICON, SystemMetricForDpi(width_metric, dpi_),
                                              SystemMetricForDpi(height_metric, dpi_), 0));
    if (!icon) FailWithLastError();
    return icon;
  };
  UniqueIcon big(load(SM_CXICON, SM_CYICON));
  UniqueIcon small(load(SM_CXSMICON, SM_CYSMICON));
  SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
  SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
  big_icon_ = std::move(big);
  small_icon_ = std::move(small);
}

}  // namespace ostrevane::window
