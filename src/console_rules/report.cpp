#include "console_rules/report.h"

#include "console_rules/escaping.h"
#include "console_rules/run.h"
#include "console_rules/usage.h"

namespace ostrevane::console {
namespace {

constexpr char16_t kEndOfLine[] = u"\r\n";
// The JSON document's layout; raised only when a key changes meaning or goes.
constexpr int kJsonSchemaVersion = 2;

// The root column of text and TSV: a profile by its user's name.
TextView RootColumn(const ScanRoot& root) {
  return root.profile ? TextView(root.profile->name) : RootName(root);
}
TextView KindName(EntryKind kind) { return kind == EntryKind::kFolder ? u"folder" : u"shortcut"; }
TextView CommandName(Command command) { return command == Command::kList ? u"list" : u"recycle"; }

Text Number(std::size_t n) { return DecimalText(static_cast<long long>(n)); }

// What a row's columns say: empty when there is nothing to say.
struct Columns {
  TextView status, target, reason;
};

Columns ColumnsOf(const CliEntry& entry) {
  Columns columns{{}, entry.target, entry.status_reason};
  if (entry.status) columns.status = StatusName(*entry.status);
  if (!entry.reason.empty()) columns.reason = entry.reason;
  return columns;
}

// The kind as the text output shows it, where Windows' own folders stand out.
TextView KindWords(const CliEntry& entry) {
  return entry.system ? u"system folder" : KindName(entry.kind);
}

Text Padded(TextView text, std::size_t width) {
  Text out(text);
  if (out.size() < width) out.append(width - out.size(), u' ');
  return out;
}

Text Dash(TextView text) { return text.empty() ? Text(u"-") : OneLine(text); }

Text Counted(std::size_t n, TextView one, TextView many) {
  return Number(n) + u" " + Text(n == 1 ? one : many);
}

Text SummaryLine(const Report& report) {
  const Counts counts = report.scan ? Count(report.scan->entries) : Counts{};
  Text line = u"Summary: ";
  const Call* call = report.call;
  if (!report.error.empty()) {
    line += u"a wrong call, nothing was done: " + OneLine(report.error) + u".";
  } else if (!report.scan) {
    line += u"nothing was done: an internal error stopped the run: " + OneLine(report.stopped_by) +
            u".";
  } else {
    line += Counted(counts.entries, u"entry", u"entries") + u", " + Number(counts.selected) +
            u" selected";
    if (call->command == Command::kRecycle) {
      // With --yes, entries are left to recycle only when the denied ones
      // stopped the pass, and then they are held.
      if (!call->yes) line += u", " + Number(counts.would_recycle) + u" would be recycled";
      if (call->yes) {
        line +=
            u", " + Number(counts.recycled) + u" recycled, " + Number(counts.failed) + u" failed";
      }
      line += u", " + Number(counts.refused) + u" refused, " + Number(counts.gone) + u" gone";
      if (counts.held > 0) line += u", " + Number(counts.held) + u" held";
    }
    line += u".";
    if (!report.stopped_by.empty()) {
      line += u" Stopped by an internal error: " + OneLine(report.stopped_by);
    } else if (report.exit_code == kExitDenied) {
      // Denied entries, or a profile's folder this account may not read.
      line += u" " +
              (counts.denied > 0 ? Counted(counts.denied, u"entry", u"entries") +
                                       u" may not be removed by this account"
                                 : Text(u"A folder in scope may not be read by this account")) +
              u", so nothing was recycled: start ostrevane as administrator, or add --skip-denied "
              u"(or --skip-refused) to recycle the others.";
    } else if (call->command == Command::kRecycle && !call->yes && counts.would_recycle > 0) {
      line += u" Nothing was recycled: add --yes to recycle.";
    }
  }
  return line + u" Exit code " + DecimalText(report.exit_code) + u"." + kEndOfLine;
}

Text TextLine(const ScanRoot& root, const CliEntry& entry) {
  const Columns columns = ColumnsOf(entry);
  return Padded(OneLine(RootColumn(root)), 9) + u" | " + Padded(KindWords(entry), 13) + u" | " +
         Dash(entry.display_name) + u" | " + Dash(columns.status) + u" | " + Dash(columns.target) +
         u" | " + Text(ActionName(entry.action)) + u" | " + Dash(columns.reason) + kEndOfLine;
}

Text TsvLine(const ScanRoot& root, const CliEntry& entry) {
  const Columns columns = ColumnsOf(entry);
  Text out;
  for (TextView field : {RootColumn(root), KindName(entry.kind), TextView(entry.display_name),
                         columns.status, columns.target}) {
    out += TsvField(field) + u"\t";
  }
  return out + Text(ActionName(entry.action)) + u"\t" + TsvField(columns.reason) + u"\t" +
         (entry.system ? u"yes" : u"no") + kEndOfLine;
}

Text JsonBool(bool value) { return value ? u"true" : u"false"; }
// A string, or null when there is none.
Text JsonText(TextView text) { return text.empty() ? Text(u"null") : JsonString(text); }

Text JsonProfile(const std::optional<UserProfile>& profile) {
  if (!profile) return u"null";
  return u"{\"sid\": " + JsonString(profile->sid) + u", \"account\": " +
         (profile->account ? JsonString(*profile->account) : Text(u"null")) + u", \"name\": " +
         JsonString(profile->name) + u"}";
}

Text JsonEntry(const ScanRoot& root, const CliEntry& entry) {
  return u"{\"root\": " + JsonString(RootName(root)) + u", \"profile\": " +
         JsonProfile(root.profile) + u", \"kind\": " + JsonString(KindName(entry.kind)) +
         u", \"system\": " + JsonBool(entry.system) + u", \"name\": " + JsonString(entry.name) +
         u", \"display_name\": " + JsonString(entry.display_name) + u", \"path\": " +
         JsonString(entry.path) + u", \"target\": " + JsonText(entry.target) + u", \"status\": " +
         (entry.status ? JsonString(StatusName(*entry.status)) : u"null") +
         u", \"status_reason\": " + JsonText(entry.status_reason) + u", \"selected\": " +
         JsonBool(entry.selected) + u", \"action\": " + JsonString(ActionName(entry.action)) +
         u", \"reason\": " + JsonText(entry.reason) + u"}";
}

Text RenderJson(const Report& report) {
  const Counts counts = report.scan ? Count(report.scan->entries) : Counts{};
  const Call* call = report.call;
  Text out = u"{";
  const auto line = [&](const Text& text) { out += kEndOfLine + (u"  " + text); };
  line(u"\"schema_version\": " + DecimalText(kJsonSchemaVersion) + u",");
  line(u"\"tool_version\": " + JsonString(kVersionText) + u",");
  line(u"\"command\": " + (call ? JsonString(CommandName(call->command)) : Text(u"null")) + u",");
  line(u"\"preview\": " + JsonBool(call && call->command == Command::kRecycle && !call->yes) +
       u",");
  line(u"\"elevated\": " + JsonBool(report.elevated) + u",");
  line(u"\"running_as_system\": " + JsonBool(report.running_as_system) + u",");
  if (report.scan) {
    line(u"\"roots\": [");
    const std::vector<ScanRoot>& roots = report.scan->roots;
    for (std::size_t i = 0; i < roots.size(); ++i) {
      const ScanRoot& root = roots[i];
      out += kEndOfLine + (u"    {\"root\": " + JsonString(RootName(root)) + u", \"path\": " +
                           JsonString(root.path) + u", \"in_scope\": " + JsonBool(root.in_scope) +
                           u", \"exists\": " + JsonBool(root.exists) + u", \"reason\": " +
                           JsonText(root.reason) + u", \"profile\": " + JsonProfile(root.profile) +
                           u"}" + (i + 1 < roots.size() ? u"," : u""));
    }
    line(u"],");
    line(u"\"entries\": [");
    const std::vector<CliEntry>& entries = report.scan->entries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      out += kEndOfLine + (u"    " + JsonEntry(report.scan->roots[entries[i].root], entries[i])) +
             (i + 1 < entries.size() ? u"," : u"");
    }
    line(u"],");
  } else {
    line(u"\"roots\": [],");
    line(u"\"entries\": [],");
  }
  line(u"\"summary\": {\"entries\": " + Number(counts.entries) + u", \"selected\": " +
       Number(counts.selected) + u", \"would_recycle\": " + Number(counts.would_recycle) +
       u", \"recycled\": " + Number(counts.recycled) + u", \"failed\": " + Number(counts.failed) +
       u", \"refused\": " + Number(counts.refused) + u", \"gone\": " + Number(counts.gone) +
       u", \"held\": " + Number(counts.held) + u", \"denied\": " + Number(counts.denied) + u"},");
  line(u"\"error\": " + JsonText(report.error) + u",");
  line(u"\"internal_error\": " + JsonText(report.stopped_by) + u",");
  line(u"\"exit_code\": " + DecimalText(report.exit_code));
  out += kEndOfLine;
  out += u"}";
  out += kEndOfLine;
  return out;
}

// Each action's name and the count of the summary it adds to, in the
// order of Action.
struct ActionFacts {
  TextView name;
  std::size_t Counts::*count;
};
constexpr ActionFacts kActions[] = {
    {u"none", nullptr},
    {u"would-recycle", &Counts::would_recycle},
    {u"recycled", &Counts::recycled},
    {u"failed", &Counts::failed},
    {u"refused", &Counts::refused},
    {u"gone", &Counts::gone},
    {u"held", &Counts::held},
};

}  // namespace

