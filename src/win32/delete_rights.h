#pragma once
// Whether this account may delete an entry, asked of the entry's and its
// folder's security with the process's own token.

#include <windows.h>

#include "base/text.h"
#include "win32/handles.h"

namespace ostrevane::win32 {

class DeleteRights {
 public:
  // Whether this account may delete `entry`, open with READ_CONTROL, from
  // the folder at `folder_path`; true when that cannot be told, and the shell
  // is left to find out.
  [[nodiscard]] bool MayDelete(HANDLE entry, const Text& folder_path);

 private:
  // The process's token, as access checks take it, read once; null when
  // unavailable.
  HANDLE Token();

  UniqueKernelHandle token_;
  bool token_tried_ = false;
};

}  // namespace ostrevane::win32
