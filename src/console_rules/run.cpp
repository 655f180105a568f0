#include "console_rules/run.h"

#include <algorithm>

#include "catalogue/start_menu.h"
#include "console_rules/call.h"
#include "console_rules/entries.h"
#include "console_rules/escaping.h"
#include "console_rules/report.h"
#include "console_rules/usage.h"

namespace ostrevane::console {
namespace {

constexpr char16_t kSeeHelp[] = u" (see \"ostrevane help\")";

Text ErrorLine(TextView what) { return u"ostrevane: " + OneLine(what) + u"\r\n"; }
Text InternalErrorLine(TextView description) {
  return ErrorLine(u"internal error: " + Text(description));
}

// Every --name must name an entry in scope (unless --allow-absent), and none
// may name one of Windows' own folders unless --include-system.
void CheckNames(const Call& call, Scan& scan, Judge& judge) {
  for (const Text& name : call.selectors.names) {
    const Text lowered = Lower(name);
    bool found = false;
    for (CliEntry& entry : scan.entries) {
      if (Lower(OwnName(entry)) != lowered) continue;
      found = true;
      judge.Walk(entry);
      if (!entry.system || call.selectors.include_system) continue;
      throw WrongCall(u"\"" + OneLine(entry.name) + u"\" in " +
                      FolderWords(scan.roots[entry.root]) + u" is Windows' own folder (" +
                      entry.system_why + u"); add --include-system to select it");
    }
    if (found || call.allow_absent) continue;
    const Text where = call.scope == Scope::kUser       ? FolderWords(scan.roots[0])
                       : call.scope == Scope::kAllUsers ? FolderWords(scan.roots[1])
                       : call.scope == Scope::kBoth     ? Text(u"either Programs folder")
                                                        : Text(u"any Programs folder in scope");
    throw WrongCall(u"no entry is named \"" + OneLine(name) + u"\" in " + Text(where) +
                    u"; add --allow-absent if that is expected");
  }
}

// Whether the entry itself is gone: nothing has its name any more, or only
// another entry with a name like it (another letter case, a short name).
bool Gone(NotMoved::Why why) {
  return why == NotMoved::Why::kGone || why == NotMoved::Why::kOtherCase ||
         why == NotMoved::Why::kShortName;
}

void SetGone(CliEntry& entry) {
  entry.action = Action::kGone;
  entry.reason =
      u"it was no longer there when its turn came (another run, a person or an uninstaller "
      u"took it)";
}

void SetRefused(CliEntry& entry, const NotMoved& not_moved) {
  entry.action = Action::kRefused;
  entry.reason = DescribeNotMoved(not_moved);
  entry.denied = not_moved.why == NotMoved::Why::kMayNotRemove;
}

// Moves the entry, or only asks what stands against moving it.
std::optional<NotMoved> Recycle(const Scan& scan, const CliEntry& entry, CliServices& services,
                                Recycling recycling) {
  return RecycleAt(scan.roots[entry.root].path, entry.name, services.recycler, recycling);
}

// Asks, without touching anything, what stands against recycling each
// selected entry; true when this account may not remove some of them.
bool InspectSelected(Scan& scan, CliServices& services) {
  bool denied = false;
  for (CliEntry& entry : scan.entries) {
    if (!entry.selected) continue;
    const std::optional<NotMoved> not_moved =
        Recycle(scan, entry, services, Recycling::kInspectOnly);
    if (!not_moved) {
      entry.action = Action::kWouldRecycle;
    } else if (Gone(not_moved->why)) {
      SetGone(entry);
    } else {
      SetRefused(entry, *not_moved);
      denied = denied || entry.denied;
    }
  }
  return denied;
}

// Recycles one entry the inspection passed. What the shell could not move
// is a failure only when the entry is still there afterwards: another run
// may have moved it in the meantime, and then it is gone, as wanted.
void RecycleOne(const Scan& scan, CliEntry& entry, CliServices& services) {
  const std::optional<NotMoved> not_moved = Recycle(scan, entry, services, Recycling::kMove);
  if (!not_moved) {
    entry.action = Action::kRecycled;
    return;
  }
  if (Gone(not_moved->why)) return SetGone(entry);
  if (!ShellWasAsked(not_moved->why)) return SetRefused(entry, *not_moved);
  if (not_moved->why != NotMoved::Why::kStillThere) {
    const std::optional<NotMoved> now = Recycle(scan, entry, services, Recycling::kInspectOnly);
    if (now && Gone(now->why)) return SetGone(entry);
  }
  entry.action = Action::kFailed;
  entry.reason = DescribeNotMoved(*not_moved);
}

// Where standard output goes: to the caller as it is decided, or gathered.
class Output {
 public:
  Output(CliServices& services, Outcome& outcome) : services_(services), outcome_(outcome) {}
  void Write(const Text& lines) {
    if (lines.empty()) return;
    if (services_.write_output) {
      services_.write_output(lines);
    } else {
      outcome_.output += lines;
    }
  }

