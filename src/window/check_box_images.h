#pragma once
// The check boxes of a list view as its state images, drawn for a DPI.

#include <windows.h>

#include "win32/handles.h"
#include "window/gdi_handles.h"

namespace ostrevane::window {

// Two images at the small-icon size for `dpi`: an empty check box (image 0)
// and a ticked one (image 1), as the list view's own state images are, with
// transparency around the box. They are the theme's check boxes when `list`
// is themed, the classic ones otherwise. Empty when they could not be made.
UniqueImageList CreateCheckBoxImages(HWND list, int dpi);
// The same with the check boxes of `theme`, or the classic ones for none.
UniqueImageList CreateCheckBoxImages(HTHEME theme, int dpi);

}  // namespace ostrevane::window
