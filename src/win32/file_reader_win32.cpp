#include "win32/file_reader_win32.h"

#include <windows.h>

#include <algorithm>

#include "win32/handles.h"
#include "win32/win_text.h"
#include "win32/system_error.h"

namespace ostrevane::win32 {

std::vector<std::uint8_t> Win32FileReader::ReadStart(const Text& path, std::size_t limit) {
  // Shared for writing and deletion as well, so that a file another program
  // holds open is still read, and that program is never hindered by this.
  const UniqueFile file(CreateFileW(Wide(path), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) FailWithLastError();
  // The buffer starts at a size that holds an ordinary shortcut whole and
  // doubles from there, so a high limit costs nothing for a small file.
  constexpr std::size_t kFirstRead = 4096, kLargestRead = 1 << 30;
  std::vector<std::uint8_t> bytes;
  while (bytes.size() < limit) {
    const std::size_t at = bytes.size();
    const std::size_t want = std::min({limit - at, std::max(at, kFirstRead), kLargestRead});
    bytes.resize(at + want);
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data() + at, static_cast<DWORD>(want), &read, nullptr)) {
      FailWithLastError();
    }
    bytes.resize(at + read);
    // A file on a disk gives less than was asked only at its end.
    if (read < want) break;
  }
  return bytes;
}

}  // namespace ostrevane::win32
