#pragma once
// The Recycler over the shell's file operation (SHFileOperationW, delete with
// undo), with the file system's own answers about the entry before and after.

#include <windows.h>

#include <optional>

#include "catalogue/recycler.h"
#include "win32/delete_rights.h"
#include "win32/handles.h"
#include "win32/owner_window.h"

namespace ostrevane::win32 {

// The owner window owns any box the shell shows.
class Win32Recycler : public Recycler, public OwnerWindow {
 public:
  using OwnerWindow::OwnerWindow;

  [[nodiscard]] std::optional<NotMoved> Recycle(const Text& full_path) override;
  [[nodiscard]] std::optional<NotMoved> Inspect(const Text& full_path) override;
  // With nobody at the screen to answer, every question the shell asks
  // (whether to delete for good what the Recycle Bin cannot take) is
  // answered No, and the entry is reported as left where it is.
  void SetUnattended(bool unattended) { unattended_ = unattended; }

 private:
  // A file system as its size tells it apart from another.
  struct FileSystemId {
    long long units = 0;
    unsigned long unit_bytes = 0;
    bool operator==(const FileSystemId&) const = default;
  };
  // A folder as last resolved: where it leads, on which file system, and the
  // attributes it had then.
  struct ResolvedFolder {
    Text path;
    Text final_path;
    FileSystemId file_system;
    DWORD attributes = 0;
  };

  static FileSystemId FileSystemOf(HANDLE handle);
  // The entries of one folder are asked about one after another, so the
  // folder is resolved once for them all; it is resolved again whenever its
  // attributes change, and before an entry is refused for not ending up
  // inside it. None when the folder cannot be opened.
  const ResolvedFolder* Folder(const Text& folder_path, bool afresh);
  // The window handed to the shell as the owner of its boxes: the owner
  // window, or when unattended without one, a hidden window of its own.
  HWND ShellOwner();

  std::optional<ResolvedFolder> folder_;
  DeleteRights rights_;
  UniqueWindow own_owner_;
  bool unattended_ = false;
};

}  // namespace ostrevane::win32
