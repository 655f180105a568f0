#pragma once
// The base of the program's own windows. Its window procedure takes the
// object from CREATESTRUCT at WM_NCCREATE, keeps it with the window and hands
// it every message; at WM_NCDESTROY the window lets go of it. No exception
// crosses user32: one that escapes a handler is reported, and the message gets
// its default handling instead.

#include <windows.h>

#include <memory>

#include "base/text.h"

namespace ostrevane::win32 {

class WindowBase {
 public:
  WindowBase() = default;
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;
  virtual ~WindowBase() = default;

  HWND hwnd() const { return hwnd_; }

  // Window procedures for a class whose windows are created with a
  // WindowBase* as their creation parameter, which the creator keeps alive
  // for the window's life...
  static LRESULT CALLBACK BorrowingProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  // ... or with a std::unique_ptr<WindowBase>* that the window takes over at
  // WM_NCCREATE and frees after WM_NCDESTROY. Until then the creator still
  // owns the object, so a window that never got that far leaks nothing.
  static LRESULT CALLBACK OwningProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

  // The object of one of this program's windows, or null before WM_NCCREATE
  // and after WM_NCDESTROY. Only for windows of a class that uses one of the
  // procedures above.
  static WindowBase* FromHandle(HWND hwnd);

 protected:
  virtual LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) = 0;
  // Shows what a handler threw. By default an error report box owned by the
  // top-level window; it must not throw.
  virtual void ReportHandlerFailure(TextView description, UINT message) noexcept;

  HWND hwnd_ = nullptr;

 private:
  static LRESULT Dispatch(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  std::unique_ptr<WindowBase> owned_by_window_;
};

// The description of the exception being handled, for a report.
Text CurrentExceptionDescription();

// The error report of a handler that threw while handling `message`.
Text HandlerFailureReport(TextView description, UINT message);

// Shows that report in a box owned by the window's top-level window; never
// throws.
void ReportWindowFailure(HWND window, TextView description, UINT message) noexcept;

}  // namespace ostrevane::win32
