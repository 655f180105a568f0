#include "window/dpi.h"

#include "base/twips.h"
#include "win32/handles.h"
#include "window/gdi_handles.h"

namespace ostrevane::window {

using win32::UniqueModule;
namespace {

template <typename Function>
void LookUp(HMODULE module, const char* name, Function& function) {
  if (module)
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

struct LoadedDpiFunctions {
  // Only from the system folder: a shcore.dll beside the program is never
  // loaded. Windows 7 without update KB2533623 refuses the flag, and has no
  // shcore either.
  UniqueModule shcore{LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)};
  DpiFunctions functions;

  LoadedDpiFunctions() {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    LookUp(user32, "SetProcessDpiAwarenessContext", functions.set_process_dpi_awareness_context);
    LookUp(user32, "GetDpiForWindow", functions.get_dpi_for_window);
    LookUp(user32, "AdjustWindowRectExForDpi", functions.adjust_window_rect_ex_for_dpi);
    LookUp(user32, "GetSystemMetricsForDpi", functions.get_system_metrics_for_dpi);
    LookUp(GetModuleHandleW(L"uxtheme.dll"), "OpenThemeDataForDpi",
           functions.open_theme_data_for_dpi);
    LookUp(shcore.get(), "SetProcessDpiAwareness", functions.set_process_dpi_awareness);
    LookUp(shcore.get(), "GetDpiForMonitor", functions.get_dpi_for_monitor);
  }
};

}  // namespace

const DpiFunctions& SystemDpiFunctions() {
  static const LoadedDpiFunctions loaded;
  return loaded.functions;
}

void BecomeDpiAware(const DpiFunctions& functions) {
  // Only the newest means is tried: once awareness is set, by the manifest or
  // by a call, an older call could only fail or ask for less.
  if (functions.set_process_dpi_awareness_context) {
    functions.set_process_dpi_awareness_context(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  } else if (functions.set_process_dpi_awareness) {
    functions.set_process_dpi_awareness(PROCESS_PER_MONITOR_DPI_AWARE);
  } else {
    SetProcessDPIAware();
  }
}

int SystemDpi() {
  const ScopedWindowDc screen(nullptr);
  const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  return dpi > 0 ? dpi : kDefaultDpi;
}

int WindowDpi(HWND window, const DpiFunctions& functions) {
  if (functions.get_dpi_for_window) {
    if (const UINT dpi = functions.get_dpi_for_window(window)) return static_cast<int>(dpi);
  }
  if (functions.get_dpi_for_monitor) {
    UINT dpi_x = 0, dpi_y = 0;
    const HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    if (SUCCEEDED(functions.get_dpi_for_monitor(monitor, MDT_EFFECTIVE_DPI, &dpi_x, &dpi_y)) &&
        dpi_y > 0) {
      return static_cast<int>(dpi_y);
    }
  }
  return SystemDpi();
}

int SystemMetricForDpi(int index, int dpi, const DpiFunctions& functions) {
  if (functions.get_system_metrics_for_dpi) {
    return functions.get_system_metrics_for_dpi(index, static_cast<UINT>(dpi));
  }
  return ScaleRounded(GetSystemMetrics(index), dpi, SystemDpi());
}

HTHEME OpenThemeAtDpi(HWND window, const wchar_t* classes, int dpi, const DpiFunctions& functions) {
  if (functions.open_theme_data_for_dpi) {
    return functions.open_theme_data_for_dpi(window, classes, static_cast<UINT>(dpi));
  }
  return OpenThemeData(window, classes);
}

void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD ex_style, int dpi,
                            const DpiFunctions& functions) {
  if (functions.adjust_window_rect_ex_for_dpi) {
    functions.adjust_window_rect_ex_for_dpi(&rect, style, FALSE, ex_style, static_cast<UINT>(dpi));
    return;
  }
  AdjustWindowRectEx(&rect, style, FALSE, ex_style);
}

}  // namespace ostrevane::window
