#pragma once
// Win32 errors in words, turned into failures at the boundary, once.

#include <windows.h>

#include "base/failure.h"
#include "base/text.h"

namespace ostrevane::win32 {

// The system's own description of a Win32 error code, without trailing line
// breaks; a code the system has no words for is shown as a number.
Text SystemErrorText(DWORD code);

// Throws Failure with the description of `code`, and the code, and the
// caller's place.
[[noreturn]] void FailWithSystemError(DWORD code, SourcePlace where = SourcePlace::Here());
// Throws Failure with the description of GetLastError().
[[noreturn]] void FailWithLastError(SourcePlace where = SourcePlace::Here());

}  // namespace ostrevane::win32
