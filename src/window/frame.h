#pragma once
// The frame around the entry list: the system's group box, so assistive
// technology knows it as a grouping named by its caption, painted by the
// program as a border with its caption set into the top edge. It is the
// list's parent; the list's notifications go back to the list's own object.

#include <windows.h>

#include <functional>

#include "base/text.h"
#include "window_form/skin_file.h"
#include "window/window_base.h"

namespace ostrevane::window {

class Frame : public WindowBase {
 public:
  void Create(HWND parent, int id, const Text& caption);
  // The background, and the skin whose caption and border colours it takes
  // (the system's for none, or where the skin has none).
  void SetColors(COLORREF background, const SkinColors* skin);

  // Called whenever the pointer moves over the frame itself.
  std::function<void()> on_pointer_moved;

 private:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  void Paint(HDC dc);

  COLORREF background_ = RGB(255, 255, 255);
  const SkinColors* skin_ = nullptr;
};

}  // namespace ostrevane::window
