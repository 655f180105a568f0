#pragma once
// For Windows programs of this project that run under Wine and reach out to
// the Linux side: environment, Unix and Windows paths, special folders.

#include <windows.h>

#include <shlobj.h>

#include <string>

#include "platform/win32/win_text.h"

namespace ostrevane::testing {

inline Text Environment(const wchar_t* name) {
  wchar_t buffer[2048] = {};
  const DWORD length = GetEnvironmentVariableW(name, buffer, 2048);
  return length < 2048 ? win32::FromWide(buffer, length) : Text();
}

// Wine names a Unix path as a Windows path on its Z: drive.
inline Text DosPathOf(const Text& unix_path) {
  using ToDos = wchar_t* (*)(const char*);
  const auto to_dos = reinterpret_cast<ToDos>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
  if (!to_dos) return unix_path;
  wchar_t* dos = to_dos(ToUtf8(unix_path).c_str());
  Text result = win32::FromWide(dos);
  HeapFree(GetProcessHeap(), 0, dos);
  return result;
}

inline std::string UnixPathOf(const Text& dos_path) {
  using ToUnix = char* (*)(const wchar_t*);
  const auto to_unix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!to_unix) return ToUtf8(dos_path);
  char* unix_path = to_unix(win32::Wide(dos_path));
  std::string result = unix_path ? unix_path : "";
  HeapFree(GetProcessHeap(), 0, unix_path);
  return result;
}

inline Text SpecialFolder(int csidl) {
  wchar_t buffer[MAX_PATH] = {};
  SHGetSpecialFolderPathW(nullptr, buffer, csidl, TRUE);
  return win32::FromWide(buffer);
}

}  // namespace ostrevane::testing
