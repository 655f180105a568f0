#include "window/file_queries_win32.h"

#include <windows.h>

#include "win32/handles.h"
#include "win32/win_text.h"
#include "win32/system_error.h"
#include "win32/fill_growing.h"

namespace ostrevane::window {

using win32::FailWithLastError;
using win32::FillGrowing;
using win32::UniqueFind;
using win32::Wide;

Text Win32FileQueries::ExecutableFolder() {
  if (!executable_folder_.empty()) return executable_folder_;
  const std::optional<Text> program = FillGrowing<Text>(
      [](Text& buffer, DWORD size) { return GetModuleFileNameW(nullptr, Wide(buffer), size); });
  if (!program) FailWithLastError();
  return Text(FolderPart(*program));
}

void Win32FileQueries::QueryLastModified(const Text& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(Wide(path), GetFileExInfoStandard, &data)) FailWithLastError();
}

bool Win32FileQueries::FindNormalFile(const Text& path) {
  WIN32_FIND_DATAW data;
  UniqueFind find(
      FindFirstFileExW(Wide(path), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0));
  if (!find) return false;
  constexpr DWORD kNotNormal =
      FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  do {
    if ((data.dwFileAttributes & kNotNormal) == 0) return true;
  } while (FindNextFileW(find.get(), &data));
  return false;
}

}  // namespace ostrevane::window
