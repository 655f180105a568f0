#pragma once
// The folder service over the Win32 shell lookup and FindFirstFileW.

#include <windows.h>

#include <map>

#include "catalogue/folder_service.h"
#include "win32/owner_window.h"

namespace ostrevane::win32 {

class Win32FolderService : public FolderService, public OwnerWindow {
 public:
  using OwnerWindow::OwnerWindow;

  // Answers `csidl` with `path` instead of asking the shell; tests point the
  // scan and the deletion at folders of their own this way.
  void OverrideRoot(int csidl, Text path) { overrides_[csidl] = std::move(path); }

  Text RootPath(int csidl) override;
  std::unique_ptr<Folder> OpenFolder(const Text& path) override;
  std::optional<Text> Identity(const Text& path) override;

 private:
  std::map<int, Text> overrides_;
};

// Whether a listed entry with these attributes and reparse tag is a link,
// junction or mount point: a reparse point that stands for another name, or
// one without a tag, as Wine marks a Linux link.
bool IsLinkEntry(DWORD attributes, DWORD reparse_tag);

}  // namespace ostrevane::win32
