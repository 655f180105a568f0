#include "win32/push_button.h"

#include <windowsx.h>

#include <memory>

#include "base/twips.h"
#include "win32/handles.h"
#include "win32/win_text.h"
#include "win32/window_base.h"
#include "win32/window_class.h"

namespace ostrevane::win32 {
namespace {

constexpr wchar_t kClassName[] = L"OstrevanePushButton";
constexpr UINT kMsgSetValue = WM_USER + 1;
constexpr UINT kMsgSetSkin = WM_USER + 3;
// WM_KEYDOWN's previous-key-state bit: set on the repeats of a held key.
constexpr LPARAM kKeyWasDown = 1 << 30;

struct ButtonState;
LRESULT ButtonMessage(HWND hwnd, ButtonState* state, UINT message, WPARAM wparam, LPARAM lparam);

struct ButtonState : WindowBase {
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override {
    return ButtonMessage(hwnd_, this, message, wparam, lparam);
  }

  HFONT font = nullptr;
  std::int32_t value = 0;
  const SkinColors* skin = nullptr;
  bool hot = false;
  bool tracking_leave = false;
  bool capturing = false;
  bool pressed_by_mouse = false;
  bool pressed_by_key = false;
};

void Notify(HWND hwnd, WORD code) {
  SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), code),
               reinterpret_cast<LPARAM>(hwnd));
}

