#pragma once
// The shell's file operation (SHFileOperationW) in words.

#include "base/text.h"

namespace ostrevane::win32 {

// Words for a non-zero result of SHFileOperationW: the shell's own codes for
// the operations it refused, and any other value as a Win32 error.
Text ShellOperationErrorText(int result);

}  // namespace ostrevane::win32
