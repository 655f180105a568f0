#pragma once
// The base of a control that paints itself whole: it never erases its
// background, draws the same way for WM_PAINT and WM_PRINTCLIENT, and keeps
// the font its parent gives it.

#include <windows.h>

#include "win32/window_base.h"

namespace ostrevane::win32 {

class PaintedControl : public WindowBase {
 protected:
  // Draws the whole control.
  virtual void Paint(HDC dc) = 0;
  // Every message the painting leaves to the control.
  virtual LRESULT HandleControlMessage(UINT message, WPARAM wparam, LPARAM lparam) = 0;

  HFONT font = nullptr;  // null for the default GUI font

 private:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) final;
};

}  // namespace ostrevane::win32
