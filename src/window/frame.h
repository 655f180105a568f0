#pragma once
// The frame around the entry list: the system's group box, so assistive
// technology knows it as a grouping named by its caption, painted by the
// program as a border with its caption set into the top edge. It is the
// list's parent, so it passes its children's notifications (the list's
// WM_NOTIFY among them) on to its own parent.
//
// Tells its parent through WM_COMMAND (kFramePointerMoved) whenever the
// pointer moves over the frame itself.

#include <windows.h>

#include <optional>

#include "base/text.h"

namespace ostrevane::win32 {

inline constexpr WORD kFramePointerMoved = 0x7F02;

HWND CreateFrame(HWND parent, int id, const Text& caption);

// Colours: the background, and the skin's caption and border colours or
// nothing for the system's.
void SetFrameColors(HWND frame, COLORREF background, std::optional<COLORREF> text,
                    std::optional<COLORREF> line);

}  // namespace ostrevane::win32
