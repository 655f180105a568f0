#pragma once
// A call of the command line as its words give it: the command, the scope,
// the selectors and the switches. Reading the words is strict, since a
// script's typo must never widen what gets recycled: anything not understood
// is a wrong call, and nothing runs.

#include <optional>
#include <vector>

#include "base/failure.h"
#include "base/text.h"
#include "catalogue/start_menu.h"

namespace ostrevane::console {

enum class Command { kList, kRecycle, kHelp, kVersion };
// Which Programs folders: the running account's, the all users', both; every
// user profile's own; or every profile's and the all users' (the machine).
enum class Scope { kUser, kAllUsers, kBoth, kProfiles, kMachine };
enum class Format { kText, kTsv, kJson };

// Every selector given must hold for an entry to be selected.
struct Selectors {
  bool all = false;
  std::optional<Text> contains;
  std::optional<Text> not_contains;
  std::vector<Text> names;  // any of them, whole, ignoring case
  bool broken = false;
  bool empty = false;
  std::optional<EntryKind> kind;
  bool include_system = false;  // Windows' own folders may be selected too: not a selector

  bool Any() const {
    return all || contains || not_contains || !names.empty() || broken || empty || kind;
  }
};

struct Call {
  Command command = Command::kHelp;
  Scope scope = Scope::kBoth;
  Format format = Format::kText;
  Selectors selectors;
  bool yes = false;          // recycle for real; otherwise recycle is a preview
  bool dry_run = false;      // the preview, said outright
  bool skip_denied = false;  // recycle the others when some may not be removed
  // Entries refused before the shell was asked (rights, links, paths the
  // Recycle Bin cannot take, entries held open) are reported and do not
  // make the exit code; includes skip_denied.
  bool skip_refused = false;
  bool allow_absent = false;  // a --name that matches nothing is no error
};

// What is wrong with a call, as a clause for the error line: a failure of
// the caller's, not of the program.
class WrongCall : public Failure {
 public:
  using Failure::Failure;
};

// Reads the words after the program's name. Throws WrongCall for anything
// it does not accept. Commands, option names and fixed values ignore letter
// case, as Windows tools do; "/?", "-?", "-h" and "--help" ask for the help.
// Under the system account, whose "current user" is the system's own
// profile rather than a person's, only --root all-users, profiles or machine
// is accepted for list and recycle.
Call ParseCall(const std::vector<Text>& arguments, bool running_as_system);

// The output format a call asks for, read leniently, so that even a call
// that is wrong otherwise gets its answer in the format it expects.
Format FormatAskedFor(const std::vector<Text>& arguments);

}  // namespace ostrevane::console
