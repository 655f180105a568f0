#include "win32/push_button.h"

#include <windowsx.h>

#include <memory>

#include "base/twips.h"
#include "win32/handles.h"
#include "win32/win_text.h"
#include "win32/painted_control.h"
#include "win32/window_class.h"

namespace ostrevane::win32 {
namespace {

constexpr wchar_t kClassName[] = L"OstrevanePushButton";
constexpr UINT kMsgSetValue = WM_USER + 1;
constexpr UINT kMsgSetSkin = WM_USER + 3;
// WM_KEYDOWN's previous-key-state bit: set on the repeats of a held key.
constexpr LPARAM kKeyWasDown = 1 << 30;

class Button : public PaintedControl {
 private:
  LRESULT HandleControlMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  void Paint(HDC target) override;
  void Notify(WORD code);
  // The click is the last thing a message does: a click may run a long
  // command that ends with this window destroyed.
  void Click() { Notify(BN_CLICKED); }
  bool EndMousePress();

  std::int32_t value_ = 0;
  const SkinColors* skin_ = nullptr;
  bool hot_ = false;
  bool tracking_leave_ = false;
  bool capturing_ = false;
  bool pressed_by_mouse_ = false;
  bool pressed_by_key_ = false;
};

void Button::Notify(WORD code) {
  SendMessageW(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd_), code),
               reinterpret_cast<LPARAM>(hwnd_));
}

void Button::Paint(HDC target) {
  RECT client;
  GetClientRect(hwnd_, &client);
  const int width = client.right, height = client.bottom;
  // Drawn off screen first, so the button never flickers.
  const UniqueMemoryDc memory(CreateCompatibleDC(target));
  const UniqueBitmap bitmap(CreateCompatibleBitmap(target, width, height));
  const HDC dc = memory.get();
  const ScopedSelection bitmap_selected(dc, bitmap.get());

  const bool pressed = pressed_by_key_ || (capturing_ && pressed_by_mouse_) || value_ != 0;
  COLORREF face = RGB(255, 255, 255);
  if (skin_ && skin_->button_face) face = *skin_->button_face;
  if (skin_ && pressed && skin_->button_pressed)
    face = *skin_->button_pressed;
  else if (skin_ && hot_ && skin_->button_hot)
    face = *skin_->button_hot;
  FillRect(dc, &client, UniqueBrush(CreateSolidBrush(face)).get());

  if (skin_ && skin_->button_border) {
    FrameRect(dc, &client, UniqueBrush(CreateSolidBrush(*skin_->button_border)).get());
  } else {
    RECT edge = client;
    DrawEdge(dc, &edge, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  }

  wchar_t caption[256];
  const int length = GetWindowTextW(hwnd_, caption, 256);
  RECT text_rect = client;
  if (pressed) OffsetRect(&text_rect, 1, 1);
  {
    const ScopedSelection font_selected(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    const bool enabled = IsWindowEnabled(hwnd_) != FALSE;
    COLORREF text = GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
    if (skin_ && skin_->button_text && enabled) text = *skin_->button_text;
    SetTextColor(dc, text);
    DrawTextW(dc, caption, length, &text_rect,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  }

  if (GetFocus() == hwnd_ && !(SendMessageW(hwnd_, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
    RECT focus = client;
    const int inset = ScaleFromDefaultDpi(4, static_cast<int>(GetDpiForWindow(hwnd_)));
    InflateRect(&focus, -inset, -inset);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    DrawFocusRect(dc, &focus);
  }

  BitBlt(target, 0, 0, width, height, dc, 0, 0, SRCCOPY);
}

// Ends a press by the mouse; true when it ended with the pointer still over
// the button, which makes it a click.
bool Button::EndMousePress() {
  const bool over = pressed_by_mouse_;
  capturing_ = false;
  pressed_by_mouse_ = false;
  InvalidateRect(hwnd_, nullptr, FALSE);
  return over;
}

LRESULT Button::HandleControlMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SETTEXT: {
      const LRESULT result = DefWindowProcW(hwnd_, message, wparam, lparam);
      InvalidateRect(hwnd_, nullptr, FALSE);
      return result;
    }
    case kMsgSetValue:
      value_ = static_cast<std::int32_t>(wparam);
      InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case kMsgSetSkin:
      skin_ = reinterpret_cast<const SkinColors*>(lparam);
      InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case WM_SETFOCUS:
    case WM_ENABLE:
    case WM_UPDATEUISTATE:
      InvalidateRect(hwnd_, nullptr, FALSE);
      break;
    case WM_KILLFOCUS:
      pressed_by_key_ = false;
      InvalidateRect(hwnd_, nullptr, FALSE);
      break;
    case WM_GETDLGCODE: {
      // Enter clicks the focused button; everything else is a button's usual.
      const MSG* msg = reinterpret_cast<const MSG*>(lparam);
      if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) return DLGC_WANTMESSAGE;
      return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    }
    case WM_KEYDOWN:
      if (wparam == VK_SPACE && !(lparam & kKeyWasDown)) {
        pressed_by_key_ = true;
        InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
      }
      if (wparam == VK_RETURN) {
        Click();
        return 0;
      }
      break;
    case WM_KEYUP:
      if (wparam == VK_SPACE && pressed_by_key_) {
        pressed_by_key_ = false;
        InvalidateRect(hwnd_, nullptr, FALSE);
        Click();
        return 0;
      }
      break;
    case WM_CHAR:
      if (wparam == L' ' || wparam == L'\r') return 0;
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetFocus(hwnd_);
      SetCapture(hwnd_);
      capturing_ = true;
      pressed_by_mouse_ = true;
      InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case WM_MOUSEMOVE: {
      if (!tracking_leave_) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd_, 0};
        tracking_leave_ = TrackMouseEvent(&track) != FALSE;
      }
      RECT client;
      GetClientRect(hwnd_, &client);
      const POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
      const bool inside = PtInRect(&client, point) != FALSE;
      if (inside != hot_ || (capturing_ && inside != pressed_by_mouse_)) {
        hot_ = inside;
        if (capturing_) pressed_by_mouse_ = inside;
        InvalidateRect(hwnd_, nullptr, FALSE);
      }
      Notify(kPushButtonPointerMoved);
      return 0;
    }
    case WM_MOUSELEAVE:
      tracking_leave_ = false;
      hot_ = false;
      InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case WM_LBUTTONUP:
      if (capturing_) {
        const bool click = EndMousePress();
        ReleaseCapture();
        if (click) Click();
      }
      return 0;
    case WM_CAPTURECHANGED:
      EndMousePress();
      return 0;
    case BM_CLICK:
      Click();
      return 0;
  }
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

}  // namespace

HWND CreatePushButton(HWND parent, int id, const Text& caption) {
  RegisterWindowClass(kClassName, &WindowBase::OwningProcedure, CS_DBLCLKS);
  std::unique_ptr<WindowBase> button = std::make_unique<Button>();
  return CreateChild(0, kClassName, caption, WS_VISIBLE | WS_TABSTOP, parent, id, &button);
}

void SetPushButtonValue(HWND button, std::int32_t value) {
  SendMessageW(button, kMsgSetValue, static_cast<WPARAM>(value), 0);
}

void SetPushButtonSkin(HWND button, const SkinColors* skin) {
  SendMessageW(button, kMsgSetSkin, 0, reinterpret_cast<LPARAM>(skin));
}

}  // namespace ostrevane::win32
