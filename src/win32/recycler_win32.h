#pragma once
// The Recycler over the shell's file operation (SHFileOperationW, delete with
// undo) and the file system's attributes.

#include <windows.h>

#include <optional>

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

 private:
  // A folder as last resolved: where it leads, on which volume, and the
  // attributes it had then.
  struct ResolvedFolder {
    Text path;
    Text final_path;
    DWORD volume = 0;
    DWORD attributes = 0;
  };

  // Whether the path, every link followed, ends at exactly its own name in
  // its own folder; `entry_final` gets where it ends.
  bool EndsAtItself(const Text& full_path, const Text& entry_final);
  const ResolvedFolder& Folder(const Text& folder_path, bool afresh);

  // The folder of the entries last asked about. Entries of one folder are
  // asked about one after another, so it is resolved once for them all; it is
  // resolved again whenever its attributes change or an entry does not end
  // up inside it.
  std::optional<ResolvedFolder> folder_;
  // The path LinkAt has just found to be exactly the entry itself, not a
  // link; the move that follows needs not open it again to know that.
  Text found_itself_;
};

// Words for a non-zero result of SHFileOperationW: the shell's own codes for
// the operations it refused, and any other value as a Win32 error.
Text ShellOperationErrorText(int result);

}  // namespace ostrevane::win32
