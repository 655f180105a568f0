#include "test_folders.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <stdexcept>

#include "win32/win_text.h"

namespace ostrevane::testing {

using win32::FromWide;
using win32::Wide;

namespace {
std::atomic<int> g_counter{0};
}

TempFolder::TempFolder() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  Text base = FromWide(temp);
  if (!base.empty() && base.back() == u'\\') base.pop_back();
  path_ = base + u"\\ostrevane-test-" + DecimalText(GetCurrentProcessId()) + u"-" +
          DecimalText(g_counter++);
  RemoveTree(path_);
  if (!CreateDirectoryW(Wide(path_), nullptr)) throw std::runtime_error("cannot make temp folder");
}

TempFolder::~TempFolder() { RemoveTree(path_); }

Text TempFolder::MakeFolder(const Text& relative) const {
  const Text full = path_ + u"\\" + relative;
  if (!CreateDirectoryW(Wide(full), nullptr)) throw std::runtime_error("cannot make folder");
  return full;
}

Text TempFolder::MakeFile(const Text& relative, std::string_view contents) const {
  const Text full = path_ + u"\\" + relative;
  HANDLE file = CreateFileW(Wide(full), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot make file");
  DWORD written = 0;
  WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
  CloseHandle(file);
  return full;
}

bool PathExists(const Text& path) {
  return GetFileAttributesW(Wide(path)) != INVALID_FILE_ATTRIBUTES;
}

std::vector<Text> NamesIn(const Text& folder) {
  std::vector<Text> names;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(Wide(folder + u"\\*"), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const Text name = FromWide(data.cFileName);
    if (name != u"." && name != u"..") names.push_back(name);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

void RemoveTree(const Text& path) {
  const DWORD attributes = GetFileAttributesW(Wide(path));
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesW(Wide(path), FILE_ATTRIBUTE_NORMAL | (attributes & FILE_ATTRIBUTE_DIRECTORY));
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    DeleteFileW(Wide(path));
    return;
  }
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(Wide(path + u"\\*"), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const Text name = FromWide(data.cFileName);
      if (name != u"." && name != u"..") RemoveTree(path + u"\\" + name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(Wide(path));
}

}  // namespace ostrevane::testing
