#include "window/frame.h"

#include <commctrl.h>

#include "base/twips.h"
#include "win32/handles.h"
#include "win32/win_text.h"
#include "window/dpi.h"
#include "window/gdi_handles.h"

namespace ostrevane::window {

using win32::Wide;

void Frame::Create(HWND parent, int id, const Text& caption) {
  Adopt(CreateChild(WS_EX_CONTROLPARENT, WC_BUTTONW, caption,
                    WS_VISIBLE | WS_CLIPCHILDREN | BS_GROUPBOX, parent, id));
}

void Frame::SetColors(COLORREF background, const SkinColors* skin) {
  background_ = background;
  skin_ = skin;
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void Frame::Paint(HDC dc) {
  RECT client;
  GetClientRect(hwnd(), &client);
  const UniqueBrush background_brush(CreateSolidBrush(background_));
  FillRect(dc, &client, background_brush.get());

  const auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0));
  const ScopedSelection font_selected(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  // The border runs through the middle of the caption's line.
  RECT border = client;
  border.top = metrics.tmHeight / 2;
  if (skin_ && skin_->frame_line) {
    const UniqueBrush line_brush(CreateSolidBrush(*skin_->frame_line));
    FrameRect(dc, &border, line_brush.get());
  } else {
    DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);
  }

  const Text caption = WindowText(hwnd());
  const int length = static_cast<int>(caption.size());
  if (length > 0) {
    SIZE extent{};
    GetTextExtentPoint32W(dc, Wide(caption), length, &extent);
    const int dpi = WindowDpi(hwnd());
    const int indent = ScaleFromDefaultDpi(8, dpi);
    const int gap = ScaleFromDefaultDpi(2, dpi);
    RECT text_rect{indent, 0, indent + extent.cx + 2 * gap, metrics.tmHeight};
    FillRect(dc, &text_rect, background_brush.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, skin_ && skin_->frame_text ? *skin_->frame_text : GetSysColor(COLOR_BTNTEXT));
    RECT inner = text_rect;
    inner.left += gap;
    DrawTextW(dc, Wide(caption), length, &inner, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
  }
}

LRESULT Frame::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      const HDC dc = BeginPaint(hwnd(), &ps);
      Paint(dc);
      EndPaint(hwnd(), &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // the painting covers every pixel
    case WM_PRINTCLIENT:
      Paint(reinterpret_cast<HDC>(wparam));
      return 0;
    case WM_SETTEXT:
    case WM_ENABLE:
    case WM_UPDATEUISTATE: {
      // The group box paints itself at once on these: paint it over.
      const LRESULT result = Default(message, wparam, lparam);
      InvalidateRect(hwnd(), nullptr, FALSE);
      return result;
    }
    case WM_MOUSEMOVE:
      if (on_pointer_moved) on_pointer_moved();
      return 0;
  }
  return Default(message, wparam, lparam);
}

}  // namespace ostrevane::window
