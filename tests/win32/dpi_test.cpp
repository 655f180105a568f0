#include "window/dpi.h"

#include <gtest/gtest.h>

namespace ostrevane {
namespace {

using window::DpiFunctions;
using window::SystemDpiFunctions;

// A system as old as Windows 7: none of the functions, only the system DPI.
constexpr DpiFunctions kWindows7{};

TEST(DpiTest, EveryFunctionIsFoundUnderItsExportedName) {
  // Wine and Windows 10 from 1703 have them all; a misspelt name would fall
  // back to the system DPI without a word.
  const DpiFunctions& system = SystemDpiFunctions();
  EXPECT_TRUE(system.set_process_dpi_awareness_context);
  EXPECT_TRUE(system.get_dpi_for_window);
  EXPECT_TRUE(system.adjust_window_rect_ex_for_dpi);
  EXPECT_TRUE(system.get_system_metrics_for_dpi);
  EXPECT_TRUE(system.open_theme_data_for_dpi);
  EXPECT_TRUE(system.set_process_dpi_awareness);
  EXPECT_TRUE(system.get_dpi_for_monitor);
}

TEST(DpiTest, WithoutTheNewerFunctionsIconSizesAreScaledFromTheSystemDpi) {
  ASSERT_EQ(window::SystemDpi(), 96) << "the test prefix runs at 96 DPI";
  struct Case {
    int metric;
    int dpi;
    int pixels;
  };
  const Case cases[] = {
      {SM_CXSMICON, 96, 16}, {SM_CYSMICON, 120, 20}, {SM_CXSMICON, 144, 24}, {SM_CXSMICON, 192, 32},
      {SM_CXICON, 96, 32},   {SM_CYICON, 120, 40},   {SM_CXICON, 144, 48},   {SM_CXICON, 240, 80},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(window::SystemMetricForDpi(c.metric, c.dpi, kWindows7), c.pixels)
        << "metric " << c.metric << " at " << c.dpi;
    // The system's own per-DPI metrics agree.
    EXPECT_EQ(window::SystemMetricForDpi(c.metric, c.dpi), c.pixels)
        << "metric " << c.metric << " at " << c.dpi;
  }
}

TEST(DpiTest, WithoutTheNewerFunctionsAWindowHasTheSystemDpiAndItsFrame) {
  const HWND window = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_TRUE(window);
  EXPECT_EQ(window::WindowDpi(window, kWindows7), window::SystemDpi());
  DpiFunctions windows81;
  windows81.get_dpi_for_monitor = SystemDpiFunctions().get_dpi_for_monitor;
  EXPECT_EQ(window::WindowDpi(window, windows81), window::WindowDpi(window));

  RECT fallback{0, 0, 300, 200}, system = fallback;
  window::AdjustWindowRectForDpi(fallback, WS_OVERLAPPEDWINDOW, 0, 96, kWindows7);
  window::AdjustWindowRectForDpi(system, WS_OVERLAPPEDWINDOW, 0, 96);
  EXPECT_EQ(fallback.left, system.left);
  EXPECT_EQ(fallback.top, system.top);
  EXPECT_EQ(fallback.right, system.right);
  EXPECT_EQ(fallback.bottom, system.bottom);
  EXPECT_LT(fallback.top, 0);  // a caption above the client area
  DestroyWindow(window);
}

}  // namespace
}  // namespace ostrevane
