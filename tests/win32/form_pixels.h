#pragma once
// Where the main window's parts must stand, in pixels, at 96 and at 144 DPI:
// worked out by hand from the design (15 twips a pixel at 96 DPI, 10 at 144;
// halves round up), so that a layout fault cannot hide behind the same
// conversion in the test.

#include <windows.h>

#include "window_form/form_layout.h"

namespace ostrevane::testing {

struct PixelRect {
  ControlName name;
  RECT at96;  // left, top, right, bottom in the parent's client area
  RECT at144;
};

inline constexpr SIZE kFormClientAt96{536, 497};
inline constexpr SIZE kFormClientAt144{804, 746};

inline constexpr PixelRect kFormPixels[] = {
    {ControlName::kFrame3, {8, 8, 528, 353}, {12, 12, 792, 530}},
    {ControlName::kListView1, {11, 20, 508, 335}, {17, 30, 762, 503}},  // in the frame
    {ControlName::kPushButton4, {8, 361, 264, 388}, {12, 542, 396, 582}},
    {ControlName::kPushButton5, {272, 361, 528, 388}, {408, 542, 792, 582}},
    {ControlName::kPushButton2, {8, 462, 528, 489}, {12, 693, 792, 734}},
    {ControlName::kPushButton1, {8, 394, 528, 421}, {12, 591, 792, 632}},
    {ControlName::kPushButton3, {8, 428, 528, 455}, {12, 642, 792, 683}},
};

// The list's two columns, "Menu Item" and "Type".
inline constexpr int kColumnWidthsAt96[] = {400, 67};
inline constexpr int kColumnWidthsAt144[] = {600, 100};

inline const RECT& PixelsAt(const PixelRect& rect, int dpi) {
  return dpi == 144 ? rect.at144 : rect.at96;
}

}  // namespace ostrevane::testing
