#pragma once
// The command line for administrators, ostrevane.exe: lists, previews and
// recycles Start Menu entries by rules, for scripts and fleet tools. Never a
// box, never a prompt; the exit code tells what happened.

#include <functional>
#include <vector>

#include "base/text.h"
#include "catalogue/file_reader.h"
#include "catalogue/folder_service.h"
#include "catalogue/profiles.h"
#include "catalogue/recycler.h"
#include "catalogue/shortcut_status.h"

namespace ostrevane::console {

// The exit codes, as `help` and the README give them.
inline constexpr int kExitDone = 0;            // done, or nothing selected
inline constexpr int kExitWouldRecycle = 1;    // a preview found entries it would recycle
inline constexpr int kExitWrongCall = 2;       // a wrong call: nothing was done
inline constexpr int kExitNotAllRecycled = 3;  // some selected entries were not recycled
inline constexpr int kExitDenied = 4;          // this account may not remove some selected entries
inline constexpr int kExitInternalError = 9;

// What the command line needs from the system.
struct CliServices {
  FolderService& folders;   // the two Programs folders and their listings
  ProfileSource& profiles;  // every user's profile, for --root profiles and machine
  Recycler& recycler;       // unattended: it never shows a box
  TargetProbe& probe;
  FileReader& files;
  bool elevated = false;           // runs with an administrator's full rights
  bool running_as_system = false;  // the system account, whose "current user" is no person
  // Takes standard output's lines as they are decided, each ended by
  // "\r\n", so that a run killed part-way leaves the lines it reached.
  // Without it they gather in Outcome::output.
  std::function<void(const Text& lines)> write_output{};
};

struct Outcome {
  int exit_code = kExitDone;
  Text output;  // standard output, when no write_output took it
  Text error;   // for standard error: empty, or one line ended by "\r\n"
};

// Runs one call: `arguments` are the words after the program's name.
// Never throws: a fault of the program itself is exit code 9 with its words
// on the error line. Whatever the exit code, text output ends with its
// summary line and JSON output is one document.
Outcome RunCommandLine(const std::vector<Text>& arguments, CliServices& services);

}  // namespace ostrevane::console
