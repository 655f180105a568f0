#pragma once
// The Recycler over the shell's file operation (SHFileOperationW, delete with
// undo) and the file system's attributes.

#include <windows.h>

#include "catalogue/recycler.h"

namespace ostrevane::win32 {

class Win32Recycler : public Recycler {
 public:
  // `owner` owns any box the shell shows (may be null).
  explicit Win32Recycler(HWND owner = nullptr) : owner_(owner) {}
  void SetOwner(HWND owner) { owner_ = owner; }

  void MoveToRecycleBin(const Text& full_path) override;
  bool Exists(const Text& full_path) override;

 private:
  HWND owner_;
};

// Words for a non-zero result of SHFileOperationW: the shell's own codes for
// the operations it refused, and any other value as a Win32 error.
Text ShellOperationErrorText(int result);

}  // namespace ostrevane::win32
