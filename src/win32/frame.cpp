#include "win32/frame.h"

#include <memory>

#include "base/twips.h"
#include "win32/handles.h"
#include "win32/win_text.h"
#include "win32/window_base.h"
#include "win32/window_class.h"

namespace ostrevane::win32 {
namespace {

constexpr wchar_t kClassName[] = L"OstrevaneFrame";

struct FrameState;
LRESULT FrameMessage(HWND hwnd, FrameState* state, UINT message, WPARAM wparam, LPARAM lparam);

struct FrameState : WindowBase {
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override {
    return FrameMessage(hwnd_, this, message, wparam, lparam);
  }

  HFONT font = nullptr;
  COLORREF background = RGB(255, 255, 255);
  std::optional<COLORREF> text;
  std::optional<COLORREF> line;
};

FrameState* StateOf(HWND hwnd) { return dynamic_cast<FrameState*>(WindowBase::FromHandle(hwnd)); }

void Paint(HWND hwnd, const FrameState& state, HDC dc) {
  RECT client;
  GetClientRect(hwnd, &client);
  const UniqueBrush background(CreateSolidBrush(state.background));
  FillRect(dc, &client, background.get());

  const ScopedSelection font(dc, state.font ? state.font : GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  // The border runs through the middle of the caption's line.
  RECT border = client;
  border.top = metrics.tmHeight / 2;
  if (state.line) {
    const UniqueBrush line(CreateSolidBrush(*state.line));
    FrameRect(dc, &border, line.get());
  } else {
    DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);
  }

  wchar_t caption[256];
  const int length = GetWindowTextW(hwnd, caption, 256);
  if (length > 0) {
    SIZE extent{};
    GetTextExtentPoint32W(dc, caption, length, &extent);
    const int dpi = static_cast<int>(GetDpiForWindow(hwnd));
    const int indent = ScaleFromDefaultDpi(8, dpi);
    const int gap = ScaleFromDefaultDpi(2, dpi);
    RECT text_rect{indent, 0, indent + extent.cx + 2 * gap, metrics.tmHeight};
    FillRect(dc, &text_rect, background.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, state.text ? *state.text : GetSysColor(COLOR_BTNTEXT));
    RECT inner = text_rect;
    inner.left += gap;
    DrawTextW(dc, caption, length, &inner, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
  }
}

LRESULT FrameMessage(HWND hwnd, FrameState* state, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SETFONT:
      state->font = reinterpret_cast<HFONT>(wparam);
      if (LOWORD(lparam)) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(state->font);
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      Paint(hwnd, *state, dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      Paint(hwnd, *state, reinterpret_cast<HDC>(wparam));
      return 0;
    case WM_MOUSEMOVE:
      SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), kFramePointerMoved),
                   reinterpret_cast<LPARAM>(hwnd));
      return 0;
    case WM_NOTIFY:
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
      // The frame only holds the list; its owner handles the list.
      return SendMessageW(GetParent(hwnd), message, wparam, lparam);
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace

HWND CreateFrame(HWND parent, int id, const Text& caption) {
  RegisterWindowClass(kClassName, &WindowBase::OwningProcedure);
  std::unique_ptr<WindowBase> frame = std::make_unique<FrameState>();
  return CreateChild(WS_EX_CONTROLPARENT, kClassName, caption, WS_VISIBLE | WS_CLIPCHILDREN, parent,
                     id, &frame);
}

void SetFrameColors(HWND frame, COLORREF background, std::optional<COLORREF> text,
                    std::optional<COLORREF> line) {
  if (FrameState* state = StateOf(frame)) {
    state->background = background;
    state->text = text;
    state->line = line;
    InvalidateRect(frame, nullptr, TRUE);
  }
}

}  // namespace ostrevane::win32
