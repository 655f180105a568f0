#pragma once
// For Windows programs of this project that run under Wine and reach out to
// the Linux side: environment, Unix and Windows paths, special folders, and
// shell commands run on Linux.

#include <windows.h>

#include <shlobj.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "win32/win_text.h"

namespace ostrevane::testing {

inline Text Environment(const wchar_t* name) {
  wchar_t buffer[2048] = {};
  const DWORD length = GetEnvironmentVariableW(name, buffer, 2048);
  return length < 2048 ? win32::FromWide(buffer, length) : Text();
}

// Wine names a Unix path as a Windows path on its Z: drive.
inline Text DosPathOf(const Text& unix_path) {
  using ToDos = wchar_t* (*)(const char*);
  const auto to_dos = reinterpret_cast<ToDos>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
  if (!to_dos) return unix_path;
  wchar_t* dos = to_dos(ToUtf8(unix_path).c_str());
  Text result = win32::FromWide(dos);
  HeapFree(GetProcessHeap(), 0, dos);
  return result;
}

inline std::string UnixPathOf(const Text& dos_path) {
  using ToUnix = char* (*)(const wchar_t*);
  const auto to_unix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!to_unix) return ToUtf8(dos_path);
  char* unix_path = to_unix(win32::Wide(dos_path));
  std::string result = unix_path ? unix_path : "";
  HeapFree(GetProcessHeap(), 0, unix_path);
  return result;
}

inline Text SpecialFolder(int csidl) {
  wchar_t buffer[MAX_PATH] = {};
  SHGetSpecialFolderPathW(nullptr, buffer, csidl, TRUE);
  return win32::FromWide(buffer);
}

// A text as one word for the Linux shell.
inline std::string ShellWord(const std::string& text) {
  std::string word = "'";
  for (char c : text) word += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return word + "'";
}

// Runs `script` with the Linux shell and returns what it printed; throws when
// it fails or has not finished within 30 s. Some things can only be done on
// that side: names Windows forbids, Unix permissions and owners. Wine starts
// a Unix program but gives no handle to wait on, so the script's last act is
// to write its exit status to a file, and that file is waited for.
inline std::string RunOnLinux(const std::string& script) {
  static int counter = 0;
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const Text base = win32::FromWide(temp) + u"ostrevane-linux-" +
                    DecimalText(GetCurrentProcessId()) + u"-" + DecimalText(counter++);
  const std::string script_file = UnixPathOf(base + u".sh");
  const std::string output_file = UnixPathOf(base + u".out");
  const std::string status_file = UnixPathOf(base + u".status");
  {
    std::ofstream file(script_file, std::ios::binary);
    file << "(\n"
         << script << "\n) >" << ShellWord(output_file) << " 2>&1 </dev/null\n"
         << "echo $? >" << ShellWord(status_file + ".part") << "\n"
         << "mv " << ShellWord(status_file + ".part") << " " << ShellWord(status_file) << "\n";
  }
  const Text shell = DosPathOf(u"/bin/sh");
  Text command_line = u"\"" + shell + u"\" \"" + FromUtf8(script_file) + u"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(win32::Wide(shell), reinterpret_cast<wchar_t*>(command_line.data()), nullptr,
                      nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    throw std::runtime_error("cannot start the Linux shell for: " + script);
  }
  if (process.hProcess) CloseHandle(process.hProcess);
  if (process.hThread) CloseHandle(process.hThread);
  std::string status;
  for (int waited = 0; waited < 3000 && status.empty(); ++waited) {
    std::ifstream(status_file) >> status;
    if (status.empty()) Sleep(10);
  }
  std::ostringstream output;
  output << std::ifstream(output_file).rdbuf();
  for (const std::string& file : {script_file, output_file, status_file}) {
    DeleteFileW(win32::Wide(DosPathOf(FromUtf8(file))));
  }
  if (status != "0") {
    throw std::runtime_error("on Linux, " + script + " ended with status \"" + status +
                             "\": " + output.str());
  }
  return output.str();
}

}  // namespace ostrevane::testing
