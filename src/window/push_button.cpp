#include "window/push_button.h"

#include <commctrl.h>
#include <windowsx.h>

#include "base/twips.h"
#include "win32/handles.h"
#include "win32/win_text.h"
#include "window/dpi.h"
#include "window/gdi_handles.h"

namespace ostrevane::window {

using win32::Wide;

void PushButton::Create(HWND parent, int id, const Text& caption) {
  Adopt(CreateChild(0, WC_BUTTONW, caption, WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, parent, id));
}

void PushButton::SetSkin(const SkinColors* skin) {
  skin_ = skin;
  InvalidateRect(hwnd(), nullptr, FALSE);
}

void PushButton::Notify(WORD code) {
  SendMessageW(GetParent(hwnd()), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd()), code),
               reinterpret_cast<LPARAM>(hwnd()));
}

void PushButton::Draw(const DRAWITEMSTRUCT& item) const {
  const RECT client = item.rcItem;
  const int width = client.right - client.left, height = client.bottom - client.top;
  // Drawn off screen first, so the button never flickers.
  const UniqueMemoryDc memory(CreateCompatibleDC(item.hDC));
  const UniqueBitmap bitmap(CreateCompatibleBitmap(item.hDC, width, height));
  const HDC dc = memory.get();
  const ScopedSelection bitmap_selected(dc, bitmap.get());
  RECT area{0, 0, width, height};

  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  COLORREF face = RGB(255, 255, 255);
  if (skin_ && skin_->button_face) face = *skin_->button_face;
  if (skin_ && pressed && skin_->button_pressed)
    face = *skin_->button_pressed;
  else if (skin_ && hot_ && skin_->button_hot)
    face = *skin_->button_hot;
  FillRect(dc, &area, UniqueBrush(CreateSolidBrush(face)).get());

  if (skin_ && skin_->button_border) {
    FrameRect(dc, &area, UniqueBrush(CreateSolidBrush(*skin_->button_border)).get());
  } else {
    RECT edge = area;
    DrawEdge(dc, &edge, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  }

  const Text caption = WindowText(hwnd());
  RECT text_rect = area;
  if (pressed) OffsetRect(&text_rect, 1, 1);
  {
    const auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0));
    const ScopedSelection font_selected(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    const bool enabled = !(item.itemState & ODS_DISABLED);
    COLORREF text = GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
    if (skin_ && skin_->button_text && enabled) text = *skin_->button_text;
    SetTextColor(dc, text);
    DrawTextW(dc, Wide(caption), static_cast<int>(caption.size()), &text_rect,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  }

  if ((item.itemState & ODS_FOCUS) &&
      !(SendMessageW(hwnd(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
    RECT focus = area;
    const int inset = ScaleFromDefaultDpi(4, WindowDpi(hwnd()));
    InflateRect(&focus, -inset, -inset);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    DrawFocusRect(dc, &focus);
  }

  BitBlt(item.hDC, client.left, client.top, width, height, dc, 0, 0, SRCCOPY);
}

std::optional<LRESULT> PushButton::HandleNotification(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DRAWITEM) {
    Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
    return TRUE;
  }
  if (message == WM_COMMAND && HIWORD(wparam) == BN_CLICKED) {
    if (on_click) on_click();
    return 0;
  }
  return std::nullopt;
}

// The system's button does the pressing (mouse, Space) and the telling
// (BN_CLICKED); this adds what it lacks: the hot face, the pointer
// notification, Enter, and double clicks that press like single ones.
LRESULT PushButton::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_GETDLGCODE: {
      // Enter clicks the focused button; everything else is a button's usual.
      const MSG* msg = reinterpret_cast<const MSG*>(lparam);
      if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) return DLGC_WANTMESSAGE;
      break;
    }
    case WM_KEYDOWN:
      if (wparam == VK_RETURN) {
        // The click is the last thing the message does: it may run a long
        // command that ends with this window destroyed.
        Notify(BN_CLICKED);
        return 0;
      }
      break;
    case WM_CHAR:
      if (wparam == L'\r') return 0;
      break;
    case WM_ERASEBKGND:
      return 1;  // the painting covers every pixel
    case WM_LBUTTONDBLCLK:
      // An owner-drawn button would only report a double click.
      return Default(WM_LBUTTONDOWN, wparam, lparam);
    case WM_MOUSEMOVE: {
      if (!tracking_leave_) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd(), 0};
        tracking_leave_ = TrackMouseEvent(&track) != FALSE;
      }
      RECT client;
      GetClientRect(hwnd(), &client);
      const POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
      const bool inside = PtInRect(&client, point) != FALSE;
      if (inside != hot_) {
        hot_ = inside;
        InvalidateRect(hwnd(), nullptr, FALSE);
      }
      if (on_pointer_moved) on_pointer_moved();
      break;
    }
    case WM_MOUSELEAVE:
      tracking_leave_ = false;
      hot_ = false;
      InvalidateRect(hwnd(), nullptr, FALSE);
      break;
  }
  return Default(message, wparam, lparam);
}

}  // namespace ostrevane::window
