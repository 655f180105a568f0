// The command line's "list --format tsv" under Wine, next to its floor in the
// same run: listing every folder at every depth and reading every shortcut
// file's bytes, which any program that tells where shortcuts point must do.
// Two menus of 2 x 10,000 entries each:
//   - shortcuts only, half to a file that is there, half to one that is not;
//   - half of them folders holding 3 shortcuts each, every other folder dead
//     (its shortcuts all point into a program folder that is gone).
// Prints the medians of five runs and their ratio for each.
#include <windows.h>

#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <vector>

#include "support/shortcut_bytes.h"
#include "support/wine_host.h"
#include "wine_timing.h"
#include "win32/handles.h"
#include "win32/win_text.h"

using namespace ostrevane;
using bench::Median;
using bench::Now;
using win32::Wide;

namespace {

void WriteShortcut(const Text& path, const Text& target) {
  testing::ShortcutContents contents;
  contents.link_info = testing::LinkInfoContents{target, {}, {}, {}, true};
  const testing::Bytes bytes = testing::ShortcutBytes(contents);
  const win32::UniqueFile file(
      CreateFileW(Wide(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

Text Target(int i) {
  return i % 2 ? Text(u"C:\\windows\\notepad.exe")
               : u"C:\\bench\\missing\\app" + DecimalText(i) + u".exe";
}

// `count` entries in `folder`: shortcuts, or every other one a folder of three.
void MakeEntries(const Text& folder, int count, bool with_folders) {
  for (int i = 0; i < count; ++i) {
    const Text name = folder + u"\\Program " + DecimalText(i);
    if (!with_folders || i % 2 == 0) {
      WriteShortcut(name + u".lnk", Target(with_folders ? i / 2 : i));
      continue;
    }
    CreateDirectoryW(Wide(name), nullptr);
    const bool dead = (i / 2) % 2 == 0;
    for (const char16_t* part : {u"App", u"Help", u"Uninstall"}) {
      WriteShortcut(name + u"\\" + part + u".lnk",
                    dead ? u"C:\\bench\\removed\\" + DecimalText(i) + u"\\" + part + u".exe"
                         : Text(u"C:\\windows\\notepad.exe"));
    }
  }
}

void RemoveEntries(const Text& folder) {
  WIN32_FIND_DATAW data;
  std::vector<Text> names;
  {
    const win32::UniqueFind find(FindFirstFileW(Wide(folder + u"\\*"), &data));
    if (!find) return;
    do {
      const Text name = win32::FromWide(data.cFileName);
      if (name != u"." && name != u"..") names.push_back(name);
    } while (FindNextFileW(find.get(), &data));
  }
  for (const Text& name : names) {
    const Text path = folder + u"\\" + name;
    if (GetFileAttributesW(Wide(path)) & FILE_ATTRIBUTE_DIRECTORY) {
      RemoveEntries(path);
      RemoveDirectoryW(Wide(path));
    } else {
      DeleteFileW(Wide(path));
    }
  }
}

// Lists a folder and, at every depth, reads the bytes of every file in it;
// the bytes read.
std::size_t ListAndRead(const Text& folder) {
  std::size_t total = 0;
  WIN32_FIND_DATAW data;
  const win32::UniqueFind find(FindFirstFileW(Wide(folder + u"\\*"), &data));
  if (!find) return 0;
  std::vector<char> buffer(1 << 16);
  do {
    const Text name = win32::FromWide(data.cFileName);
    const Text path = folder + u"\\" + name;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (name != u"." && name != u"..") total += ListAndRead(path);
      continue;
    }
    const win32::UniqueFile file(CreateFileW(Wide(path), GENERIC_READ,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                             nullptr, OPEN_EXISTING, 0, nullptr));
    DWORD read = 0;
    if (file &&
        ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) {
      total += read;
    }
  } while (FindNextFileW(find.get(), &data));
  return total;
}

// Runs the command line with its output to a pipe, read to the end; seconds
// and the lines it wrote.
std::pair<double, std::size_t> RunList(const Text& exe) {
  Text command = u"\"" + exe + u"\" list --format tsv";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read_end, write_end;
  CreatePipe(&read_end, &write_end, &inherit, 1 << 16);
  SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = write_end;
  startup.hStdError = write_end;
  PROCESS_INFORMATION process{};
  const double start = Now();
  if (!CreateProcessW(Wide(exe), reinterpret_cast<wchar_t*>(command.data()), nullptr, nullptr, TRUE,
                      0, nullptr, nullptr, &startup, &process)) {
    std::printf("cannot start %s\n", ToUtf8(exe).c_str());
    return {0, 0};
  }
  CloseHandle(write_end);
  std::size_t lines = 0;
  char buffer[1 << 16];
  DWORD read = 0;
  while (ReadFile(read_end, buffer, sizeof buffer, &read, nullptr) && read > 0) {
    lines += static_cast<std::size_t>(std::count(buffer, buffer + read, '\n'));
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  const double seconds = Now() - start;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  CloseHandle(read_end);
  return {seconds, lines};
}

// Five runs of the floor and of the listing over what the roots hold now;
// prints each and their medians.
void Measure(const Text& exe, const Text& user, const Text& all, const char* what, double goal) {
  constexpr int kRuns = 5;
  std::vector<double> floors, lists, ratios;
  std::size_t lines = 0;
  for (int run = 0; run < kRuns; ++run) {
    const double start = Now();
    const std::size_t bytes = ListAndRead(user) + ListAndRead(all);
    floors.push_back(Now() - start);
    const auto [seconds, written] = RunList(exe);
    lists.push_back(seconds);
    lines = written;
    ratios.push_back(lists.back() / floors.back());
    std::printf(
        "run %d: floor %.0f ms (%zu bytes read), list --format tsv %.0f ms (%zu lines), "
        "%.2f x\n",
        run + 1, floors.back() * 1000, bytes, lists.back() * 1000, written, ratios.back());
  }
  std::printf("%s (medians of %d runs):\n", what, kRuns);
  std::printf("  floor (list every folder, read every shortcut's bytes): %.0f ms\n",
              Median(floors) * 1000);
  std::printf(
      "  ostrevane list --format tsv:                             %.0f ms = %.2f x the floor "
      "(goal <= %.1f)\n",
      Median(lists) * 1000, Median(ratios), goal);
  std::printf("  (%zu lines written)\n", lines);
}

}  // namespace

int main() {
  const Text exe = testing::DosPathOf(testing::Environment(L"OSTREVANE_BENCH_CLI"));
  if (exe.empty()) {
    std::printf("run through bench/cli-bench: it names the program and gives it a prefix\n");
    return 1;
  }
  constexpr int kPerRoot = 10000;
  const Text user = testing::SpecialFolder(CSIDL_PROGRAMS);
  const Text all = testing::SpecialFolder(CSIDL_COMMON_PROGRAMS);
  for (const bool with_folders : {false, true}) {
    RemoveEntries(user);
    RemoveEntries(all);
    MakeEntries(user, kPerRoot, with_folders);
    MakeEntries(all, kPerRoot, with_folders);
    Measure(exe, user, all,
            with_folders ? "2 x 10,000 entries, half of them folders of 3 shortcuts"
                         : "2 x 10,000 shortcuts",
            with_folders ? 1.3 : 1.5);
  }
  return 0;
}
