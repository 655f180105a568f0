#pragma once
// The program's own window classes.

#include <windows.h>

#include "base/text.h"

namespace ostrevane::win32 {

// Registers a window class of this module once; later calls do nothing.
// Throws Failure when the class cannot be registered.
void RegisterWindowClass(const wchar_t* name, WNDPROC procedure, UINT style = 0);

// Creates a child control, its id as its menu handle and `create_param` as
// its creation parameter. Throws Failure with the system's words when it
// cannot.
HWND CreateChild(DWORD ex_style, const wchar_t* class_name, const Text& text, DWORD style,
                 HWND parent, int id, void* create_param = nullptr);

}  // namespace ostrevane::win32
