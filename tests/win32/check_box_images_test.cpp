#include "window/check_box_images.h"
#include "window/dpi.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <uxtheme.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace ostrevane {
namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);

// One image of an image list as drawn over magenta, pixel by pixel.
std::vector<COLORREF> DrawnOverMagenta(HIMAGELIST images, int image, int size) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(info.bmiHeader), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const window::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  const window::UniqueBitmap bitmap(
      CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bits) return {};
  {
    const window::ScopedSelection selected(dc.get(), bitmap.get());
    const RECT all{0, 0, size, size};
    FillRect(dc.get(), &all, window::UniqueBrush(CreateSolidBrush(kMagenta)).get());
    ImageList_Draw(images, image, dc.get(), 0, 0, ILD_NORMAL);
    GdiFlush();
  }
  std::vector<COLORREF> pixels;
  const auto* first = static_cast<const std::uint32_t*>(bits);
  for (int i = 0; i < size * size; ++i) {
    pixels.push_back(RGB((first[i] >> 16) & 0xFF, (first[i] >> 8) & 0xFF, first[i] & 0xFF));
  }
  return pixels;
}

TEST(CheckBoxImagesTest, BoxesFillTheSmallIconSizeOpaqueInsideAndClearAround) {
  struct Case {
    int dpi;
    int pixels;
  };
  const Case cases[] = {{96, 16}, {120, 20}, {144, 24}, {192, 32}};
  for (const Case& c : cases) {
    // Wine has a theme of its own; no theme draws the classic boxes.
    const window::UniqueTheme button_theme(window::OpenThemeAtDpi(nullptr, L"BUTTON", c.dpi));
    std::vector<COLORREF> ticked_by_kind[2];
    for (const bool themed : {true, false}) {
      const char* kind = themed ? "themed" : "classic";
      const window::UniqueImageList boxes =
          window::CreateCheckBoxImages(themed ? button_theme.get() : nullptr, c.dpi);
      ASSERT_TRUE(boxes) << kind << " at " << c.dpi;
      int width = 0, height = 0;
      ASSERT_TRUE(ImageList_GetIconSize(boxes.get(), &width, &height));
      EXPECT_EQ(width, c.pixels) << kind << " at " << c.dpi;
      EXPECT_EQ(height, c.pixels) << kind << " at " << c.dpi;
      ASSERT_EQ(ImageList_GetImageCount(boxes.get()), 2);
      const std::vector<COLORREF> empty = DrawnOverMagenta(boxes.get(), 0, c.pixels);
      const std::vector<COLORREF> ticked = DrawnOverMagenta(boxes.get(), 1, c.pixels);
      ASSERT_EQ(empty.size(), static_cast<std::size_t>(c.pixels * c.pixels));
      for (const auto* image : {&empty, &ticked}) {
        EXPECT_EQ(image->front(), kMagenta) << kind << " at " << c.dpi;
        EXPECT_EQ(image->back(), kMagenta) << kind << " at " << c.dpi;
      }
      EXPECT_NE(empty, ticked) << kind << " at " << c.dpi;
      // Across its middle row the box covers most of the cell: a box drawn
      // for another DPI would be far too small (13 of 32 pixels at 192 DPI).
      const auto middle_row = empty.begin() + c.pixels / 2 * c.pixels;
      const auto covered = std::count_if(middle_row, middle_row + c.pixels,
                                         [](COLORREF pixel) { return pixel != kMagenta; });
      EXPECT_GE(covered * 3, c.pixels * 2) << kind << " at " << c.dpi;
      ticked_by_kind[themed ? 0 : 1] = ticked;
    }
    if (button_theme) {
      EXPECT_NE(ticked_by_kind[0], ticked_by_kind[1]) << "the theme's boxes at " << c.dpi;
    }
  }
}

}  // namespace
}  // namespace ostrevane
