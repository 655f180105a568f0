#pragma once
// The program's push button: the system's owner-drawn button, so assistive
// technology knows it as a push button named by its caption. Drawn with the
// caption in its own font, the system button-text colour on a white face (or
// the given colours), clicked by mouse, Space or Enter.
//
// Tells its parent through WM_COMMAND: BN_CLICKED once per click, and
// kPushButtonPointerMoved whenever the pointer moves over it. The parent
// passes its WM_DRAWITEM on to Draw.

#include <windows.h>

#include "base/text.h"
#include "form/skin_file.h"
#include "window/window_base.h"

namespace ostrevane::win32 {

inline constexpr WORD kPushButtonPointerMoved = 0x7F01;

class PushButton : public WindowBase {
 public:
  void Create(HWND parent, int id, const Text& caption);
  void Draw(const DRAWITEMSTRUCT& item) const;
  // Paints with these button colours (the skin's, or the system's in high
  // contrast); null returns to the native look.
  void SetSkin(const SkinColors* skin);

 private:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  void Notify(WORD code);

  const SkinColors* skin_ = nullptr;
  bool hot_ = false;
  bool tracking_leave_ = false;
};

}  // namespace ostrevane::win32
