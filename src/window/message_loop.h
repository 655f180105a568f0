#pragma once
// The thread's message loop. Tab, Enter and the arrow keys move between the
// controls of one window as in a dialog box; DoEvents lets the messages that
// are waiting run in the middle of a command, and ends the command once the
// program is closing.

#include <windows.h>

#include "window_rules/event_pump.h"

namespace ostrevane::window {

class MessageLoop : public EventPump {
 public:
  // The window whose controls the keyboard moves between; null for none.
  void SetDialogWindow(HWND window) { dialog_ = window; }

  // Runs until WM_QUIT; returns its exit code.
  int Run();
  // Throws ProgramEnded once the program is closing.
  void DoEvents() override;

  // The program is closing: no more navigation, and a command letting events
  // run stops at its next DoEvents.
  void End() { ended_ = true; }
  bool ended() const { return ended_; }

 private:
  // Keyboard navigation for the dialog window; true when the message was used.
  bool PreTranslate(MSG& msg);

  HWND dialog_ = nullptr;
  bool ended_ = false;
};

}  // namespace ostrevane::window