Counts Count(const std::vector<CliEntry>& entries) {
  Counts counts;
  counts.entries = entries.size();
  for (const CliEntry& entry : entries) {
    if (entry.selected) ++counts.selected;
    if (entry.denied) ++counts.denied;
    if (const auto count = kActions[static_cast<int>(entry.action)].count) ++(counts.*count);
  }
  return counts;
}

TextView ActionName(Action action) { return kActions[static_cast<int>(action)].name; }

Text RenderHeader(const Report& report) {
  if (report.format != Format::kTsv) return {};
  return Text(u"root\tkind\tname\tstatus\ttarget\taction\treason\tsystem") + kEndOfLine;
}

Text RenderRootNotWalked(const Report& report, const ScanRoot& root) {
  if (report.format != Format::kText || !root.in_scope || root.exists) return {};
  return u"Not walked: " + OneLine(RootColumn(root)) + u" (" + Dash(root.path) + u"): " +
         OneLine(root.reason) + kEndOfLine;
}

Text RenderEntry(const Report& report, const CliEntry& entry) {
  switch (report.format) {
    case Format::kTsv:
      return TsvLine(report.scan->roots[entry.root], entry);
    case Format::kText:
      return TextLine(report.scan->roots[entry.root], entry);
    case Format::kJson:
      break;
  }
  return {};
}

Text RenderEnding(const Report& report) {
  switch (report.format) {
    case Format::kJson:
      return RenderJson(report);
    case Format::kText:
      return SummaryLine(report);
    case Format::kTsv:
      break;
  }
  return {};
}

}  // namespace ostrevane::console
