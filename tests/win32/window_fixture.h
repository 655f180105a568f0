#pragma once
// Creates the real main window with roots, skin and cursor folders of the
// test's own, and a box double that records every report.

#include <windows.h>

#include <memory>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "window/main_window.h"
#include "win32/folder_service_win32.h"
#include "win32/collation.h"
#include "win32/win_text.h"
#include "support/fakes.h"
#include "test_folders.h"

namespace ostrevane::testing {

// A recycler that refuses everything: window tests never delete.
class RefusingRecycler : public Recycler {
 public:
  std::optional<NotMoved> Inspect(const Text&) override { return std::nullopt; }
  std::optional<NotMoved> Recycle(const Text&) override {
    return NotMoved{NotMoved::Why::kShellFailed, u"not in window tests"};
  }
};

struct WindowUnderTest {
  TempFolder exe_folder;
  TempFolder current_root;
  TempFolder all_root;
  win32::Win32FolderService folders;
  RecordingDialogs dialogs;
  RefusingRecycler recycler;
  std::unique_ptr<window::MainWindow> window;
  // Stands in for the system's high-contrast setting when set.
  std::function<bool()> high_contrast;

  WindowUnderTest() {
    win32::InstallSystemCaseMapping();
    win32::InstallSystemSortKeys();
    folders.OverrideRoot(kCsidlPrograms, current_root.path());
    folders.OverrideRoot(kCsidlCommonPrograms, all_root.path());
  }

  window::MainWindow& Open(Recycler* with_recycler = nullptr, Dialogs* with_dialogs = nullptr) {
    window::MainWindowServices services;
    services.folders = &folders;
    services.dialogs = with_dialogs ? with_dialogs : &dialogs;
    services.recycler = with_recycler ? with_recycler : &recycler;
    services.executable_folder = exe_folder.path();
    services.end_process_on_close = false;
    services.high_contrast = high_contrast;
    window = std::make_unique<window::MainWindow>(services);
    window->Create(SW_SHOWNORMAL);
    return *window;
  }

  HWND Control(ControlName name) const { return window->Control(name); }
};

// Writes a valid 32 x 32 monochrome Windows cursor file.
std::string CursorFileBytes();

// Runs every pending message of this thread.
void PumpMessages();

// The client area of `control` as it paints itself now (WM_PRINTCLIENT into a
// 32-bit bitmap), pixel by pixel.
class PrintedControl {
 public:
  explicit PrintedControl(HWND control);
  COLORREF At(int x, int y) const;
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  int width_ = 0, height_ = 0;
  std::vector<std::uint32_t> pixels_;
};

}  // namespace ostrevane::testing
