#pragma once
// The bytes of a file, read with CreateFileW and ReadFile.

#include "catalogue/file_reader.h"

namespace ostrevane::win32 {

class Win32FileReader : public FileReader {
 public:
  std::vector<std::uint8_t> ReadStart(const Text& path, std::size_t limit) override;
};

}  // namespace ostrevane::win32
