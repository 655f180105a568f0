#pragma once
// The program's push button: the system's owner-drawn button, so assistive
// technology knows it as a push button named by its caption. Drawn with the
// caption in its own font, the system button-text colour on a white face (or
// the given colours), clicked by mouse, Space or Enter.
//
// Tells its parent through WM_COMMAND: BN_CLICKED once per click, and
// kPushButtonPointerMoved whenever the pointer moves over it. The parent
// passes its WM_DRAWITEM on to DrawPushButton.

#include <windows.h>

#include <cstdint>

#include "form/skin_file.h"
#include "base/text.h"

namespace ostrevane::win32 {

inline constexpr WORD kPushButtonPointerMoved = 0x7F01;

HWND CreatePushButton(HWND parent, int id, const Text& caption);

// Draws one of these buttons; false when the item is none of them.
bool DrawPushButton(const DRAWITEMSTRUCT& item);

// The button's value; 0 shows it at rest, anything else pushed in.
void SetPushButtonValue(HWND button, std::int32_t value);

// Paints with these button colours (the skin's, or the system's in high
// contrast); null returns to the native look.
void SetPushButtonSkin(HWND button, const SkinColors* skin);

}  // namespace ostrevane::win32
