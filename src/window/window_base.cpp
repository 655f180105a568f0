#include "window/window_base.h"

#include <exception>
#include <new>

#include "base/failure.h"
#include "win32/win_text.h"
#include "win32/system_error.h"

namespace ostrevane::window {

using win32::FailWithLastError;
using win32::UniqueWindow;
using win32::Wide;
namespace {

// The object of the control that a notification its parent received is
// about; null for any other message, and for a control without one.
WindowBase* NotifyingControl(UINT message, LPARAM lparam) {
  if (lparam == 0) return nullptr;
  HWND control = nullptr;
  switch (message) {
    case WM_COMMAND:  // from a menu or an accelerator, it names no control
      control = reinterpret_cast<HWND>(lparam);
      break;
    case WM_NOTIFY:
      control = reinterpret_cast<const NMHDR*>(lparam)->hwndFrom;
      break;
    case WM_DRAWITEM: {
      // A menu's item names the menu, not a window.
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (item.CtlType != ODT_MENU) control = item.hwndItem;
      break;
    }
  }
  return control ? WindowBase::FromHandle(control) : nullptr;
}

}  // namespace

WindowBase* WindowBase::FromHandle(HWND window) {
  if (!window || GetWindowLongPtrW(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&Procedure))
    return nullptr;
  return reinterpret_cast<WindowBase*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK WindowBase::Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    if (auto* self = static_cast<WindowBase*>(
            reinterpret_cast<const CREATESTRUCTW*>(lparam)->lpCreateParams)) {
      self->window_.reset(hwnd);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
  }
  auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    // The last message: the window goes, and the object no longer owns it.
    self->Detach();
    const LRESULT result = self->Default(message, wparam, lparam);
    self->window_.release();
    return result;
  }
  try {
    WindowBase* control = NotifyingControl(message, lparam);
    if (control && control != self) {
      if (const std::optional<LRESULT> result =
              control->HandleNotification(message, wparam, lparam)) {
        return *result;
      }
    }
    return self->HandleMessage(message, wparam, lparam);
  } catch (...) {
    self->ReportHandlerFailure(DescribeCaughtException(), message);
  }
  return self->Default(message, wparam, lparam);
}

void WindowBase::Adopt(UniqueWindow control) {
  window_ = std::move(control);
  SetWindowLongPtrW(hwnd(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  control_procedure_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure)));
}

void WindowBase::Detach() {
  if (!window_) return;
  SetWindowLongPtrW(hwnd(), GWLP_USERDATA, 0);
  if (control_procedure_) {
    SetWindowLongPtrW(hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(control_procedure_));
  }
}

void WindowBase::Destroy() {
  Detach();
  window_.reset();
}

LRESULT WindowBase::Default(UINT message, WPARAM wparam, LPARAM lparam) {
  if (control_procedure_)
    return CallWindowProcW(control_procedure_, hwnd(), message, wparam, lparam);
  return DefWindowProcW(hwnd(), message, wparam, lparam);
}

std::optional<LRESULT> WindowBase::HandleNotification(UINT, WPARAM, LPARAM) { return std::nullopt; }

void WindowBase::ReportHandlerFailure(TextView description, UINT message) noexcept {
  WindowBase* top = FromHandle(GetAncestor(hwnd(), GA_ROOT));
  if (top && top != this) top->ReportHandlerFailure(description, message);
}

void RegisterWindowClass(const wchar_t* name) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &WindowBase::Procedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = name;
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) FailWithLastError();
}

UniqueWindow CreateChild(DWORD ex_style, const wchar_t* class_name, const Text& text, DWORD style,
                         HWND parent, int id) {
  UniqueWindow child(CreateWindowExW(ex_style, class_name, Wide(text), WS_CHILD | style, 0, 0, 0, 0,
                                     parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                     GetModuleHandleW(nullptr), nullptr));
  if (!child) FailWithLastError();
  return child;
}

Text WindowText(HWND window) {
  Text text(static_cast<std::size_t>(GetWindowTextLengthW(window)), u'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(window, Wide(text), static_cast<int>(text.size()) + 1)));
  return text;
}

}  // namespace ostrevane::window
