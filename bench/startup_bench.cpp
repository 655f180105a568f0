// Start-up under Wine: the time from starting the program until its window is
// shown with the list filled, with empty roots and with 10,000 and 100,000
// entries in each of the two roots (half folders, half shortcuts, half of the
// all users' entries namesakes), next to a bare listing of the same folders
// inside a Windows process (what any program must spend to see the entries).
// All are measured in the same run, alternating; the medians, the program's
// added cost against the listing, and its peak memory per entry are printed:
// private bytes, and the peak working set (what Task Manager shows as the
// process's memory), each read while the program still runs.
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "win32/win_text.h"
#include "support/wine_host.h"
#include "wine_timing.h"

using namespace ostrevane;
using bench::Median;
using bench::Now;
using testing::DosPathOf;
using testing::Environment;
using testing::SpecialFolder;
using win32::FromWide;
using win32::Wide;

namespace {

// Made on the Linux side: Wine looks for a name that differs only in case
// before it creates one, which makes creating many entries in one folder
// through Windows calls take quadratic time.
void Fill(const Text& folder, int entries, bool namesakes) {
  const std::string path = testing::ShellWord(testing::UnixPathOf(folder));
  testing::RunOnLinux("mkdir -p " + path + " && cd " + path + " && awk -v n=" +
                      std::to_string(entries) + " -v shared=" + (namesakes ? "1" : "0") +
                      " 'BEGIN { for (i = 0; i < n; i++) { name = (shared && i % 2 == 0 ? "
                      "\"Program \" : \"Only here \") i; print (i % 4 < 2 ? \"D\" name : "
                      "\"F\" name \".lnk\") } }' >../list.txt && "
                      "sed -n 's/^D//p' ../list.txt | xargs -r -d '\\n' mkdir && "
                      "sed -n 's/^F//p' ../list.txt | xargs -r -d '\\n' touch && rm ../list.txt");
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

struct StartUp {
  double seconds = -1;
  // The process's memory once the list is filled: its peak private bytes and
  // its peak working set.
  double peak_bytes = 0;
  double peak_working_set = 0;
};

// From starting the program until its window shows `rows` rows.
StartUp TimeStartUp(const Text& program, int rows) {
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
  StartUp result;
  for (;;) {
    if (HWND form = VisibleForm(process.dwProcessId)) {
      const HWND list = GetDlgItem(GetDlgItem(form, 1003), 1010);
      if (SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == rows) {
        QueryPerformanceCounter(&now);
        result.seconds = static_cast<double>(now.QuadPart - start.QuadPart) / frequency.QuadPart;
        PROCESS_MEMORY_COUNTERS memory{};
        memory.cb = sizeof memory;
        if (GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory)) {
          result.peak_bytes = static_cast<double>(memory.PeakPagefileUsage);
          result.peak_working_set = static_cast<double>(memory.PeakWorkingSetSize);
        }
        PostMessageW(form, WM_CLOSE, 0, 0);
        break;
      }
    }
    if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) break;
  }
  WaitForSingleObject(process.hProcess, 30000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return result;
}

// Seconds to list both folders as any program must: names and kinds of every
// entry, nothing kept.
double TimeBareListing(const Text& current, const Text& all) {
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  std::size_t seen = 0;
  for (const Text& folder : {current, all}) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW(Wide(folder + u"\\*"), FindExInfoBasic, &data,
                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) continue;
    do {
      seen += (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 2;
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  QueryPerformanceCounter(&now);
  if (seen == 0) std::printf("(nothing listed)\n");
  return static_cast<double>(now.QuadPart - start.QuadPart) / frequency.QuadPart;
}

}  // namespace

int main() {
  const Text program = DosPathOf(Environment(L"OSTREVANE_BENCH_PROGRAM"));
  const Text current = SpecialFolder(CSIDL_PROGRAMS);
  const Text all = SpecialFolder(CSIDL_COMMON_PROGRAMS);
  // Every content is made once, side by side; each run renames the one it
  // needs into place, which costs nothing.
  struct Size {
    const char16_t* suffix;
    int per_root;
    std::vector<double> start_up, listing;
    double peak_bytes = 0, peak_working_set = 0;
  };
  std::vector<Size> sizes = {
      {u".empty", 0, {}, {}}, {u".10k", 10000, {}, {}}, {u".100k", 100000, {}, {}}};
  for (Size& size : sizes) {
    std::printf("filling %d entries per root...\n", size.per_root);
    std::fflush(stdout);
    Fill(current + size.suffix, size.per_root, false);
    Fill(all + size.suffix, size.per_root, true);
  }
  MoveFileW(Wide(current), Wide(current + u".original"));
  MoveFileW(Wide(all), Wide(all + u".original"));

  constexpr int kRuns = 5;
  for (int run = 0; run <= kRuns; ++run) {
    for (Size& size : sizes) {
      MoveFileW(Wide(current + size.suffix), Wide(current));
      MoveFileW(Wide(all + size.suffix), Wide(all));
      // With namesakes, the all users' root adds as many rows as the other.
      const StartUp s = TimeStartUp(program, 2 * size.per_root);
      const double listing = TimeBareListing(current, all);
      MoveFileW(Wide(current), Wide(current + size.suffix));
      MoveFileW(Wide(all), Wide(all + size.suffix));
      if (run == 0) continue;  // the first start of each warms Wine's caches
      size.start_up.push_back(s.seconds);
      size.listing.push_back(listing);
      size.peak_bytes = std::max(size.peak_bytes, s.peak_bytes);
      size.peak_working_set = std::max(size.peak_working_set, s.peak_working_set);
    }
    if (run > 0) {
      std::printf("run %d:", run);
      for (const Size& size : sizes) std::printf(" %.0f ms", size.start_up.back() * 1000);
      std::printf("\n");
    }
  }
  MoveFileW(Wide(current + u".original"), Wide(current));
  MoveFileW(Wide(all + u".original"), Wide(all));

  const double empty = Median(sizes[0].start_up);
  std::printf("start-up until the window is shown and filled (median of %d runs):\n", kRuns);
  std::printf("  empty roots: %.0f ms, peak private bytes %.1f MB, peak working set %.1f MB\n",
              empty * 1000, sizes[0].peak_bytes / 1e6, sizes[0].peak_working_set / 1e6);
  for (std::size_t i = 1; i < sizes.size(); ++i) {
    const Size& size = sizes[i];
    const double filled = Median(size.start_up), listing = Median(size.listing);
    const double added = filled - empty - listing;
    const double entries = 2.0 * size.per_root;
    std::printf(
        "  2 x %d entries: %.0f ms; bare listing %.0f ms; program's added cost %.0f ms "
        "= %.2f x the listing (goal <= 1.5)\n",
        size.per_root, filled * 1000, listing * 1000, added * 1000, added / listing);
    std::printf("    peak private bytes %.1f MB, %.0f bytes per entry above the empty start\n",
                size.peak_bytes / 1e6, (size.peak_bytes - sizes[0].peak_bytes) / entries);
    std::printf(
        "    peak working set %.1f MB, %.0f bytes per entry above the empty start (goal <= 250)\n",
        size.peak_working_set / 1e6, (size.peak_working_set - sizes[0].peak_working_set) / entries);
  }
  return 0;
}
