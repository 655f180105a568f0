#include "window/frame.h"

#include <commctrl.h>

#include <memory>

#include "base/twips.h"
#include "window/dpi.h"
#include "win32/handles.h"
#include "win32/win_text.h"
#include "window/painted_control.h"
#include "window/window_class.h"

namespace ostrevane::win32 {
namespace {

class Frame : public PaintedControl {
 public:
  COLORREF background = RGB(255, 255, 255);
  std::optional<COLORREF> text;
  std::optional<COLORREF> line;

 private:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  void Paint(HDC dc);
};

Frame* FrameOf(HWND hwnd) { return dynamic_cast<Frame*>(PaintedControl::FromHandle(hwnd)); }

void Frame::Paint(HDC dc) {
  RECT client;
  GetClientRect(hwnd_, &client);
  const UniqueBrush background_brush(CreateSolidBrush(background));
  FillRect(dc, &client, background_brush.get());

  const auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0));
  const ScopedSelection font_selected(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  // The border runs through the middle of the caption's line.
  RECT border = client;
  border.top = metrics.tmHeight / 2;
  if (line) {
    const UniqueBrush line_brush(CreateSolidBrush(*line));
    FrameRect(dc, &border, line_brush.get());
  } else {
    DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);
  }

  wchar_t caption[256];
  const int length = GetWindowTextW(hwnd_, caption, 256);
  if (length > 0) {
    SIZE extent{};
    GetTextExtentPoint32W(dc, caption, length, &extent);
    const int dpi = WindowDpi(hwnd_);
    const int indent = ScaleFromDefaultDpi(8, dpi);
    const int gap = ScaleFromDefaultDpi(2, dpi);
    RECT text_rect{indent, 0, indent + extent.cx + 2 * gap, metrics.tmHeight};
    FillRect(dc, &text_rect, background_brush.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, text ? *text : GetSysColor(COLOR_BTNTEXT));
    RECT inner = text_rect;
    inner.left += gap;
    DrawTextW(dc, caption, length, &inner, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
  }
}

LRESULT Frame::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      const HDC dc = BeginPaint(hwnd_, &ps);
      Paint(dc);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      Paint(reinterpret_cast<HDC>(wparam));
      return 0;
    case WM_SETTEXT:
    case WM_ENABLE:
    case WM_UPDATEUISTATE: {
      // The group box paints itself at once on these: paint it over.
      const LRESULT result = Default(message, wparam, lparam);
      InvalidateRect(hwnd_, nullptr, FALSE);
      return result;
    }
    case WM_MOUSEMOVE:
      SendMessageW(GetParent(hwnd_), WM_COMMAND,
                   MAKEWPARAM(GetDlgCtrlID(hwnd_), kFramePointerMoved),
                   reinterpret_cast<LPARAM>(hwnd_));
      return 0;
    case WM_NOTIFY:
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
      // The frame only holds the list; its owner handles the list.
      return SendMessageW(GetParent(hwnd_), message, wparam, lparam);
  }
  return Default(message, wparam, lparam);
}

}  // namespace

HWND CreateFrame(HWND parent, int id, const Text& caption) {
  const HWND frame = CreateChild(WS_EX_CONTROLPARENT, WC_BUTTONW, caption,
                                 WS_VISIBLE | WS_CLIPCHILDREN | BS_GROUPBOX, parent, id);
  PaintedControl::Attach(frame, std::make_unique<Frame>());
  return frame;
}

void SetFrameColors(HWND frame, COLORREF background, std::optional<COLORREF> text,
                    std::optional<COLORREF> line) {
  if (Frame* state = FrameOf(frame)) {
    state->background = background;
    state->text = text;
    state->line = line;
    InvalidateRect(frame, nullptr, TRUE);
  }
}

}  // namespace ostrevane::win32
