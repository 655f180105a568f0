#pragma once
// The owners of the handles only the window draws with: fonts, brushes,
// bitmaps, device contexts, icons, cursors, image lists and themes.

#include <windows.h>

#include <commctrl.h>
#include <uxtheme.h>

#include "win32/handles.h"

namespace ostrevane::window {

inline void DeleteGdiObject(HGDIOBJ object) { DeleteObject(object); }
inline void DeleteDeviceContext(HDC dc) { DeleteDC(dc); }
inline void DestroyImageList(HIMAGELIST images) { ImageList_Destroy(images); }
inline void CloseTheme(HTHEME theme) { CloseThemeData(theme); }

template <typename H, auto CloseFunction>
using Unique = win32::UniqueHandle<win32::NullInvalidTraits<H, CloseFunction>>;
using UniqueFont = Unique<HFONT, &DeleteGdiObject>;
using UniqueBrush = Unique<HBRUSH, &DeleteGdiObject>;
using UniqueBitmap = Unique<HBITMAP, &DeleteGdiObject>;
using UniqueMemoryDc = Unique<HDC, &DeleteDeviceContext>;
using UniqueIcon = Unique<HICON, &DestroyIcon>;
using UniqueCursor = Unique<HCURSOR, &DestroyCursor>;
using UniqueImageList = Unique<HIMAGELIST, &DestroyImageList>;
using UniqueTheme = Unique<HTHEME, &CloseTheme>;

// Puts an object into a device context for this object's life, then puts
// back what was there before.
class ScopedSelection {
 public:
  ScopedSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ScopedSelection(const ScopedSelection&) = delete;
  ScopedSelection& operator=(const ScopedSelection&) = delete;
  ~ScopedSelection() {
    if (previous_) SelectObject(dc_, previous_);
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A window's device context (the screen's for no window) for this object's life.
class ScopedWindowDc {
 public:
  explicit ScopedWindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ScopedWindowDc(const ScopedWindowDc&) = delete;
  ScopedWindowDc& operator=(const ScopedWindowDc&) = delete;
  ~ScopedWindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

}  // namespace ostrevane::window
