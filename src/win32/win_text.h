#pragma once
// Text at the Win32 boundary: wchar_t is UTF-16 on Windows, so Text and the
// wide API strings are the same code units.

#include <windows.h>

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

}  // namespace ostrevane::win32
