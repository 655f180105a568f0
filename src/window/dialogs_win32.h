#pragma once
// The modal boxes, as Win32 message boxes and the program's input box.

#include <windows.h>

#include "window_rules/dialogs.h"
#include "win32/owner_window.h"

namespace ostrevane::window {

class Win32Dialogs : public Dialogs, public win32::OwnerWindow {
 public:
  using win32::OwnerWindow::OwnerWindow;

  void ShowErrorReport(const Text& message) override;
  bool AskYesNo(const Text& question, const Text& caption) override;
  void ShowMessage(const Text& message, const Text& caption) override;
  Text AskText(const Text& prompt, const Text& caption) override;

 private:
  int Box(const Text& text, const Text& caption, UINT style);
};

}  // namespace ostrevane::window
