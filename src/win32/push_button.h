#pragma once
// The program's push button: a focusable button drawn natively with a caption
// in its own font, the system button-text colour on a white face (or the
// skin's colours), clicked by mouse, Space or Enter.
//
// Tells its parent through WM_COMMAND: BN_CLICKED once per click, and
// kPushButtonPointerMoved whenever the pointer moves over it.

#include <windows.h>

#include <cstdint>

#include "form/skin_file.h"
#include "base/text.h"

namespace ostrevane::win32 {

inline constexpr WORD kPushButtonPointerMoved = 0x7F01;

HWND CreatePushButton(HWND parent, int id, const Text& caption);

// The button's value; 0 shows it at rest, anything else pushed in.
void SetPushButtonValue(HWND button, std::int32_t value);

// Paints with the skin's button colours; null returns to the native look.
void SetPushButtonSkin(HWND button, const SkinColors* skin);

}  // namespace ostrevane::win32
