#pragma once
// With nobody at the screen to answer, the boxes a call shows are refused:
// while a BoxRefuser lives, every standard dialog box (class #32770) of this
// process owned by its window is answered No (or Cancel, or closed). A box
// owned by any other window is left alone.

#include <windows.h>

#include <atomic>
#include <thread>

namespace ostrevane::win32 {

class BoxRefuser {
 public:
  explicit BoxRefuser(HWND owner);
  BoxRefuser(const BoxRefuser&) = delete;
  BoxRefuser& operator=(const BoxRefuser&) = delete;
  ~BoxRefuser();

  // Whether a box was refused.
  bool Answered() const { return answered_; }

 private:
  void Watch();
  static BOOL CALLBACK Visit(HWND window, LPARAM self_pointer);

  const HWND owner_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> answered_{false};
  std::thread watcher_;
};

}  // namespace ostrevane::win32
