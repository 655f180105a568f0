#include "window/window_base.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "base/failure.h"
#include "win32/handles.h"
#include "window/window_class.h"

namespace ostrevane {
namespace {

using win32::WindowBase;

constexpr UINT kMsgThrowFailure = WM_APP + 1;
constexpr UINT kMsgThrowStd = WM_APP + 2;
constexpr UINT kMsgAnswer = WM_APP + 3;

// Records what reaches it and what it was told to report; throws on demand.
struct Probe : WindowBase {
  explicit Probe(bool* destroyed = nullptr) : destroyed(destroyed) {}
  ~Probe() override {
    if (destroyed) *destroyed = true;
  }
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override {
    seen.push_back(message);
    if (message == kMsgThrowFailure) throw Failure(u"The handler broke");
    if (message == kMsgThrowStd) throw std::runtime_error("plain");
    if (message == kMsgAnswer) return 42;
    return DefWindowProcW(hwnd_, message, wparam, lparam);
  }
  void ReportHandlerFailure(TextView description, UINT message) noexcept override {
    reports.emplace_back(description, message);
  }

  bool* destroyed;
  std::vector<UINT> seen;
  std::vector<std::pair<Text, UINT>> reports;
};

HWND CreateProbe(const wchar_t* class_name, WNDPROC procedure, void* param) {
  win32::RegisterWindowClass(class_name, procedure);
  return CreateWindowExW(0, class_name, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                         GetModuleHandleW(nullptr), param);
}

bool Seen(const Probe& probe, UINT message) {
  return std::find(probe.seen.begin(), probe.seen.end(), message) != probe.seen.end();
}

TEST(WindowBaseTest, ABorrowedObjectGetsEveryMessageFromCreationToTheLastAndIsLetGo) {
  Probe probe;
  const HWND hwnd = CreateProbe(L"OstrevaneProbeBorrowed", &WindowBase::BorrowingProcedure, &probe);
  ASSERT_TRUE(hwnd);
  EXPECT_EQ(probe.hwnd(), hwnd);
  EXPECT_EQ(WindowBase::FromHandle(hwnd), &probe);
  EXPECT_TRUE(Seen(probe, WM_NCCREATE));
  EXPECT_EQ(SendMessageW(hwnd, kMsgAnswer, 0, 0), 42);
  DestroyWindow(hwnd);
  EXPECT_TRUE(Seen(probe, WM_NCDESTROY));
  EXPECT_EQ(probe.seen.back(), static_cast<UINT>(WM_NCDESTROY));
}

TEST(WindowBaseTest, AnOwningWindowTakesItsObjectAtCreationAndFreesItWhenDestroyed) {
  bool destroyed = false;
  std::unique_ptr<WindowBase> probe = std::make_unique<Probe>(&destroyed);
  const HWND hwnd = CreateProbe(L"OstrevaneProbeOwned", &WindowBase::OwningProcedure, &probe);
  ASSERT_TRUE(hwnd);
  EXPECT_FALSE(probe);  // the window has it now
  EXPECT_EQ(SendMessageW(hwnd, kMsgAnswer, 0, 0), 42);
  EXPECT_FALSE(destroyed);
  DestroyWindow(hwnd);
  EXPECT_TRUE(destroyed);
}

TEST(WindowBaseTest, AnExceptionFromAHandlerIsReportedAndNeverCrossesTheSystem) {
  Probe probe;
  const HWND hwnd = CreateProbe(L"OstrevaneProbeThrows", &WindowBase::BorrowingProcedure, &probe);
  ASSERT_TRUE(hwnd);
  // Both reach the handler through user32; had either crossed it the process
  // would have ended here.
  EXPECT_EQ(SendMessageW(hwnd, kMsgThrowFailure, 0, 0), 0);
  EXPECT_EQ(SendMessageW(hwnd, kMsgThrowStd, 0, 0), 0);
  EXPECT_EQ(probe.reports,
            (std::vector<std::pair<Text, UINT>>{{u"The handler broke", kMsgThrowFailure},
                                                {u"plain", kMsgThrowStd}}));
  EXPECT_EQ(SendMessageW(hwnd, kMsgAnswer, 0, 0), 42);  // the window still works
  DestroyWindow(hwnd);
}

TEST(WindowBaseTest, TheReportOfAFailedHandlerNamesTheMessage) {
  const Text report = win32::HandlerFailureReport(u"Out of memory", 0x0111);
  EXPECT_EQ(report.substr(0, 15), u"Out of memory\r\n");
  EXPECT_NE(report.find(u"at line 273"), Text::npos);
}

}  // namespace
}  // namespace ostrevane
