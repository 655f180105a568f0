#pragma once
// Win32 errors in words, turned into failures at the boundary, once.

#include <windows.h>

#include <source_location>

#include "base/failure.h"
#include "base/text.h"

namespace ostrevane::win32 {

// The system's own description of a Win32 error code, without trailing line
// breaks; a code the system has no words for is shown as a number.
Text SystemErrorText(DWORD code);

// Throws Failure with the description of `code`, and the code, and the
// caller's place.
[[noreturn]] void FailWithSystemError(DWORD code,
                                      std::source_location where = std::source_location::current());
// Throws Failure with the description of GetLastError().
[[noreturn]] void FailWithLastError(std::source_location where = std::source_location::current());

}  // namespace ostrevane::win32
