#pragma once
// One move-only owner per kind of Win32 handle.

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <uxtheme.h>

#include <utility>

namespace ostrevane::win32 {

template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;
  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept
      : handle_(std::exchange(other.handle_, Traits::Invalid())) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(std::exchange(other.handle_, Traits::Invalid()));
    return *this;
  }
  ~UniqueHandle() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Traits::Invalid(); }
  void reset(Handle handle = Traits::Invalid()) {
    if (handle_ != Traits::Invalid()) Traits::Close(handle_);
    handle_ = handle;
  }
  Handle release() { return std::exchange(handle_, Traits::Invalid()); }

 private:
  Handle handle_ = Traits::Invalid();
};

template <typename H, auto CloseFunction>
struct NullInvalidTraits {
  using Handle = H;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle handle) { CloseFunction(handle); }
};

struct FindTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle handle) { FindClose(handle); }
};

struct FileTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle handle) { CloseHandle(handle); }
};

inline void DeleteGdiObject(HGDIOBJ object) { DeleteObject(object); }

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

// COM initialised on this thread for this object's life (when it could be).
class ScopedComInit {
 public:
  explicit ScopedComInit(DWORD flags) : result_(CoInitializeEx(nullptr, flags)) {}
  ScopedComInit(const ScopedComInit&) = delete;
  ScopedComInit& operator=(const ScopedComInit&) = delete;
  ~ScopedComInit() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }

 private:
  HRESULT result_;
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

inline void DeleteDeviceContext(HDC dc) { DeleteDC(dc); }
inline void FreeLoadedLibrary(HMODULE module) { FreeLibrary(module); }
inline void DestroyImageList(HIMAGELIST images) { ImageList_Destroy(images); }
inline void CloseTheme(HTHEME theme) { CloseThemeData(theme); }
inline void FreeLocalText(wchar_t* text) { LocalFree(text); }

using UniqueFind = UniqueHandle<FindTraits>;
using UniqueFile = UniqueHandle<FileTraits>;
// A kernel object whose failed creation gives null (a token, a thread).
using UniqueKernelHandle = UniqueHandle<NullInvalidTraits<HANDLE, &CloseHandle>>;
using UniqueFont = UniqueHandle<NullInvalidTraits<HFONT, &DeleteGdiObject>>;
using UniqueBrush = UniqueHandle<NullInvalidTraits<HBRUSH, &DeleteGdiObject>>;
using UniqueBitmap = UniqueHandle<NullInvalidTraits<HBITMAP, &DeleteGdiObject>>;
using UniqueMemoryDc = UniqueHandle<NullInvalidTraits<HDC, &DeleteDeviceContext>>;
// Text the system allocated with LocalAlloc (FormatMessageW's buffer).
using UniqueLocalText = UniqueHandle<NullInvalidTraits<wchar_t*, &FreeLocalText>>;
using UniqueIcon = UniqueHandle<NullInvalidTraits<HICON, &DestroyIcon>>;
using UniqueCursor = UniqueHandle<NullInvalidTraits<HCURSOR, &DestroyCursor>>;
// A library loaded with LoadLibraryExW.
using UniqueModule = UniqueHandle<NullInvalidTraits<HMODULE, &FreeLoadedLibrary>>;
using UniqueImageList = UniqueHandle<NullInvalidTraits<HIMAGELIST, &DestroyImageList>>;
using UniqueTheme = UniqueHandle<NullInvalidTraits<HTHEME, &CloseTheme>>;
using UniqueWindow = UniqueHandle<NullInvalidTraits<HWND, &DestroyWindow>>;

}  // namespace ostrevane::win32
