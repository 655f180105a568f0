#pragma once
// Twips, 1/1440 inch: the unit of every position and size in the window.

namespace ostrevane {

inline constexpr int kTwipsPerInch = 1440;
// The resolution of a screen at 100 % scale, and of any window that cannot
// tell its own.
inline constexpr int kDefaultDpi = 96;

// value * numerator / denominator, rounded to the nearest whole number, halves
// away from zero; denominator > 0.
constexpr int ScaleRounded(int value, int numerator, int denominator) {
  const long long scaled = static_cast<long long>(value) * numerator;
  const long long half = denominator / 2;
  return static_cast<int>(scaled >= 0 ? (scaled + half) / denominator
                                      : -((-scaled + half) / denominator));
}

// Twips to pixels at `dpi`, rounded to the nearest pixel.
constexpr int TwipsToPixels(int twips, int dpi) { return ScaleRounded(twips, dpi, kTwipsPerInch); }

// Pixels at `dpi` to twips, rounded to the nearest twip.
constexpr int PixelsToTwips(int pixels, int dpi) {
  return ScaleRounded(pixels, kTwipsPerInch, dpi);
}

// A width kept in fractional twips, rounded to whole twips.
constexpr int WholeTwips(double twips) { return static_cast<int>(twips + 0.5); }

// Pixels at 100 % scale to pixels at `dpi`.
constexpr int ScaleFromDefaultDpi(int pixels, int dpi) {
  return ScaleRounded(pixels, dpi, kDefaultDpi);
}

// A font height in pixels (negative: character height) for a size in
// hundredths of a point at `dpi`.
constexpr int FontHeightPixels(int centipoints, int dpi) {
  return -static_cast<int>((static_cast<long long>(centipoints) * dpi + 3600) / 7200);
}

}  // namespace ostrevane
