#pragma once
// Form1, the program's one window: creates its controls from the layout table,
// runs the start-up sequence while hidden, then runs the portable handlers
// for the events its controls tell it of.

#include <windows.h>

#include <array>
#include <functional>

#include "window_form/form_layout.h"
#include "window_rules/app_title.h"
#include "window_rules/startup.h"
#include "catalogue/entry_list.h"
#include "window_rules/dialogs.h"
#include "window_rules/event_pump.h"
#include "catalogue/folder_service.h"
#include "window_rules/push_buttons.h"
#include "catalogue/recycler.h"
#include "window/file_queries_win32.h"
#include "win32/handles.h"
#include "window/frame.h"
#include "window/list_view.h"
#include "window/message_loop.h"
#include "window/push_button.h"
#include "window/skin_engine_win32.h"
#include "window/window_base.h"
#include "window/gdi_handles.h"

namespace ostrevane::window {

struct MainWindowServices {
  FolderService* folders = nullptr;  // the scan, and the roots for deletion
  Dialogs* dialogs = nullptr;
  Recycler* recycler = nullptr;
  // The folder the skin and cursor files are looked for in; empty for the
  // folder of the running program.
  Text executable_folder;
  // Closing the window ends the process at once. Tests that keep running
  // after a close turn this off: the window is then destroyed, the message
  // loop ends and a command in progress stops at its next event pump.
  bool end_process_on_close = true;
  // Called as soon as Form1 exists, before start-up runs: the services that
  // own boxes and shell calls take it as their owner window.
  std::function<void(HWND)> on_window_created;
  // Whether the program runs with an administrator's rights.
  bool elevated = false;
  // Whether the system's high-contrast mode is on; empty asks the system.
  std::function<bool()> high_contrast;
};

class MainWindow : public WindowBase {
 public:
  explicit MainWindow(MainWindowServices services);
  ~MainWindow() override;

  // Creates Form1 hidden, runs the start-up sequence, then shows the window
  // centred on the screen with the focus in the list.
  void Create(int show_command = SW_SHOWNORMAL);
  // The program's message loop; returns the exit code.
  int RunMessageLoop() { return loop_.Run(); }

  HWND Control(ControlName name) const;
  HWND tooltip() const { return tooltip_.get(); }
  EntryList& list() { return list_; }
  int dpi() const { return dpi_; }
  HCURSOR mouse_icon() const { return mouse_icon_.get(); }
  COLORREF FormBackground() const { return Background(form_back_); }
  COLORREF FrameBackground() const { return Background(frame_back_); }
  bool ended() const { return loop_.ended(); }
  bool high_contrast() const { return high_contrast_; }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  // Every failure that escapes a handler of the window or of its controls is
  // shown here, as an error report box of the commands' dialogs.
  void ReportHandlerFailure(TextView description, UINT message) noexcept override;
  void OnEraseBackground(HDC dc);
  // WM_SETTINGCHANGE and WM_SYSCOLORCHANGE.
  void OnSystemColors(UINT message, WPARAM wparam, LPARAM lparam);
  // True when the window sets the pointer itself for this hit-test code.
  bool OnSetCursor(UINT hit);
  void OnDpiChanged(int dpi, const RECT* suggested);
  void OnDestroy();
  void CreateControls();
  void CreateFonts();
  void Layout();
  void ResizeToClientArea(const RECT* suggested);
  void CenterOnScreen();
  void SetMousePointer(int value);
  void OnClick(ControlName name);
  // What the window paints in place of its own colour `own`: the system's
  // face in high contrast, else the skin's window colour, else `own`.
  COLORREF Background(std::uint32_t own) const;
  void RefreshSkin();
  void ReadHighContrast();
  // A push button's place in buttons_: theirs are the last five names.
  static std::size_t ButtonIndex(ControlName name) {
    return static_cast<std::size_t>(name) - static_cast<std::size_t>(ControlName::kPushButton4);
  }

  void LoadApplicationIcon();

  // What start-up and the commands ask of the window, as an adapter of its
  // own over the window's state (main_window_services.cpp).
  class CommandServices final : public StartupPlatform, public PushButtonValues {
   public:
    explicit CommandServices(MainWindow& window) : window_(window) {}
    void LoadMouseIcon(const Text& cursor_file) override;
    void SetCaption(const Text& caption) override;
    void SetApplicationIcon() override { window_.LoadApplicationIcon(); }
    void SetFormBackColor(std::uint32_t color) override;
    std::vector<FormControl> Controls() override;
    void SetControlBackColor(const Text& name, std::uint32_t color) override;
    SkinEngine& Skin() override { return window_.skin_; }
    void AddColumn(const Text& text) override { window_.list_view_.AddColumn(text); }
    void SetColumnWidth(std::size_t position, double twips) override {
      window_.list_view_.SetColumnWidth(position, twips);
    }
    void SetValue(PushButtonId button, std::int32_t value) override;

   private:
    MainWindow& window_;
  };

  MainWindowServices services_;
  CommandServices command_services_{*this};
  Win32FileQueries files_{services_.executable_folder};
  EntryList list_;
  Text title_ = kProductFullName;  // the caption of the commands' boxes
  Frame frame_;
  EntryListView list_view_{list_};
  std::array<PushButton, 5> buttons_;
  win32::UniqueWindow tooltip_;
  Win32SkinEngine skin_;
  int dpi_ = kDefaultDpi;
  UniqueFont form_font_, cyrillic_font_, button_font_;
  UniqueIcon blank_icon_, big_icon_, small_icon_;
  UniqueCursor mouse_icon_;
  int mouse_pointer_ = 0;
  std::uint32_t form_back_ = kColorWhite;
  std::uint32_t frame_back_ = kColorWhite;
  MessageLoop loop_;
  // In high contrast the window paints with the system's colours, ignoring
  // its own white and the skin's.
  bool high_contrast_ = false;
  SkinColors system_button_colors_;
};

// The application icon's resource id in the program file.
inline constexpr int kAppIconResource = 1;

}  // namespace ostrevane::window
