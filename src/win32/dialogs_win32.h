#pragma once
// The modal boxes, as Win32 message boxes and the program's input box.

#include <windows.h>

#include "commands/dialogs.h"

namespace ostrevane::win32 {

class Win32Dialogs : public Dialogs {
 public:
  explicit Win32Dialogs(HWND owner = nullptr) : owner_(owner) {}
  void SetOwner(HWND owner) { owner_ = owner; }

  void ShowErrorReport(const Text& message) override;
  bool AskYesNo(const Text& question, const Text& caption) override;
  void ShowMessage(const Text& message, const Text& caption) override;
  Text AskText(const Text& prompt, const Text& caption) override;

 private:
  int Box(const Text& text, const Text& caption, UINT style);
  HWND owner_;
};

}  // namespace ostrevane::win32