 private:
  CliServices& services_;
  Outcome& outcome_;
};

// One run, kept where a failure can still report what was known.
struct RunState {
  Call call;
  Scan scan;
  Report report;
  Text place;  // where an internal error was raised, for the error line
};

int PreviewExitCode(const Counts& counts, bool denied, const Call& call) {
  if (denied && !call.skip_denied) return kExitDenied;
  if (counts.would_recycle > 0) return kExitWouldRecycle;
  if (counts.refused > 0 && !call.skip_refused) return kExitNotAllRecycled;
  return kExitDone;
}

int RecycleExitCode(const Counts& counts, const Call& call) {
  if (counts.failed > 0 || (counts.refused > 0 && !call.skip_refused)) {
    return kExitNotAllRecycled;
  }
  return kExitDone;
}

void WriteSelected(const RunState& state, Output& out) {
  for (const CliEntry& entry : state.scan.entries) {
    if (entry.selected) out.Write(RenderEntry(state.report, entry));
  }
}

void RunOnEntries(RunState& state, CliServices& services, Output& out) {
  const Call& call = state.call;
  Report& report = state.report;
  state.scan = ScanEntries(services.folders, services.profiles, services.probe, call.scope);
  report.scan = &state.scan;
  std::vector<CliEntry>& entries = state.scan.entries;
  Judge judge(services.folders, services.files, services.probe, state.scan);
  CheckNames(call, state.scan, judge);
  Select(entries, call.selectors, judge);
  out.Write(RenderHeader(report));
  for (const ScanRoot& root : state.scan.roots) out.Write(RenderRootNotWalked(report, root));
  const bool shows_all = call.format == Format::kJson;
  for (CliEntry& entry : entries) {
    if (!shows_all && !entry.selected) continue;
    judge.Walk(entry);
    judge.Status(entry);
    // A listing's lines go out as they are judged; recycling's wait for
    // their action, and every status is read before any file goes.
    if (call.command == Command::kList && entry.selected) out.Write(RenderEntry(report, entry));
  }
  if (call.command == Command::kList) return;

  // A profile's folder this account may not read holds entries it may not
  // remove: skipped, it still counts as not done, unless refusals are accepted.
  const bool unread = std::any_of(state.scan.roots.begin(), state.scan.roots.end(),
                                  [](const ScanRoot& root) { return root.denied; });
  const bool denied = InspectSelected(state.scan, services) || unread;
  const auto not_all_done = [&](int exit_code) {
    return exit_code == kExitDone && unread && !call.skip_refused ? kExitNotAllRecycled : exit_code;
  };
  if (!call.yes) {
    report.exit_code = not_all_done(PreviewExitCode(Count(entries), denied, call));
    return WriteSelected(state, out);
  }
  if (denied && !call.skip_denied) {
    for (CliEntry& entry : entries) {
      if (entry.action != Action::kWouldRecycle) continue;
      entry.action = Action::kHeld;
      entry.reason =
          u"nothing was recycled: some selected entries may not be removed by this account";
    }
    report.exit_code = kExitDenied;
    return WriteSelected(state, out);
  }
  for (CliEntry& entry : entries) {
    if (!entry.selected) continue;
    if (entry.action == Action::kWouldRecycle && !report.stopped_by.empty()) {
      entry.action = Action::kRefused;
      entry.reason = u"not attempted: an internal error stopped the pass.";
    } else if (entry.action == Action::kWouldRecycle) {
      try {
        RecycleOne(state.scan, entry, services);
      } catch (const Failure& failure) {
        // A fault of the program stops the pass here; what was moved before
        // stays reported.
        report.stopped_by = failure.description();
        state.place = PlaceOf(failure);
        entry.action = Action::kFailed;
        entry.reason = u"the pass stopped here: " + report.stopped_by;
      }
    }
    out.Write(RenderEntry(report, entry));
  }
  report.exit_code = report.stopped_by.empty() ? not_all_done(RecycleExitCode(Count(entries), call))
                                               : kExitInternalError;
}

}  // namespace

Outcome RunCommandLine(const std::vector<Text>& arguments, CliServices& services) {
  Outcome outcome;
  Output out(services, outcome);
  RunState state;
  Report& report = state.report;
  report.elevated = services.elevated;
  report.running_as_system = services.running_as_system;
  try {
    report.format = FormatAskedFor(arguments);
    state.call = ParseCall(arguments, services.running_as_system);
    report.call = &state.call;
    report.format = state.call.format;
    switch (state.call.command) {
      case Command::kHelp:
        out.Write(HelpText());
        return outcome;
      case Command::kVersion:
        out.Write(VersionLine());
        return outcome;
      case Command::kList:
      case Command::kRecycle:
        break;
    }
    RunOnEntries(state, services, out);
  } catch (const WrongCall& wrong) {
    report.exit_code = kExitWrongCall;
    try {
      report.error = wrong.description();
      outcome.error = ErrorLine(wrong.description() + kSeeHelp);
    } catch (...) {
    }
  } catch (...) {
    report.exit_code = kExitInternalError;
    try {
      report.stopped_by = DescribeCaughtException();
      try {
        throw;
      } catch (const Failure& failure) {
        state.place = PlaceOf(failure);
      } catch (...) {
      }
    } catch (...) {
      // Should even its words not fit in memory, the exit code alone still tells.
    }
  }
  outcome.exit_code = report.exit_code;
  try {
    if (!report.stopped_by.empty()) {
      outcome.error = InternalErrorLine(report.stopped_by +
                                        (state.place.empty() ? u"" : u" [" + state.place + u"]"));
    }
    out.Write(RenderEnding(report));
  } catch (...) {
  }
  return outcome;
}

}  // namespace ostrevane::console
