#pragma once
// DPI awareness, a window's DPI, and the system metrics and themes at a DPI,
// on every Windows from 7 SP1 on. The functions that know a window's own DPI
// came with Windows 8.1 (shcore) and Windows 10 1607 and 1703 (user32,
// uxtheme); the loader refuses a program that imports a function its system
// lacks, so they are looked up while the program runs, and the system DPI
// stands in where they are missing.

#include <windows.h>

#include <shellscalingapi.h>
#include <uxtheme.h>

namespace ostrevane::window {

// The system's DPI functions; a null member is one the running system lacks.
struct DpiFunctions {
  // user32, Windows 10 1703
  BOOL(WINAPI* set_process_dpi_awareness_context)(DPI_AWARENESS_CONTEXT) = nullptr;
  // user32, Windows 10 1607
  UINT(WINAPI* get_dpi_for_window)(HWND) = nullptr;
  BOOL(WINAPI* adjust_window_rect_ex_for_dpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
  int(WINAPI* get_system_metrics_for_dpi)(int, UINT) = nullptr;
  // uxtheme, Windows 10 1703
  HTHEME(WINAPI* open_theme_data_for_dpi)(HWND, LPCWSTR, UINT) = nullptr;
  // shcore, Windows 8.1
  HRESULT(WINAPI* set_process_dpi_awareness)(PROCESS_DPI_AWARENESS) = nullptr;
  HRESULT(WINAPI* get_dpi_for_monitor)(HMONITOR, MONITOR_DPI_TYPE, UINT*, UINT*) = nullptr;
};

// The running system's functions, looked up on the first call.
const DpiFunctions& SystemDpiFunctions();

// Makes the process DPI aware by the newest means the system has: per
// monitor (version 2 from Windows 10 1703, version 1 on 8.1), else for the
// system DPI. A refusal is harmless: the manifest asks for the same, and a
// process whose awareness is set already cannot change it.
void BecomeDpiAware(const DpiFunctions& functions = SystemDpiFunctions());

// The DPI of the screen as a whole (the primary monitor's at logon).
int SystemDpi();

// The DPI `window` is drawn at: its own, else its monitor's, else the system DPI.
int WindowDpi(HWND window, const DpiFunctions& functions = SystemDpiFunctions());

// A size that GetSystemMetrics gives (SM_CXICON, SM_CXSMICON, ...) at `dpi`;
// where the system has no metrics per DPI, its value at the system DPI scaled.
int SystemMetricForDpi(int index, int dpi, const DpiFunctions& functions = SystemDpiFunctions());

// The theme of the window classes `classes` for `window`, its parts sized
// for `dpi`; where the system has no theme per DPI, for the system DPI.
// Null where the window is not themed. CloseThemeData closes it.
HTHEME OpenThemeAtDpi(HWND window, const wchar_t* classes, int dpi,
                      const DpiFunctions& functions = SystemDpiFunctions());

// Grows a client rectangle to the window rectangle at `dpi` (without a menu).
// Where the system cannot tell the frame at another DPI, it is the frame at
// the system DPI: the caller corrects by the client area it gets.
void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD ex_style, int dpi,
                            const DpiFunctions& functions = SystemDpiFunctions());

}  // namespace ostrevane::window
