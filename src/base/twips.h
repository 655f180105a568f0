#pragma once
// Twips, 1/1440 inch: the unit of every position and size in the window.

namespace ostrevane {

// Twips to pixels at `dpi`, rounded to the nearest pixel.
constexpr int TwipsToPixels(int twips, int dpi) {
  const long long scaled = static_cast<long long>(twips) * dpi;
  return static_cast<int>(scaled >= 0 ? (scaled + 720) / 1440 : -((-scaled + 720) / 1440));
}

// A font height in pixels (negative: character height) for a size in
// hundredths of a point at `dpi`.
constexpr int FontHeightPixels(int centipoints, int dpi) {
  return -static_cast<int>((static_cast<long long>(centipoints) * dpi + 3600) / 7200);
}

}  // namespace ostrevane
