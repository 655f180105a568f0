#pragma once
// What Windows allows in a file's name and takes as a drive's letter, for
// every rule that reads a name or a path.

#include "base/text.h"

namespace ostrevane {

// A character no Windows file name holds: a control character, a path
// separator, or one of : * ? " < > |.
constexpr bool IsForbiddenInName(char16_t unit) {
  return unit < 0x20 || TextView(u"\\/:*?\"<>|").find(unit) != TextView::npos;
}

// Of those, the ones the file system matches as patterns: * and ?, and
// < > " as their MS-DOS forms.
constexpr bool IsWildcard(char16_t unit) {
  return TextView(u"*?<>\"").find(unit) != TextView::npos;
}

// A drive's letter, as "C:" begins a path.
constexpr bool IsDriveLetter(char16_t unit) {
  return (unit >= u'A' && unit <= u'Z') || (unit >= u'a' && unit <= u'z');
}

}  // namespace ostrevane
