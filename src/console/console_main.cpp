// ostrevane.exe, the command line for administrators: wires the Windows
// services to the command line's rules and writes what they say, as UTF-16 to
// a console and as UTF-8 (without a byte-order mark) to a file or a pipe.

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "console_rules/run.h"
#include "win32/folder_service_win32.h"
#include "win32/profiles_win32.h"
#include "win32/account.h"
#include "win32/handles.h"
#include "win32/recycler_win32.h"
#include "win32/file_reader_win32.h"
#include "win32/target_probe_win32.h"
#include "win32/collation.h"
#include "win32/win_text.h"

using namespace ostrevane;

namespace {

// The words after the program's name, as Windows splits a command line: no
// wildcard is expanded, so a name with "*" reaches the rules as typed.
std::vector<Text> Arguments() {
  int count = 0;
  wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<Text> arguments;
  for (int i = 1; words && i < count; ++i) arguments.push_back(win32::FromWide(words[i]));
  LocalFree(words);
  return arguments;
}

void Write(DWORD which, const Text& text) {
  if (text.empty()) return;
  const HANDLE handle = GetStdHandle(which);
  if (!handle || handle == INVALID_HANDLE_VALUE) return;
  DWORD mode = 0;
  if (GetConsoleMode(handle, &mode)) {
    // A console shows every name as it is, whatever its code page.
    constexpr std::size_t kChunk = 8192;
    for (std::size_t at = 0; at < text.size();) {
      std::size_t length = std::min(kChunk, text.size() - at);
      // Never split a surrogate pair between two writes.
      if (at + length < text.size() && text[at + length - 1] >= 0xD800 &&
          text[at + length - 1] <= 0xDBFF) {
        --length;
      }
      DWORD written = 0;
      if (!WriteConsoleW(handle, text.data() + at, static_cast<DWORD>(length), &written, nullptr) ||
          written == 0) {
        return;
      }
      at += written;
    }
    return;
  }
  // A reader that stops early (a closed pipe) ends the writing, not the run.
  const std::string utf8 = ToUtf8(text);
  for (std::size_t at = 0; at < utf8.size();) {
    DWORD written = 0;
    const DWORD length = static_cast<DWORD>(std::min<std::size_t>(utf8.size() - at, 1 << 20));
    if (!WriteFile(handle, utf8.data() + at, length, &written, nullptr) || written == 0) return;
    at += written;
  }
}

}  // namespace

int wmain(int, wchar_t**) {
  // Nobody may be there to answer: no "There is no disk in the drive" box
  // when a shortcut's target is on an empty drive.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  const win32::ScopedComInit com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  win32::InstallSystemCaseMapping();
  win32::InstallSystemSortKeys();

  win32::Win32FolderService folders;
  win32::Win32Recycler recycler;
  recycler.SetUnattended(true);
  win32::Win32TargetProbe probe;
  win32::Win32FileReader files;
  win32::Win32ProfileSource profiles;
  console::CliServices services{folders, profiles, recycler, probe, files};
  services.elevated = win32::ProcessIsElevated();
  services.running_as_system = win32::RunningAsSystem();
  // Each line goes out as it is decided: a run that is killed part-way
  // (a fleet tool's time limit) leaves every line it reached.
  services.write_output = [](const Text& lines) { Write(STD_OUTPUT_HANDLE, lines); };

  const console::Outcome outcome = console::RunCommandLine(Arguments(), services);
  Write(STD_OUTPUT_HANDLE, outcome.output);
  Write(STD_ERROR_HANDLE, outcome.error);
  return outcome.exit_code;
}
