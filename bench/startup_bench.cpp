// Start-up under Wine: the time from starting the program until its window is
// shown with the list filled, with empty roots and with 10,000 entries in each
// of the two roots (half folders, half shortcuts, half of the all users'
// entries namesakes). Both are measured in the same run, alternating, and the
// ratio of the medians is printed.
#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "form/form_layout.h"
#include "win32/win_text.h"
#include "support/wine_host.h"

using namespace ostrevane;
using testing::DosPathOf;
using testing::Environment;
using testing::SpecialFolder;
using win32::FromWide;
using win32::Wide;

namespace {

void Fill(const Text& folder, int entries, bool namesakes) {
  CreateDirectoryW(Wide(folder), nullptr);
  for (int i = 0; i < entries; ++i) {
    const bool shared = namesakes && i % 2 == 0;
    const Text name = (shared ? u"Program " : u"Only here ") + DecimalText(i);
    if (i % 4 < 2) {
      CreateDirectoryW(Wide(folder + u"\\" + name), nullptr);
    } else {
      HANDLE file = CreateFileW(Wide(folder + u"\\" + name + u".lnk"), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
      CloseHandle(file);
    }
  }
}

struct Window {
  DWORD pid;
  HWND found;
};

HWND VisibleForm(DWORD pid) {
  Window search{pid, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        auto& s = *reinterpret_cast<Window*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        wchar_t name[64] = {};
        GetClassNameW(hwnd, name, 64);
        if (owner == s.pid && IsWindowVisible(hwnd) && wcscmp(name, L"OstrevaneForm1") == 0) {
          s.found = hwnd;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Seconds from starting the program until its window shows `rows` rows.
double TimeStartUp(const Text& program, int rows) {
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  Text command = u"\"" + program + u"\"";
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(Wide(program), reinterpret_cast<wchar_t*>(command.data()), nullptr, nullptr,
                      FALSE, 0, nullptr, nullptr, &startup, &process)) {
    std::fprintf(stderr, "cannot start the program\n");
    std::exit(1);
  }
  double seconds = -1;
  for (;;) {
    if (HWND form = VisibleForm(process.dwProcessId)) {
      const HWND list = GetDlgItem(GetDlgItem(form, 1003), 1010);
      if (SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == rows) {
        QueryPerformanceCounter(&now);
        seconds = static_cast<double>(now.QuadPart - start.QuadPart) / frequency.QuadPart;
        PostMessageW(form, WM_CLOSE, 0, 0);
        break;
      }
    }
    if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) break;
  }
  WaitForSingleObject(process.hProcess, 30000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return seconds;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main() {
  const Text program = DosPathOf(Environment(L"OSTREVANE_BENCH_PROGRAM"));
  const Text current = SpecialFolder(CSIDL_PROGRAMS);
  const Text all = SpecialFolder(CSIDL_COMMON_PROGRAMS);
  constexpr int kPerRoot = 10000;
  // Both contents are made once, side by side; each run renames the one it
  // needs into place, which costs nothing.
  std::printf("filling %d entries per root...\n", kPerRoot);
  Fill(current + u".full", kPerRoot, false);
  Fill(all + u".full", kPerRoot, true);
  CreateDirectoryW(Wide(current + u".empty"), nullptr);
  CreateDirectoryW(Wide(all + u".empty"), nullptr);
  MoveFileW(Wide(current), Wide(current + u".original"));
  MoveFileW(Wide(all), Wide(all + u".original"));
  const auto use = [&](const char16_t* variant) {
    MoveFileW(Wide(current + variant), Wide(current));
    MoveFileW(Wide(all + variant), Wide(all));
  };
  const auto put_back = [&](const char16_t* variant) {
    MoveFileW(Wide(current), Wide(current + variant));
    MoveFileW(Wide(all), Wide(all + variant));
  };
  // With namesakes, the all users' root adds 10,000 rows as well.
  const int full_rows = 2 * kPerRoot;

  std::vector<double> empty, full;
  constexpr int kRuns = 7;
  for (int run = 0; run <= kRuns; ++run) {
    use(u".empty");
    const double e = TimeStartUp(program, 0);
    put_back(u".empty");
    use(u".full");
    const double f = TimeStartUp(program, full_rows);
    put_back(u".full");
    if (run == 0) continue;  // the first start of each warms Wine's caches
    empty.push_back(e);
    full.push_back(f);
    std::printf("run %d: empty %.0f ms, 2 x 10,000 entries %.0f ms\n", run, e * 1000, f * 1000);
  }
  MoveFileW(Wide(current + u".original"), Wide(current));
  MoveFileW(Wide(all + u".original"), Wide(all));
  const double e = Median(empty), f = Median(full);
  std::printf("start-up until the window is shown and filled (median of %d):\n", kRuns);
  std::printf("  empty roots:             %.0f ms\n", e * 1000);
  std::printf("  2 x 10,000 entries:      %.0f ms\n", f * 1000);
  std::printf("  ratio filled / empty:    %.2f (goal <= 1.5)\n", f / e);
  return 0;
}
