#include "window/window_class.h"

#include "win32/win_text.h"

namespace ostrevane::win32 {

void RegisterWindowClass(const wchar_t* name, WNDPROC procedure, UINT style) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = style;
  wc.lpfnWndProc = procedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = name;
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) FailWithLastError();
}

HWND CreateChild(DWORD ex_style, const wchar_t* class_name, const Text& text, DWORD style,
                 HWND parent, int id, void* create_param) {
  HWND child = CreateWindowExW(ex_style, class_name, Wide(text), WS_CHILD | style, 0, 0, 0, 0,
                               parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleW(nullptr), create_param);
  if (!child) FailWithLastError();
  return child;
}

}  // namespace ostrevane::win32
