#include "window/check_box_images.h"

#include <vsstyle.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "window/dpi.h"
#include "window/gdi_handles.h"

namespace ostrevane::window {
namespace {

using Pixels = std::vector<std::uint32_t>;  // 0xAARRGGBB, rows top down

// A 32-bit top-down bitmap whose pixels can be read and written.
struct Canvas {
  UniqueBitmap bitmap;
  std::uint32_t* pixels = nullptr;
};

Canvas CreateCanvas(SIZE size) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = size.cx;
  info.bmiHeader.biHeight = -size.cy;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  Canvas canvas;
  canvas.bitmap.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (canvas.bitmap) canvas.pixels = static_cast<std::uint32_t*>(bits);
  return canvas;
}

void DrawBox(HDC dc, HTHEME theme, RECT cell, bool checked) {
  if (!theme) {
    const int margin_x = (cell.right - cell.left) / 8, margin_y = (cell.bottom - cell.top) / 8;
    InflateRect(&cell, -margin_x, -margin_y);
    DrawFrameControl(dc, &cell, DFC_BUTTON, DFCS_BUTTONCHECK | (checked ? DFCS_CHECKED : 0));
    return;
  }
  // The theme gives the box's size for the DPI it was opened for; the box
  // stands in the middle of the cell, or fills it where it would not fit.
  const int state = checked ? CBS_CHECKEDNORMAL : CBS_UNCHECKEDNORMAL;
  SIZE box{};
  RECT area = cell;
  if (SUCCEEDED(GetThemePartSize(theme, dc, BP_CHECKBOX, state, &cell, TS_DRAW, &box)) &&
      box.cx > 0 && box.cy > 0 && box.cx <= cell.right - cell.left &&
      box.cy <= cell.bottom - cell.top) {
    area.left += (cell.right - cell.left - box.cx) / 2;
    area.top += (cell.bottom - cell.top - box.cy) / 2;
    area.right = area.left + box.cx;
    area.bottom = area.top + box.cy;
  }
  DrawThemeBackground(theme, dc, BP_CHECKBOX, state, &area, nullptr);
}

// Both boxes side by side, the empty one first, drawn over `background`.
std::optional<Pixels> DrawBoxes(HTHEME theme, SIZE cell, COLORREF background) {
  const SIZE strip{2 * cell.cx, cell.cy};
  const Canvas canvas = CreateCanvas(strip);
  const UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  if (!canvas.pixels || !dc) return std::nullopt;
  {
    const ScopedSelection selected(dc.get(), canvas.bitmap.get());
    const RECT all{0, 0, strip.cx, strip.cy};
    FillRect(dc.get(), &all, UniqueBrush(CreateSolidBrush(background)).get());
    DrawBox(dc.get(), theme, RECT{0, 0, cell.cx, cell.cy}, false);
    DrawBox(dc.get(), theme, RECT{cell.cx, 0, strip.cx, cell.cy}, true);
    GdiFlush();
  }
  return Pixels(canvas.pixels, canvas.pixels + strip.cx * strip.cy);
}

// GDI draws no transparency, and a theme's box blends into what is below
// it: a pixel drawn over black and over white tells how much of the
// background it lets through (the difference) and its own colour (over black,
// divided by how much it covers). The image list takes colours not multiplied
// by their alpha, as an icon's are.
std::uint32_t Unblend(std::uint32_t over_black, std::uint32_t over_white) {
  int through = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int difference = static_cast<int>((over_white >> shift) & 0xFF) -
                           static_cast<int>((over_black >> shift) & 0xFF);
    through = std::max(through, difference);
  }
  const int alpha = 255 - std::min(through, 255);
  if (alpha == 0) return 0;
  std::uint32_t pixel = static_cast<std::uint32_t>(alpha) << 24;
  for (int shift = 0; shift < 24; shift += 8) {
    const int covered = static_cast<int>((over_black >> shift) & 0xFF);
    pixel |= static_cast<std::uint32_t>(std::min(255, (covered * 255 + alpha / 2) / alpha))
             << shift;
  }
  return pixel;
}

}  // namespace

UniqueImageList CreateCheckBoxImages(HWND list, int dpi) {
  const UniqueTheme theme(OpenThemeAtDpi(list, L"BUTTON", dpi));
  return CreateCheckBoxImages(theme.get(), dpi);
}

UniqueImageList CreateCheckBoxImages(HTHEME theme, int dpi) {
  const SIZE cell{SystemMetricForDpi(SM_CXSMICON, dpi), SystemMetricForDpi(SM_CYSMICON, dpi)};
  if (cell.cx <= 0 || cell.cy <= 0) return {};
  const std::optional<Pixels> over_black = DrawBoxes(theme, cell, RGB(0, 0, 0));
  const std::optional<Pixels> over_white = DrawBoxes(theme, cell, RGB(255, 255, 255));
  const Canvas strip = CreateCanvas(SIZE{2 * cell.cx, cell.cy});
  if (!over_black || !over_white || !strip.pixels) return {};
  std::transform(over_black->begin(), over_black->end(), over_white->begin(), strip.pixels,
                 &Unblend);

  UniqueImageList images(ImageList_Create(cell.cx, cell.cy, ILC_COLOR32, 2, 0));
  if (!images || ImageList_Add(images.get(), strip.bitmap.get(), nullptr) != 0 ||
      ImageList_GetImageCount(images.get()) != 2) {
    return {};
  }
  return images;
}

}  // namespace ostrevane::window
