// The program's entry point: wires the Win32 services to the main window and
// runs its message loop.

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "window/main_window.h"
#include "window/dialogs_win32.h"
#include "window/dpi.h"
#include "win32/folder_service_win32.h"
#include "win32/account.h"
#include "win32/handles.h"
#include "win32/recycler_win32.h"
#include "win32/collation.h"
#include "win32/win_text.h"

using namespace ostrevane;

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show_command) {
  window::BecomeDpiAware();
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  const win32::ScopedComInit com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  win32::InstallSystemCaseMapping();
  win32::InstallSystemSortKeys();

  win32::Win32FolderService folders;
  window::Win32Dialogs dialogs;
  win32::Win32Recycler recycler;
  window::MainWindowServices services;
  services.folders = &folders;
  services.dialogs = &dialogs;
  services.recycler = &recycler;
  services.elevated = win32::ProcessIsElevated();
  services.on_window_created = [&](HWND window) {
    folders.SetOwner(window);
    dialogs.SetOwner(window);
    recycler.SetOwner(window);
  };

  window::MainWindow form(services);
  try {
    form.Create(show_command);
  } catch (const Failure& failure) {
    MessageBoxW(nullptr, win32::Wide(failure.description()), L"Ostrevane Software",
                MB_OK | MB_ICONERROR);
    return 1;
  }
  return form.RunMessageLoop();
}
