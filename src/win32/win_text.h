#pragma once
// Text at the Win32 boundary: wchar_t is UTF-16 on Windows, so Text and the
// wide API strings are the same code units; and Win32 errors in words.

#include <windows.h>

#include "base/failure.h"
#include "base/text.h"

namespace ostrevane::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide strings are UTF-16");

inline const wchar_t* Wide(const Text& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}
inline Text FromWide(const wchar_t* text) {
  return text ? Text(reinterpret_cast<const char16_t*>(text)) : Text();
}
inline Text FromWide(const wchar_t* text, std::size_t length) {
  return Text(reinterpret_cast<const char16_t*>(text), length);
}

// The system's own description of a Win32 error code, without trailing line
// breaks; a code the system has no words for is shown as a number.
Text SystemErrorText(DWORD code);

// Throws Failure with the description of `code`.
[[noreturn]] void FailWithSystemError(DWORD code);
// Throws Failure with the description of GetLastError().
[[noreturn]] void FailWithLastError();

// Installs the system's own lower-case mapping (the invariant locale's) as
// the process-wide case mapping.
void InstallSystemCaseMapping();

// Installs the user's collation (case ignored) as the process-wide sort key,
// so that the list sorts names as Windows does.
void InstallSystemSortKeys();

// The folder that holds the running program file, without a trailing
// separator.
Text ExecutableFolder();

}  // namespace ostrevane::win32
