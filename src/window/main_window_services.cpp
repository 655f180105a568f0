// The main window's services to start-up and the commands: its cursor,
// caption, colours, controls and push-button values, over the window's state.
#include <windows.h>

#include "window/main_window.h"
#include "win32/win_text.h"
#include "win32/system_error.h"

namespace ostrevane::window {

using win32::FailWithLastError;
using win32::SystemErrorText;
using win32::Wide;

void MainWindow::CommandServices::LoadMouseIcon(const Text& cursor_file) {
  SetLastError(0);
  auto cursor = static_cast<HCURSOR>(
      LoadImageW(nullptr, Wide(cursor_file), IMAGE_CURSOR, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE));
  if (!cursor) {
    const DWORD error = GetLastError();
    throw Failure(u"The cursor file \"" + cursor_file + u"\" cannot be loaded as a picture" +
                  (error ? u": " + SystemErrorText(error) : Text(u".")));
  }
  window_.mouse_icon_.reset(cursor);
}

void MainWindow::CommandServices::SetCaption(const Text& caption) {
  if (!SetWindowTextW(window_.hwnd(), Wide(caption))) FailWithLastError();
}

void MainWindow::CommandServices::SetFormBackColor(std::uint32_t color) {
  window_.form_back_ = color;
  InvalidateRect(window_.hwnd(), nullptr, TRUE);
}

std::vector<FormControl> MainWindow::CommandServices::Controls() {
  std::vector<FormControl> controls;
  for (const ControlLayout& c : kForm1Controls) controls.push_back({c.id, c.kind});
  controls.push_back({u"SkinFramework1", ControlKind::kSkin});
  return controls;
}

void MainWindow::CommandServices::SetControlBackColor(const Text& name, std::uint32_t color) {
  if (name != u"Frame3") throw Failure(u"Object doesn't support this property or method");
  window_.frame_back_ = color;
  window_.RefreshSkin();
}

// The commands only ever reset a button's value to 0 before they act, which
// is how a button at rest shows already.
void MainWindow::CommandServices::SetValue(PushButtonId button, std::int32_t) {
  static constexpr ControlName kByNumber[] = {ControlName::kPushButton1, ControlName::kPushButton2,
                                              ControlName::kPushButton3, ControlName::kPushButton4,
                                              ControlName::kPushButton5};
  if (!window_.Control(kByNumber[static_cast<int>(button) - 1])) {
    throw Failure(u"The button no longer exists.");
  }
}

}  // namespace ostrevane::window
