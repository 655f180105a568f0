#pragma once
// The program's push button: the system's owner-drawn button, so assistive
// technology knows it as a push button named by its caption. Drawn with the
// caption in its own font, the system button-text colour on a white face (or
// the given colours), clicked by mouse, Space or Enter.
//
// The parent's WM_DRAWITEM and WM_COMMAND for it come back to its object,
// which draws it and tells of each click.

#include <windows.h>

#include <functional>

#include "base/text.h"
#include "window_form/skin_file.h"
#include "window/window_base.h"

namespace ostrevane::window {

class PushButton : public WindowBase {
 public:
  void Create(HWND parent, int id, const Text& caption);
  // Paints with these button colours (the skin's, or the system's in high
  // contrast); null returns to the native look.
  void SetSkin(const SkinColors* skin);

  // Called once per click.
  std::function<void()> on_click;
  // Called whenever the pointer moves over the button.
  std::function<void()> on_pointer_moved;

 private:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  std::optional<LRESULT> HandleNotification(UINT message, WPARAM wparam, LPARAM lparam) override;
  void Draw(const DRAWITEMSTRUCT& item) const;
  void Notify(WORD code);

  const SkinColors* skin_ = nullptr;
  bool hot_ = false;
  bool tracking_leave_ = false;
};

}  // namespace ostrevane::window