void Paint(HWND hwnd, ButtonState& state, HDC target) {
  RECT client;
  GetClientRect(hwnd, &client);
  const int width = client.right, height = client.bottom;
  // Drawn off screen first, so the button never flickers.
  const UniqueMemoryDc memory(CreateCompatibleDC(target));
  const UniqueBitmap bitmap(CreateCompatibleBitmap(target, width, height));
  const HDC dc = memory.get();
  const ScopedSelection bitmap_selected(dc, bitmap.get());

  const bool pressed =
      state.pressed_by_key || (state.capturing && state.pressed_by_mouse) || state.value != 0;
  const SkinColors* skin = state.skin;
  COLORREF face = RGB(255, 255, 255);
  if (skin && skin->button_face) face = *skin->button_face;
  if (skin && pressed && skin->button_pressed)
    face = *skin->button_pressed;
  else if (skin && state.hot && skin->button_hot)
    face = *skin->button_hot;
  FillRect(dc, &client, UniqueBrush(CreateSolidBrush(face)).get());

  if (skin && skin->button_border) {
    FrameRect(dc, &client, UniqueBrush(CreateSolidBrush(*skin->button_border)).get());
  } else {
    RECT edge = client;
    DrawEdge(dc, &edge, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  }

  wchar_t caption[256];
  const int length = GetWindowTextW(hwnd, caption, 256);
  RECT text_rect = client;
  if (pressed) OffsetRect(&text_rect, 1, 1);
  {
    const ScopedSelection font(dc, state.font ? state.font : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    const bool enabled = IsWindowEnabled(hwnd) != FALSE;
    COLORREF text = GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
    if (skin && skin->button_text && enabled) text = *skin->button_text;
    SetTextColor(dc, text);
    DrawTextW(dc, caption, length, &text_rect,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  }

  if (GetFocus() == hwnd && !(SendMessageW(hwnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
    RECT focus = client;
    const int inset = ScaleFromDefaultDpi(4, static_cast<int>(GetDpiForWindow(hwnd)));
    InflateRect(&focus, -inset, -inset);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    DrawFocusRect(dc, &focus);
  }

  BitBlt(target, 0, 0, width, height, dc, 0, 0, SRCCOPY);
}

// The click is the last thing a message does: a click may run a long command
// that ends with this window destroyed.
void Click(HWND hwnd) { Notify(hwnd, BN_CLICKED); }

// Ends a press by the mouse; true when it ended with the pointer still over
// the button, which makes it a click.
bool EndMousePress(HWND hwnd, ButtonState& state) {
  const bool over = state.pressed_by_mouse;
  state.capturing = false;
  state.pressed_by_mouse = false;
  InvalidateRect(hwnd, nullptr, FALSE);
  return over;
}

LRESULT ButtonMessage(HWND hwnd, ButtonState* state, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SETFONT:
      state->font = reinterpret_cast<HFONT>(wparam);
      if (LOWORD(lparam)) InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(state->font);
    case WM_SETTEXT: {
      const LRESULT result = DefWindowProcW(hwnd, message, wparam, lparam);
      InvalidateRect(hwnd, nullptr, FALSE);
      return result;
    }
    case kMsgSetValue:
      state->value = static_cast<std::int32_t>(wparam);
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case kMsgSetSkin:
      state->skin = reinterpret_cast<const SkinColors*>(lparam);
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
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
    case WM_SETFOCUS:
    case WM_ENABLE:
    case WM_UPDATEUISTATE:
      InvalidateRect(hwnd, nullptr, FALSE);
      break;
    case WM_KILLFOCUS:
      state->pressed_by_key = false;
      InvalidateRect(hwnd, nullptr, FALSE);
      break;
    case WM_GETDLGCODE: {
      // Enter clicks the focused button; everything else is a button's usual.
      const MSG* msg = reinterpret_cast<const MSG*>(lparam);
      if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) return DLGC_WANTMESSAGE;
      return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    }
    case WM_KEYDOWN:
      if (wparam == VK_SPACE && !(lparam & kKeyWasDown)) {
        state->pressed_by_key = true;
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
      }
      if (wparam == VK_RETURN) {
        Click(hwnd);
        return 0;
      }
      break;
    case WM_KEYUP:
      if (wparam == VK_SPACE && state->pressed_by_key) {
        state->pressed_by_key = false;
        InvalidateRect(hwnd, nullptr, FALSE);
        Click(hwnd);
        return 0;
      }
      break;
    case WM_CHAR:
      if (wparam == L' ' || wparam == L'\r') return 0;
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetFocus(hwnd);
      SetCapture(hwnd);
      state->capturing = true;
      state->pressed_by_mouse = true;
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_MOUSEMOVE: {
      if (!state->tracking_leave) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd, 0};
        state->tracking_leave = TrackMouseEvent(&track) != FALSE;
      }
      RECT client;
      GetClientRect(hwnd, &client);
      const POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
      const bool inside = PtInRect(&client, point) != FALSE;
      if (inside != state->hot || (state->capturing && inside != state->pressed_by_mouse)) {
        state->hot = inside;
        if (state->capturing) state->pressed_by_mouse = inside;
        InvalidateRect(hwnd, nullptr, FALSE);
      }
      Notify(hwnd, kPushButtonPointerMoved);
      return 0;
    }
    case WM_MOUSELEAVE:
      state->tracking_leave = false;
      state->hot = false;
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_LBUTTONUP:
      if (state->capturing) {
        const bool click = EndMousePress(hwnd, *state);
        ReleaseCapture();
        if (click) Click(hwnd);
      }
      return 0;
    case WM_CAPTURECHANGED:
      EndMousePress(hwnd, *state);
      return 0;
    case BM_CLICK:
      Click(hwnd);
      return 0;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace

HWND CreatePushButton(HWND parent, int id, const Text& caption) {
  RegisterWindowClass(kClassName, &WindowBase::OwningProcedure, CS_DBLCLKS);
  std::unique_ptr<WindowBase> button = std::make_unique<ButtonState>();
  return CreateChild(0, kClassName, caption, WS_VISIBLE | WS_TABSTOP, parent, id, &button);
}

void SetPushButtonValue(HWND button, std::int32_t value) {
  SendMessageW(button, kMsgSetValue, static_cast<WPARAM>(value), 0);
}

void SetPushButtonSkin(HWND button, const SkinColors* skin) {
  SendMessageW(button, kMsgSetSkin, 0, reinterpret_cast<LPARAM>(skin));
}

}  // namespace ostrevane::win32
