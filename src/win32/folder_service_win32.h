#pragma once
// The folder service over the Win32 shell lookup and FindFirstFileW.

#include <windows.h>

#include <map>

#include "catalogue/folder_service.h"

namespace ostrevane::win32 {

class Win32FolderService : public FolderService {
 public:
  explicit Win32FolderService(HWND owner = nullptr) : owner_(owner) {}

  // Answers `csidl` with `path` instead of asking the shell; tests point the
  // scan and the deletion at folders of their own this way.
  void OverrideRoot(int csidl, Text path) { overrides_[csidl] = std::move(path); }
  void SetOwner(HWND owner) { owner_ = owner; }

  Text RootPath(int csidl) override;
  std::unique_ptr<Folder> OpenFolder(const Text& path) override;

 private:
  HWND owner_;
  std::map<int, Text> overrides_;
};

}  // namespace ostrevane::win32
