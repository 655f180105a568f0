#include "window/window_base.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

#include "base/failure.h"
#include "win32/win_text.h"

namespace ostrevane {
namespace {

using window::WindowBase;

constexpr UINT kMsgThrowFailure = WM_APP + 1;
constexpr UINT kMsgThrowStd = WM_APP + 2;
constexpr UINT kMsgAnswer = WM_APP + 3;
constexpr wchar_t kProbeClass[] = L"OstrevaneProbe";

// A notification code a probe leaves to its parent.
constexpr WORD kCodeLeftToParent = 2;

// Records what reaches it, the notifications about it and what it was told
// to report (or leaves the reporting to the window it is in); throws on
// demand. Its window is of the program's own class, a child or top-level, or
// a system control it adopts.
struct Probe : WindowBase {
  enum class Kind { kOwnClass, kAdoptedControl, kTopLevel };

  Probe(Kind kind, HWND parent, bool reports_itself = true) : reports_itself(reports_itself) {
    if (kind == Kind::kAdoptedControl) {
      Adopt(window::CreateChild(0, L"Static", u"caption", 0, parent, 7));
      return;
    }
    window::RegisterWindowClass(kProbeClass);
    CreateWindowExW(0, kProbeClass, L"caption", kind == Kind::kTopLevel ? WS_POPUP : WS_CHILD, 0, 0,
                    10, 10, parent, nullptr, GetModuleHandleW(nullptr), this);
  }
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override {
    seen.push_back(message);
    if (message == kMsgThrowFailure) throw Failure(u"The handler broke");
    if (message == kMsgThrowStd) throw std::runtime_error("plain");
    if (message == kMsgAnswer) return 42;
    return Default(message, wparam, lparam);
  }
  std::optional<LRESULT> HandleNotification(UINT message, WPARAM wparam, LPARAM) override {
    notified.push_back(message);
    if (message == WM_COMMAND && HIWORD(wparam) == kCodeLeftToParent) return std::nullopt;
    return 42;
  }
  void ReportHandlerFailure(TextView description, UINT message) noexcept override {
    if (!reports_itself) return WindowBase::ReportHandlerFailure(description, message);
    reports.emplace_back(description, message);
  }
  bool Seen(UINT message) const {
    return std::find(seen.begin(), seen.end(), message) != seen.end();
  }

