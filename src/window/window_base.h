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
// A control's object also gets the notifications its parent receives for it
// (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM), before the parent's own object does:
// what concerns a control is handled where its state is.
//
// The object owns its window: destroying the object destroys the window, and
// a window destroyed first (by a close, or with its parent) lets go of the
// object at WM_NCDESTROY. No exception crosses user32: one that escapes a
// handler is reported, and the message gets its default handling instead.

#include <windows.h>

#include <optional>

#include "base/text.h"
#include "win32/handles.h"

namespace ostrevane::window {

class WindowBase {
 public:
  WindowBase() = default;
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;
  virtual ~WindowBase() { Destroy(); }

  // Null before the window exists and once it is gone.
  HWND hwnd() const { return window_.get(); }

  // The object of a window whose procedure is WindowBase::Procedure; null for
  // any other window.
  static WindowBase* FromHandle(HWND window);

  // The procedure of the program's own window classes, whose windows are
  // created with their object as the creation parameter: the object takes
  // its window at WM_NCCREATE.
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

 protected:
  // Takes a system control over: its messages reach HandleMessage first.
  void Adopt(win32::UniqueWindow control);
  // Lets go of the window and destroys it. An object whose members hold the
  // objects of its child windows calls it in its own destructor, while they
  // still live.
  void Destroy();

  virtual LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) = 0;
  // A notification about this control that its parent received; its result,
  // or none to leave the message to the parent.
  virtual std::optional<LRESULT> HandleNotification(UINT message, WPARAM wparam, LPARAM lparam);
  // The window's own handling of a message, without this object.
  LRESULT Default(UINT message, WPARAM wparam, LPARAM lparam);
  // Shows what a handler threw; it must not throw. By default the object of
  // the top-level window this one is in shows it; without one nobody is left
  // to tell.
  virtual void ReportHandlerFailure(TextView description, UINT message) noexcept;

 private:
  // No message reaches the object any more; the window keeps living.
  void Detach();

  win32::UniqueWindow window_;
  WNDPROC control_procedure_ = nullptr;  // an adopted control's own
};

// Registers a window class of this module with WindowBase::Procedure once;
// later calls do nothing. Throws Failure when it cannot.
void RegisterWindowClass(const wchar_t* name);

// Creates a child control, its id as its menu handle. Throws Failure with the
// system's words when it cannot.
win32::UniqueWindow CreateChild(DWORD ex_style, const wchar_t* class_name, const Text& text,
                                DWORD style, HWND parent, int id);

// A window's text.
Text WindowText(HWND window);

}  // namespace ostrevane::window
