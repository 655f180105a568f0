#include "cli/run.h"

#include <new>

#include "catalogue/start_menu.h"
#include "cli/call.h"
#include "cli/entries.h"
#include "cli/escaping.h"
#include "cli/report.h"
#include "cli/usage.h"

namespace ostrevane::cli {
namespace {

constexpr char16_t kSeeHelp[] = u" (see \"ostrevane help\")";

Text ErrorLine(TextView what) { return u"ostrevane: " + OneLine(what) + u"\r\n"; }
Text InternalErrorLine(TextView description) {
  return ErrorLine(u"internal error: " + Text(description));
}

TextView FolderWords(Root root) {
  return root == Root::kCurrentUser ? u"the current user's Programs folder"
                                    : u"the all users' Programs folder";
}

// Every --name must name an entry in scope (unless --allow-absent), and none
// may name one of Windows' own folders unless --include-system.
void CheckNames(const Call& call, std::vector<CliEntry>& entries, Judge& judge) {
  for (const Text& name : call.selectors.names) {
    const Text lowered = Lower(name);
    bool found = false;
    for (CliEntry& entry : entries) {
      if (Lower(OwnName(entry)) != lowered) continue;
      found = true;
      judge.Walk(entry);
      if (!entry.system || call.selectors.include_system) continue;
      throw WrongCall(u"\"" + OneLine(entry.name) + u"\" in " + Text(FolderWords(entry.root)) +
                      u" is Windows' own folder (" + entry.system_why +
                      u"); add --include-system to select it");
    }
    if (found || call.allow_absent) continue;
    const TextView where = call.scope == Scope::kUser       ? FolderWords(Root::kCurrentUser)
                           : call.scope == Scope::kAllUsers ? FolderWords(Root::kAllUsers)
                                                            : u"either Programs folder";
    throw WrongCall(u"no entry is named \"" + OneLine(name) + u"\" in " + Text(where) +
                    u"; add --allow-absent if that is expected");
  }
}

// Asks, without touching anything, what stands against recycling each
// selected entry; true when this account may not remove some of them.
bool InspectSelected(std::vector<CliEntry>& entries, CliServices& services) {
  bool denied = false;
  for (CliEntry& entry : entries) {
    if (!entry.selected) continue;
    const std::optional<NotMoved> not_moved =
        RecycleEntry(entry.key, services.folders, services.recycler, Recycling::kInspectOnly);
    if (!not_moved) {
      entry.action = Action::kWouldRecycle;
      continue;
    }
    entry.action = Action::kRefused;
    entry.reason = DescribeNotMoved(*not_moved);
    entry.denied = not_moved->why == NotMoved::Why::kMayNotRemove;
    denied = denied || entry.denied;
  }
  return denied;
}

// Recycles each entry the inspection passed, one by one. A fault of the
// program stops the pass there; the entries moved before it stay reported,
// and the fault's description is returned.
Text RecycleInspected(std::vector<CliEntry>& entries, CliServices& services) {
  Text stopped_by;
  for (CliEntry& entry : entries) {
    if (entry.action != Action::kWouldRecycle) continue;
    if (!stopped_by.empty()) {
      entry.action = Action::kRefused;
      entry.reason = u"not attempted: an internal error stopped the pass.";
      continue;
    }
    try {
      const std::optional<NotMoved> not_moved =
          RecycleEntry(entry.key, services.folders, services.recycler, Recycling::kMove);
      if (!not_moved) {
        entry.action = Action::kRecycled;
        continue;
      }
      entry.action = ShellWasAsked(not_moved->why) ? Action::kFailed : Action::kRefused;
      entry.reason = DescribeNotMoved(*not_moved);
      entry.denied = not_moved->why == NotMoved::Why::kMayNotRemove;
    } catch (const Failure& failure) {
      stopped_by = failure.description();
      entry.action = Action::kFailed;
      entry.reason = u"the pass stopped here: " + stopped_by;
    }
  }
  return stopped_by;
}

int PreviewExitCode(const Counts& counts, bool skip_denied) {
  if (counts.denied > 0 && !skip_denied) return kExitDenied;
  if (counts.would_recycle > 0) return kExitWouldRecycle;
  if (counts.refused > 0) return kExitNotAllRecycled;
  return kExitDone;
}

Outcome RunOnEntries(const Call& call, CliServices& services) {
  Scan scan = ScanEntries(services.folders, call.scope);
  Judge judge(services.folders, services.files, services.probe, scan);
  CheckNames(call, scan.entries, judge);
  Select(scan.entries, call.selectors, judge);
  // Every status shown is read now, before any shortcut file goes.
  const bool shows_all = call.format == Format::kJson;
  for (CliEntry& entry : scan.entries) {
    if (!shows_all && !entry.selected) continue;
    judge.Walk(entry);
    judge.Status(entry);
  }

  Report report{call, scan, services.elevated, services.running_as_system, kExitDone, {}};
  if (call.command == Command::kRecycle) {
    const bool denied = InspectSelected(scan.entries, services);
    if (!call.yes) {
      report.exit_code = PreviewExitCode(Count(scan.entries), call.skip_denied);
    } else if (denied && !call.skip_denied) {
      report.exit_code = kExitDenied;
    } else {
      report.stopped_by = RecycleInspected(scan.entries, services);
      const Counts counts = Count(scan.entries);
      report.exit_code = !report.stopped_by.empty()           ? kExitInternalError
                         : counts.refused + counts.failed > 0 ? kExitNotAllRecycled
                                                              : kExitDone;
    }
  }
  Outcome outcome{report.exit_code, RenderReport(report), {}};
  if (!report.stopped_by.empty()) outcome.error = InternalErrorLine(report.stopped_by);
  return outcome;
}

Outcome Run(const std::vector<Text>& arguments, CliServices& services) {
  const Call call = ParseCall(arguments, services.running_as_system);
  switch (call.command) {
    case Command::kHelp:
      return {kExitDone, HelpText(), {}};
    case Command::kVersion:
      return {kExitDone, VersionLine(), {}};
    case Command::kList:
    case Command::kRecycle:
      break;
  }
  return RunOnEntries(call, services);
}

// The outcome of a fault. Should even its words not fit in memory, the exit
// code alone still tells.
Outcome InternalError(TextView description) noexcept {
  try {
    return {kExitInternalError, {}, InternalErrorLine(description)};
  } catch (...) {
    return {kExitInternalError, {}, {}};
  }
}

Outcome InternalError(const std::exception& fault) noexcept {
  try {
    return InternalError(FromUtf8(fault.what()));
  } catch (...) {
    return {kExitInternalError, {}, {}};
  }
}

}  // namespace

Outcome RunCommandLine(const std::vector<Text>& arguments, CliServices& services) {
  try {
    return Run(arguments, services);
  } catch (const WrongCall& wrong) {
    try {
      return {kExitWrongCall, {}, ErrorLine(wrong.what_is_wrong() + kSeeHelp)};
    } catch (...) {
      return {kExitWrongCall, {}, {}};
    }
  } catch (const Failure& failure) {
    return InternalError(failure.description());
  } catch (const std::bad_alloc&) {
    return InternalError(failure_text::kOutOfMemory);
  } catch (const std::exception& fault) {
    return InternalError(fault);
  } catch (...) {
    return InternalError(u"an unexpected fault");
  }
}

}  // namespace ostrevane::cli
