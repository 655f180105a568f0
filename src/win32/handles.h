#pragma once
// One move-only owner per kind of Win32 handle.

#include <windows.h>

#include <objbase.h>

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

inline void FreeLoadedLibrary(HMODULE module) { FreeLibrary(module); }
inline void FreeLocalText(wchar_t* text) { LocalFree(text); }

using UniqueFind = UniqueHandle<FindTraits>;
using UniqueFile = UniqueHandle<FileTraits>;
// A kernel object whose failed creation gives null (a token, a thread).
using UniqueKernelHandle = UniqueHandle<NullInvalidTraits<HANDLE, &CloseHandle>>;
// Text the system allocated with LocalAlloc (FormatMessageW's buffer).
using UniqueLocalText = UniqueHandle<NullInvalidTraits<wchar_t*, &FreeLocalText>>;
// A library loaded with LoadLibraryExW.
using UniqueModule = UniqueHandle<NullInvalidTraits<HMODULE, &FreeLoadedLibrary>>;
using UniqueWindow = UniqueHandle<NullInvalidTraits<HWND, &DestroyWindow>>;

}  // namespace ostrevane::win32
