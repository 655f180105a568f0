#include "window/message_loop.h"

namespace ostrevane::window {

bool MessageLoop::PreTranslate(MSG& msg) {
  return dialog_ && !ended_ && IsWindow(dialog_) && IsDialogMessageW(dialog_, &msg);
}

int MessageLoop::Run() {
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!PreTranslate(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return static_cast<int>(msg.wParam);
}

void MessageLoop::DoEvents() {
  MSG msg;
  while (!ended_ && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      ended_ = true;
      break;
    }
    if (!PreTranslate(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  if (ended_) throw ProgramEnded{};
}

}  // namespace ostrevane::window
