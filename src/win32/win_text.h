#pragma once
// Text at the Win32 boundary: wchar_t is UTF-16 on Windows, so Text and the
// wide API strings are the same code units; and Win32 errors in words.

#include <windows.h>

#include <algorithm>
#include <optional>

#include "base/failure.h"
#include "base/text.h"

namespace ostrevane::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide strings are UTF-16");

inline const wchar_t* Wide(const Text& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}
inline wchar_t* Wide(Text& text) { return reinterpret_cast<wchar_t*>(text.data()); }
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
