#pragma once
// The window that owns whatever boxes a service shows: none until the main
// window exists, which then hands itself to every service.

#include <windows.h>

namespace ostrevane::win32 {

class OwnerWindow {
 public:
  explicit OwnerWindow(HWND owner = nullptr) : owner_(owner) {}
  void SetOwner(HWND owner) { owner_ = owner; }

 protected:
  HWND owner_;
};

}  // namespace ostrevane::win32
