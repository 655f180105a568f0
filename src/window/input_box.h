#pragma once
// A modal input box: a prompt, an empty edit box, OK and Cancel.

#include <windows.h>

#include "base/text.h"

namespace ostrevane::window {

// Control ids, for tests that answer the box.
inline constexpr int kInputBoxPromptId = 100;
inline constexpr int kInputBoxEditId = 101;

// OK (or Enter) gives the typed text; Cancel, Escape and the Close box give
// the empty text. Throws Failure when the box cannot be shown.
Text ShowInputBox(HWND owner, const Text& prompt, const Text& caption);

}  // namespace ostrevane::window
