// The deletion pass under Wine with the real shell, next to what the shell
// itself costs: the real main window deletes N ticked shortcuts, and a bare
// loop of SHFileOperationW calls with the same flags deletes N others. Both
// go to a Recycle Bin of the benchmark's own. Meanwhile another thread asks
// the window for an answer every few milliseconds: the longest wait shows
// whether the window kept answering throughout the pass.
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

#include "win32/recycler_win32.h"
#include "support/wine_host.h"
#include "wine_timing.h"
#include "window_fixture.h"

using namespace ostrevane;
using bench::Median;
using bench::Now;
using win32::Wide;

namespace {

void MakeShortcuts(const testing::TempFolder& folder, int count) {
  for (int i = 0; i < count; ++i) {
    folder.MakeFile(u"Program " + DecimalText(i) + u".lnk", "shortcut");
  }
}

// Seconds per entry for the shell alone.
double BareCalls(int count) {
  testing::TempFolder folder;
  MakeShortcuts(folder, count);
  const double start = Now();
  for (int i = 0; i < count; ++i) {
    Text from = folder.path() + u"\\Program " + DecimalText(i) + u".lnk";
    from.push_back(u'\0');
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = Wide(from);
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_WANTNUKEWARNING |
                       FOF_NO_CONNECTED_ELEMENTS;
    if (SHFileOperationW(&operation) != 0) std::printf("the shell refused an entry\n");
  }
  return (Now() - start) / count;
}

// Seconds per entry for the shell with the checks the program makes around
// each call (exactly that name, not a link or a mount, this account may
// delete it, gone afterwards), without the window: the floor for a pass that
// keeps those checks.
double CheckedCalls(int count) {
  testing::TempFolder folder;
  MakeShortcuts(folder, count);
  win32::Win32Recycler recycler;
  const double start = Now();
  for (int i = 0; i < count; ++i) {
    const Text path = folder.path() + u"\\Program " + DecimalText(i) + u".lnk";
    if (recycler.Recycle(path)) std::printf("a shortcut was not moved\n");
  }
  return (Now() - start) / count;
}

// The real recycler, timed: how much of the pass is the recycler's call (the
// shell and the checks around it).
class TimedRecycler : public Recycler {
 public:
  double recycle = 0;
  std::optional<NotMoved> Inspect(const Text& path) override { return real_.Inspect(path); }
  std::optional<NotMoved> Recycle(const Text& path) override {
    const double start = Now();
    std::optional<NotMoved> result = real_.Recycle(path);
    recycle += Now() - start;
    return result;
  }

 private:
  win32::Win32Recycler real_;
};

struct Pass {
  double seconds_per_entry = 0;
  double longest_wait = 0;  // the longest the window took to answer
  double recycle = 0;       // per entry
};

Pass DeletionPass(int count) {
  testing::WindowUnderTest t;
  MakeShortcuts(t.current_root, count);
  TimedRecycler recycler;
  window::MainWindow& window = t.Open(&recycler);
  for (std::size_t p = 1; p <= window.list().Count(); ++p) window.list().SetChecked(p, true);
  const HWND form = window.hwnd();
  const HWND button = t.Control(ControlName::kPushButton2);

  std::atomic<bool> done{false}, stopped{false};
  std::atomic<double> longest{0};
  std::thread asker([&] {
    while (!done) {
      const double asked = Now();
      DWORD_PTR ignored;
      SendMessageTimeoutW(form, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
      longest = std::max(longest.load(), Now() - asked);
      Sleep(5);
    }
    stopped = true;
  });
  const double start = Now();
  SendMessageW(form, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
  const double seconds = Now() - start;
  done = true;
  // The asker may be waiting for an answer: keep answering until it stops.
  while (!stopped) {
    testing::PumpMessages();
    Sleep(1);
  }
  asker.join();
  if (window.list().Count() != 0 || !t.dialogs.ErrorReports().empty()) {
    std::printf("the pass left %zu rows and %zu reports\n", window.list().Count(),
                t.dialogs.ErrorReports().size());
  }
  return {seconds / count, longest, recycler.recycle / count};
}

}  // namespace

int main() {
  // Never the user's own Recycle Bin, and never without one: without its
  // folder Wine deletes for good.
  const Text home = testing::Environment(L"XDG_DATA_HOME");
  if (home.empty() || testing::Environment(L"OSTREVANE_BENCH_XDG_DATA_HOME") != home) {
    std::printf("run through bench/deletion-bench: it gives the benchmark a Recycle Bin\n");
    return 1;
  }
  constexpr int kEntries = 300;
  constexpr int kRuns = 5;
  // Each run measures the three side by side; the ratios are taken within a
  // run, where the machine's pace is alike for all three.
  std::vector<double> bare, checked, pass, waits, checked_ratio, pass_ratio, pass_to_checked;
  for (int run = 0; run < kRuns; ++run) {
    bare.push_back(BareCalls(kEntries));
    checked.push_back(CheckedCalls(kEntries));
    const Pass p = DeletionPass(kEntries);
    pass.push_back(p.seconds_per_entry);
    waits.push_back(p.longest_wait);
    checked_ratio.push_back(checked.back() / bare.back());
    pass_ratio.push_back(pass.back() / bare.back());
    pass_to_checked.push_back(pass.back() / checked.back());
    std::printf(
        "run %d: bare %.2f ms, with checks %.2f ms, pass %.2f ms per entry (of which the "
        "recycler's call %.2f); longest wait for the window %.0f ms\n",
        run + 1, bare.back() * 1000, checked.back() * 1000, pass.back() * 1000, p.recycle * 1000,
        waits.back() * 1000);
  }
  std::printf("deleting %d shortcuts (medians of %d runs):\n", kEntries, kRuns);
  std::printf("  bare SHFileOperationW calls:     %.2f ms per entry\n", Median(bare) * 1000);
  std::printf("  the same calls with the checks:  %.2f ms per entry = %.2f x the bare calls\n",
              Median(checked) * 1000, Median(checked_ratio));
  std::printf(
      "  the program's pass:              %.2f ms per entry = %.2f x the bare calls (goal <= 1.2)"
      "\n                                   = %.2f x the calls with the checks\n",
      Median(pass) * 1000, Median(pass_ratio), Median(pass_to_checked));
  std::printf("  longest wait for the window during a pass: %.0f ms\n",
              *std::max_element(waits.begin(), waits.end()) * 1000);
  return 0;
}