  const bool reports_itself;
  std::vector<UINT> seen;
  std::vector<UINT> notified;
  std::vector<std::pair<Text, UINT>> reports;
};

// A top-level window for the probes to live in, of a class of the program's
// own without an object.
win32::UniqueWindow CreateParent() {
  window::RegisterWindowClass(L"OstrevaneProbeParent");
  return win32::UniqueWindow(CreateWindowExW(0, L"OstrevaneProbeParent", L"", WS_POPUP, 0, 0, 50,
                                             50, nullptr, nullptr, GetModuleHandleW(nullptr),
                                             nullptr));
}

constexpr Probe::Kind kBothKinds[] = {Probe::Kind::kOwnClass, Probe::Kind::kAdoptedControl};

TEST(WindowBaseTest, EveryMessageReachesTheObjectAndWhatItLeavesGetsTheWindowsOwnHandling) {
  for (const Probe::Kind kind : kBothKinds) {
    const win32::UniqueWindow parent = CreateParent();
    Probe probe(kind, parent.get());
    const HWND hwnd = probe.hwnd();
    ASSERT_TRUE(hwnd);
    EXPECT_EQ(probe.Seen(WM_NCCREATE), kind == Probe::Kind::kOwnClass);
    EXPECT_EQ(SendMessageW(hwnd, kMsgAnswer, 0, 0), 42);
    // The text is kept by the window's own handling: DefWindowProcW, or the
    // control's own procedure.
    SetWindowTextW(hwnd, L"changed");
    EXPECT_TRUE(probe.Seen(WM_SETTEXT));
    EXPECT_EQ(window::WindowText(hwnd), u"changed");
    wchar_t class_name[32] = {};
    GetClassNameW(hwnd, class_name, 32);
    EXPECT_EQ(win32::FromWide(class_name),
              kind == Probe::Kind::kOwnClass ? u"OstrevaneProbe" : u"Static");
  }
}

TEST(WindowBaseTest, TheObjectOwnsItsWindowAndAWindowDestroyedFirstLetsGoOfIt) {
  for (const Probe::Kind kind : kBothKinds) {
    win32::UniqueWindow parent = CreateParent();
    auto probe = std::make_unique<Probe>(kind, parent.get());
    const HWND hwnd = probe->hwnd();
    probe.reset();
    EXPECT_FALSE(IsWindow(hwnd)) << static_cast<int>(kind);

    // Destroyed with its parent: the object no longer holds the window, and
    // going later touches nothing.
    probe = std::make_unique<Probe>(kind, parent.get());
    parent.reset();
    EXPECT_TRUE(probe->Seen(WM_DESTROY));
    EXPECT_EQ(probe->hwnd(), nullptr) << static_cast<int>(kind);
    probe.reset();
  }
}

TEST(WindowBaseTest, AnExceptionFromAHandlerIsReportedAndNeverCrossesTheSystem) {
  for (const Probe::Kind kind : kBothKinds) {
    const win32::UniqueWindow parent = CreateParent();
    Probe probe(kind, parent.get());
    // Both reach the handler through user32; had either crossed it the
    // process would have ended here.
    EXPECT_EQ(SendMessageW(probe.hwnd(), kMsgThrowFailure, 0, 0), 0);
    EXPECT_EQ(SendMessageW(probe.hwnd(), kMsgThrowStd, 0, 0), 0);
    EXPECT_EQ(probe.reports,
              (std::vector<std::pair<Text, UINT>>{{u"The handler broke", kMsgThrowFailure},
                                                  {u"plain", kMsgThrowStd}}));
    EXPECT_EQ(SendMessageW(probe.hwnd(), kMsgAnswer, 0, 0), 42);  // the window still works
  }
}

TEST(WindowBaseTest, AFailureInAControlIsReportedByTheTopLevelWindowItIsIn) {
  Probe top(Probe::Kind::kTopLevel, nullptr);
  Probe control(Probe::Kind::kAdoptedControl, top.hwnd(), /*reports_itself=*/false);
  EXPECT_EQ(SendMessageW(control.hwnd(), kMsgThrowFailure, 0, 0), 0);
  EXPECT_EQ(top.reports,
            (std::vector<std::pair<Text, UINT>>{{u"The handler broke", kMsgThrowFailure}}));
  EXPECT_TRUE(control.reports.empty());

  // In a top-level window without an object nobody is left to tell, and
  // nothing breaks.
  const win32::UniqueWindow bare = CreateParent();
  Probe orphan(Probe::Kind::kAdoptedControl, bare.get(), /*reports_itself=*/false);
  EXPECT_EQ(SendMessageW(orphan.hwnd(), kMsgThrowFailure, 0, 0), 0);
  EXPECT_EQ(SendMessageW(orphan.hwnd(), kMsgAnswer, 0, 0), 42);
}

TEST(WindowBaseTest, AControlsObjectGetsTheNotificationsItsParentReceivesForIt) {
  const win32::UniqueWindow top = CreateParent();
  Probe parent(Probe::Kind::kOwnClass, top.get());
  Probe control(Probe::Kind::kAdoptedControl, parent.hwnd());
  const HWND from = control.hwnd();
  const auto send = [&](UINT message, WPARAM wparam, const void* lparam) {
    return SendMessageW(parent.hwnd(), message, wparam, reinterpret_cast<LPARAM>(lparam));
  };
  EXPECT_EQ(send(WM_COMMAND, MAKEWPARAM(7, BN_CLICKED), from), 42);
  NMHDR header{from, 7, static_cast<UINT>(NM_CLICK)};
  EXPECT_EQ(send(WM_NOTIFY, 7, &header), 42);
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_BUTTON;
  item.CtlID = 7;
  item.hwndItem = from;
  EXPECT_EQ(send(WM_DRAWITEM, 7, &item), 42);
  EXPECT_EQ(control.notified, (std::vector<UINT>{WM_COMMAND, WM_NOTIFY, WM_DRAWITEM}));
  EXPECT_FALSE(parent.Seen(WM_COMMAND) || parent.Seen(WM_NOTIFY) || parent.Seen(WM_DRAWITEM));

  // What the control leaves, a menu's item (whose handle names no window)
  // and a window without an object go on to the parent.
  send(WM_COMMAND, MAKEWPARAM(7, kCodeLeftToParent), from);
  item.CtlType = ODT_MENU;
  send(WM_DRAWITEM, 0, &item);
  header.hwndFrom = top.get();
  send(WM_NOTIFY, 7, &header);
  EXPECT_EQ(control.notified.size(), 4u);
  EXPECT_TRUE(parent.Seen(WM_COMMAND) && parent.Seen(WM_DRAWITEM) && parent.Seen(WM_NOTIFY));
}

}  // namespace
}  // namespace ostrevane
