#pragma once
// The grow-a-buffer loop that Windows calls which write into a caller's
// buffer need.

#include <windows.h>

#include <algorithm>
#include <optional>

namespace ostrevane::win32 {

// What a Windows call writes into a buffer of the caller's (Text, or bytes),
// the buffer grown until it fits. `fill(buffer, size)` answers how many
// elements it wrote when they fit in fewer than `size`; otherwise at least
// `size` (the size the call says it needs, or `size` itself where the call
// cuts its answer short); and 0 when it failed. None when the call failed,
// or still did not fit after a few doublings.
template <typename Buffer, typename Fill>
std::optional<Buffer> FillGrowing(Fill&& fill, std::size_t size = MAX_PATH) {
  Buffer buffer(size, {});
  for (int attempt = 0; attempt < 8; ++attempt) {
    const std::size_t filled = fill(buffer, static_cast<DWORD>(buffer.size()));
    if (filled == 0) return std::nullopt;
    if (filled < buffer.size()) {
      buffer.resize(filled);
      return buffer;
    }
    buffer.resize(std::max(filled + 1, buffer.size() * 2));
  }
  return std::nullopt;
}

}  // namespace ostrevane::win32
