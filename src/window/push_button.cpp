#include "window/push_button.h"

#include <commctrl.h>
#include <windowsx.h>

#include <memory>

#include "base/twips.h"
#include "window/dpi.h"
#include "win32/handles.h"
#include "window/painted_control.h"
#include "win32/win_text.h"
#include "window/window_class.h"

namespace ostrevane::win32 {
namespace {

class Button : public PaintedControl {
 public:
  void Draw(const DRAWITEMSTRUCT& item) const;

  std::int32_t value = 0;
  const SkinColors* skin = nullptr;

 private:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  void Notify(WORD code);

  bool hot_ = false;
  bool tracking_leave_ = false;
};

Button* ButtonOf(HWND hwnd) { return dynamic_cast<Button*>(PaintedControl::FromHandle(hwnd)); }

void Button::Notify(WORD code) {
  SendMessageW(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd_), code),
               reinterpret_cast<LPARAM>(hwnd_));
}

void Button::Draw(const DRAWITEMSTRUCT& item) const {
  const RECT client = item.rcItem;
  const int width = client.right - client.left, height = client.bottom - client.top;
  // Drawn off screen first, so the button never flickers.
  const UniqueMemoryDc memory(CreateCompatibleDC(item.hDC));
  const UniqueBitmap bitmap(CreateCompatibleBitmap(item.hDC, width, height));
  const HDC dc = memory.get();
  const ScopedSelection bitmap_selected(dc, bitmap.get());
  RECT area{0, 0, width, height};

  const bool pressed = (item.itemState & ODS_SELECTED) || value != 0;
  COLORREF face = RGB(255, 255, 255);
  if (skin && skin->button_face) face = *skin->button_face;
  if (skin && pressed && skin->button_pressed)
    face = *skin->button_pressed;
  else if (skin && hot_ && skin->button_hot)
    face = *skin->button_hot;
  FillRect(dc, &area, UniqueBrush(CreateSolidBrush(face)).get());

  if (skin && skin->button_border) {
    FrameRect(dc, &area, UniqueBrush(CreateSolidBrush(*skin->button_border)).get());
  } else {
    RECT edge = area;
    DrawEdge(dc, &edge, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  }

  wchar_t caption[256];
  const int length = GetWindowTextW(hwnd_, caption, 256);
  RECT text_rect = area;
  if (pressed) OffsetRect(&text_rect, 1, 1);
  {
    const auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0));
    const ScopedSelection font_selected(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    const bool enabled = !(item.itemState & ODS_DISABLED);
    COLORREF text = GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
    if (skin && skin->button_text && enabled) text = *skin->button_text;
    SetTextColor(dc, text);
    DrawTextW(dc, caption, length, &text_rect,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  }

  if ((item.itemState & ODS_FOCUS) &&
      !(SendMessageW(hwnd_, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
    RECT focus = area;
    const int inset = ScaleFromDefaultDpi(4, WindowDpi(hwnd_));
    InflateRect(&focus, -inset, -inset);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    DrawFocusRect(dc, &focus);
  }

  BitBlt(item.hDC, client.left, client.top, width, height, dc, 0, 0, SRCCOPY);
}

// The system's button does the pressing (mouse, Space) and the telling
// (BN_CLICKED); this adds what it lacks: the hot face, the pointer
// notification, Enter, and double clicks that press like single ones.
LRESULT Button::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
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
    case WM_LBUTTONDBLCLK:
      // An owner-drawn button would only report a double click.
      return Default(WM_LBUTTONDOWN, wparam, lparam);
    case WM_MOUSEMOVE: {
      if (!tracking_leave_) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd_, 0};
        tracking_leave_ = TrackMouseEvent(&track) != FALSE;
      }
      RECT client;
      GetClientRect(hwnd_, &client);
      const POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
      const bool inside = PtInRect(&client, point) != FALSE;
      if (inside != hot_) {
        hot_ = inside;
        InvalidateRect(hwnd_, nullptr, FALSE);
      }
      Notify(kPushButtonPointerMoved);
      break;
    }
    case WM_MOUSELEAVE:
      tracking_leave_ = false;
      hot_ = false;
      InvalidateRect(hwnd_, nullptr, FALSE);
      break;
  }
  return Default(message, wparam, lparam);
}

}  // namespace

HWND CreatePushButton(HWND parent, int id, const Text& caption) {
  const HWND button =
      CreateChild(0, WC_BUTTONW, caption, WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, parent, id);
  PaintedControl::Attach(button, std::make_unique<Button>());
  return button;
}

bool DrawPushButton(const DRAWITEMSTRUCT& item) {
  if (item.CtlType != ODT_BUTTON) return false;
  const Button* button = ButtonOf(item.hwndItem);
  if (!button) return false;
  button->Draw(item);
  return true;
}

void SetPushButtonValue(HWND button, std::int32_t value) {
  if (Button* state = ButtonOf(button)) {
    state->value = value;
    InvalidateRect(button, nullptr, FALSE);
  }
}

void SetPushButtonSkin(HWND button, const SkinColors* skin) {
  if (Button* state = ButtonOf(button)) {
    state->skin = skin;
    InvalidateRect(button, nullptr, FALSE);
  }
}

}  // namespace ostrevane::win32
