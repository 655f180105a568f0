#pragma once
// The one way the program attaches code to a window, of its own class or a
// system control alike (the Button controls it paints, the list view): the
// window's procedure is WindowBase::Procedure, which finds the object in the
// window's user data and hands it every message; what the object leaves goes
// on to Default, DefWindowProcW for the program's own class and the control's
// own procedure for a system control. The procedure is replaced rather than
// wrapped in a window subclass (SetWindowSubclass): a subclass looks a window
// property up for every message, and under Wine each lookup is a round trip
// to the server, 0.11 ms here, more than a removed row costs the list.
//
// The object owns its window: destroying the object destroys the window, and
// a window destroyed first (by a close, or with its parent) lets go of the
// object at WM_NCDESTROY. No exception crosses user32: one that escapes a
// handler is reported, and the message gets its default handling instead.

#include <windows.h>

#include "base/text.h"
#include "win32/handles.h"

namespace ostrevane::win32 {

class WindowBase {
 public:
  WindowBase() = default;
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;
  virtual ~WindowBase() { Destroy(); }

  // Null before the window exists and once it is gone.
  HWND hwnd() const { return window_.get(); }

  // The procedure of the program's own window classes, whose windows are
  // created with their object as the creation parameter: the object takes
  // its window at WM_NCCREATE.
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

 protected:
  // Takes a system control over: its messages reach HandleMessage first.
  void Adopt(UniqueWindow control);
  // Lets go of the window and destroys it. An object whose members hold the
  // objects of its child windows calls it in its own destructor, while they
  // still live.
  void Destroy();

  virtual LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) = 0;
  // The window's own handling of a message, without this object.
  LRESULT Default(UINT message, WPARAM wparam, LPARAM lparam);
  // Shows what a handler threw. By default an error report box owned by the
  // top-level window; it must not throw.
  virtual void ReportHandlerFailure(TextView description, UINT message) noexcept;

 private:
  // No message reaches the object any more; the window keeps living.
  void Detach();

  UniqueWindow window_;
  WNDPROC control_procedure_ = nullptr;  // an adopted control's own
};

// Registers a window class of this module with WindowBase::Procedure once;
// later calls do nothing. Throws Failure when it cannot.
void RegisterWindowClass(const wchar_t* name);

// Creates a child control, its id as its menu handle. Throws Failure with the
// system's words when it cannot.
UniqueWindow CreateChild(DWORD ex_style, const wchar_t* class_name, const Text& text, DWORD style,
                         HWND parent, int id);

// The error report of a handler that threw while handling `message`.
Text HandlerFailureReport(TextView description, UINT message);

// A window's text.
Text WindowText(HWND window);

}  // namespace ostrevane::win32
