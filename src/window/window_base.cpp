#include "window/window_base.h"

#include <exception>
#include <new>

#include "base/failure.h"
#include "commands/error_report.h"
#include "window/dialogs_win32.h"

namespace ostrevane::win32 {
namespace {

constexpr char16_t kWindowProcedureContext[] = u"in the window procedure ";

void Attach(HWND hwnd, WindowBase* self) {
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
}

}  // namespace

Text CurrentExceptionDescription() {
  try {
    throw;
  } catch (const Failure& failure) {
    return failure.description();
  } catch (const std::bad_alloc&) {
    return failure_text::kOutOfMemory;
  } catch (const std::exception& error) {
    return FromUtf8(error.what());
  } catch (...) {
    return u"Unknown exception";
  }
}

WindowBase* WindowBase::FromHandle(HWND hwnd) {
  return reinterpret_cast<WindowBase*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

LRESULT CALLBACK WindowBase::BorrowingProcedure(HWND hwnd, UINT message, WPARAM wparam,
                                                LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->hwnd_ = hwnd;
    Attach(hwnd, self);
  }
  return Dispatch(hwnd, message, wparam, lparam);
}

LRESULT CALLBACK WindowBase::OwningProcedure(HWND hwnd, UINT message, WPARAM wparam,
                                             LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* owner = static_cast<std::unique_ptr<WindowBase>*>(
        reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    WindowBase* self = owner->get();
    self->owned_by_window_ = std::move(*owner);
    self->hwnd_ = hwnd;
    Attach(hwnd, self);
  }
  return Dispatch(hwnd, message, wparam, lparam);
}

LRESULT WindowBase::Dispatch(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  WindowBase* self = FromHandle(hwnd);
  if (!self) return DefWindowProcW(hwnd, message, wparam, lparam);
  // The last message: nothing reaches the object after it.
  std::unique_ptr<WindowBase> freed_on_return;
  if (message == WM_NCDESTROY) {
    Attach(hwnd, nullptr);
    freed_on_return = std::move(self->owned_by_window_);
  }
  try {
    return self->HandleMessage(message, wparam, lparam);
  } catch (...) {
    self->ReportHandlerFailure(CurrentExceptionDescription(), message);
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

Text HandlerFailureReport(TextView description, UINT message) {
  return ComposeErrorReport(description, kWindowProcedureContext, static_cast<int>(message));
}

void ReportWindowFailure(HWND window, TextView description, UINT message) noexcept {
  try {
    Win32Dialogs(GetAncestor(window, GA_ROOT))
        .ShowErrorReport(HandlerFailureReport(description, message));
  } catch (...) {
    // Nobody is left to tell.
  }
}

void WindowBase::ReportHandlerFailure(TextView description, UINT message) noexcept {
  ReportWindowFailure(hwnd_, description, message);
}

}  // namespace ostrevane::win32
