#include "win32/box_refuser.h"

#include "win32/win_text.h"

namespace ostrevane::win32 {

BoxRefuser::BoxRefuser(HWND owner) : owner_(owner), watcher_([this] { Watch(); }) {}

BoxRefuser::~BoxRefuser() {
  stop_ = true;
  watcher_.join();
}

// The box is shown on the thread that waits for it, so it is looked for from
// another.
void BoxRefuser::Watch() {
  while (!stop_) {
    EnumWindows(&BoxRefuser::Visit, reinterpret_cast<LPARAM>(this));
    Sleep(10);
  }
}

BOOL CALLBACK BoxRefuser::Visit(HWND window, LPARAM self_pointer) {
  auto* self = reinterpret_cast<BoxRefuser*>(self_pointer);
  // Of a top-level window, as every window listed here is, this is the owner.
  if (reinterpret_cast<HWND>(GetWindowLongPtrW(window, GWLP_HWNDPARENT)) != self->owner_) {
    return TRUE;
  }
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t class_name[16] = {};
  GetClassNameW(window, class_name, 16);
  if (process != GetCurrentProcessId() || FromWide(class_name) != u"#32770") return TRUE;
  self->answered_ = true;
  // No where the box asks Yes or No; Cancel, and closing, where it asks otherwise.
  PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
  PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  PostMessageW(window, WM_CLOSE, 0, 0);
  return TRUE;
}

}  // namespace ostrevane::win32
