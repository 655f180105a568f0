#pragma once
// Timing for the benchmarks that run under Wine: seconds on the
// performance counter, and the median of a few runs.

#include <windows.h>

#include <algorithm>
#include <vector>

namespace ostrevane::bench {

inline double Now() {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace ostrevane::bench
