#pragma once
// The Recycler over the shell's file operation (SHFileOperationW, delete with
// undo) and the file system's attributes.

#include <windows.h>

#include "catalogue/recycler.h"
#include "win32/owner_window.h"

namespace ostrevane::win32 {

// The owner window owns any box the shell shows.
class Win32Recycler : public Recycler, public OwnerWindow {
 public:
  using OwnerWindow::OwnerWindow;

  void MoveToRecycleBin(const Text& full_path) override;
  bool Exists(const Text& full_path) override;
  std::optional<EntryLink> LinkAt(const Text& full_path) override;
};

// Words for a non-zero result of SHFileOperationW: the shell's own codes for
// the operations it refused, and any other value as a Win32 error.
Text ShellOperationErrorText(int result);

}  // namespace ostrevane::win32
