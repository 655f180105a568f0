#pragma once
// What reading a shortcut needs from the file system: the bytes of a file.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/failure.h"
#include "base/text.h"

namespace ostrevane {

class FileReader {
 public:
  virtual ~FileReader() = default;
  // The first `limit` bytes of the file at `path` (all of them when it is
  // shorter), read without running, resolving or changing it. Throws Failure
  // in the system's words when it cannot be read.
  virtual std::vector<std::uint8_t> ReadStart(const Text& path, std::size_t limit) = 0;
};

}  // namespace ostrevane
