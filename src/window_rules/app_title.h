#pragma once
// The application title: the caption of every box that has none of its own.

#include "base/text.h"

namespace ostrevane {

inline constexpr char16_t kProductFullName[] = u"Ostrevane Software";
inline constexpr std::size_t kLongestAppTitle = 40;

// Cuts the full name before its last blank, at least once and then again
// while it is longer than the longest title. Fails with the invalid-argument
// description when no blank is left to cut at.
Text CutAppTitle(TextView full_name);

}  // namespace ostrevane
