#include "window/dialogs_win32.h"

#include "window/input_box.h"
#include "win32/win_text.h"
#include "win32/system_error.h"

namespace ostrevane::window {

using win32::FailWithLastError;
using win32::Wide;

int Win32Dialogs::Box(const Text& text, const Text& caption, UINT style) {
  const int answer = MessageBoxW(owner_, Wide(text), Wide(caption), style);
  if (answer == 0) FailWithLastError();
  return answer;
}

void Win32Dialogs::ShowErrorReport(const Text& message) {
  Box(message, kErrorReportCaption, MB_OK | MB_ICONEXCLAMATION);
}

bool Win32Dialogs::AskYesNo(const Text& question, const Text& caption) {
  return Box(question, caption, MB_YESNO) == IDYES;
}

void Win32Dialogs::ShowMessage(const Text& message, const Text& caption) {
  Box(message, caption, MB_OK);
}

Text Win32Dialogs::AskText(const Text& prompt, const Text& caption) {
  return ShowInputBox(owner_, prompt, caption);
}

}  // namespace ostrevane::window
