#include "window/painted_control.h"

#include <commctrl.h>

#include "base/failure.h"
#include "win32/win_text.h"
#include "window/window_base.h"

namespace ostrevane::win32 {
namespace {

constexpr UINT_PTR kSubclassId = 1;
// Where FromHandle finds the object: MinGW's comctl32 library does not export
// GetWindowSubclass.
constexpr wchar_t kObjectProperty[] = L"Ostrevane.PaintedControl";

}  // namespace

void PaintedControl::Attach(HWND hwnd, std::unique_ptr<PaintedControl> control) {
  control->hwnd_ = hwnd;
  if (!SetPropW(hwnd, kObjectProperty, control.get()) ||
      !SetWindowSubclass(hwnd, SubclassProc, kSubclassId,
                         reinterpret_cast<DWORD_PTR>(control.get()))) {
    // A control the program cannot paint is not left on the window.
    RemovePropW(hwnd, kObjectProperty);
    DestroyWindow(hwnd);
    throw Failure(u"The control's painting cannot be taken over.");
  }
  control.release();  // the window frees it at WM_NCDESTROY
}

PaintedControl* PaintedControl::FromHandle(HWND hwnd) {
  return static_cast<PaintedControl*>(GetPropW(hwnd, kObjectProperty));
}

LRESULT PaintedControl::Default(UINT message, WPARAM wparam, LPARAM lparam) {
  return DefSubclassProc(hwnd_, message, wparam, lparam);
}

LRESULT CALLBACK PaintedControl::SubclassProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                              UINT_PTR, DWORD_PTR self) {
  auto* control = reinterpret_cast<PaintedControl*>(self);
  switch (message) {
    case WM_NCDESTROY: {
      RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
      RemovePropW(hwnd, kObjectProperty);
      const std::unique_ptr<PaintedControl> freed(control);
      return DefSubclassProc(hwnd, message, wparam, lparam);
    }
    case WM_ERASEBKGND:
      return 1;  // the painting covers every pixel
  }
  try {
    return control->HandleMessage(message, wparam, lparam);
  } catch (...) {
    ReportWindowFailure(hwnd, CurrentExceptionDescription(), message);
  }
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

}  // namespace ostrevane::win32
