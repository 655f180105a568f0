#pragma once
// The base of a system control whose painting the program takes over. The
// object is attached to its control by a window subclass and lives as long as
// the control: the control frees it at WM_NCDESTROY. It never lets the control
// erase its background (the painting covers every pixel), and no exception
// thrown by a handler crosses user32.

#include <windows.h>

#include <memory>

namespace ostrevane::win32 {

class PaintedControl {
 public:
  PaintedControl() = default;
  PaintedControl(const PaintedControl&) = delete;
  PaintedControl& operator=(const PaintedControl&) = delete;
  virtual ~PaintedControl() = default;

  // Hands `control` to the window `hwnd`. When it cannot, destroys the
  // window and throws Failure.
  static void Attach(HWND hwnd, std::unique_ptr<PaintedControl> control);
  // The object attached to `hwnd`, or null.
  static PaintedControl* FromHandle(HWND hwnd);

 protected:
  // Every message but the last; Default leaves one to the system's control.
  // A handler that may end with the window destroyed (a click) must touch
  // nothing of the object afterwards.
  virtual LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) = 0;
  LRESULT Default(UINT message, WPARAM wparam, LPARAM lparam);

  HWND hwnd_ = nullptr;

 private:
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                       UINT_PTR id, DWORD_PTR self);
};

}  // namespace ostrevane::win32
