#include "console_rules/call.h"

#include <algorithm>
#include <array>

#include "console_rules/escaping.h"

namespace ostrevane::console {
namespace {

enum class Option {
  kRoot,
  kAll,
  kContains,
  kNotContains,
  kName,
  kBroken,
  kEmpty,
  kKind,
  kFormat,
  kYes,
  kDryRun,
  kSkipDenied,
  kAllowAbsent,
  kIncludeSystem,
  kSkipRefused,
};

struct OptionSpec {
  TextView name;
  Option option;
  bool takes_value;
};

constexpr std::array<OptionSpec, 15> kOptions{{
    {u"--root", Option::kRoot, true},
    {u"--all", Option::kAll, false},
    {u"--contains", Option::kContains, true},
    {u"--not-contains", Option::kNotContains, true},
    {u"--name", Option::kName, true},
    {u"--broken", Option::kBroken, false},
    {u"--empty", Option::kEmpty, false},
    {u"--kind", Option::kKind, true},
    {u"--format", Option::kFormat, true},
    {u"--yes", Option::kYes, false},
    {u"--dry-run", Option::kDryRun, false},
    {u"--skip-denied", Option::kSkipDenied, false},
    {u"--allow-absent", Option::kAllowAbsent, false},
    {u"--include-system", Option::kIncludeSystem, false},
    {u"--skip-refused", Option::kSkipRefused, false},
}};

bool IsHelpWord(const Text& word) {
  const Text lowered = Lower(word);
  return lowered == u"/?" || lowered == u"-?" || lowered == u"-h" || lowered == u"--help";
}

Text Quoted(TextView text) { return u"\"" + OneLine(text) + u"\""; }

[[noreturn]] void Wrong(Text what_is_wrong) { throw WrongCall(std::move(what_is_wrong)); }

Command ReadCommand(const Text& word) {
  const Text lowered = Lower(word);
  if (lowered == u"list") return Command::kList;
  if (lowered == u"recycle") return Command::kRecycle;
  if (lowered == u"help" || IsHelpWord(word)) return Command::kHelp;
  if (lowered == u"version") return Command::kVersion;
  if (word.starts_with(u"-")) {
    Wrong(u"the first word must be a command (list, recycle, help or version), not the option " +
          Quoted(word));
  }
  Wrong(u"unknown command " + Quoted(word) + u" (the commands are list, recycle, help, version)");
}

// One of a closed set of words, the option's values.
template <typename Value, std::size_t kCount>
Value ReadChoice(TextView option, const Text& word,
                 const std::array<std::pair<TextView, Value>, kCount>& choices) {
  const Text lowered = Lower(word);
  for (const auto& [name, value] : choices) {
    if (lowered == name) return value;
  }
  Text allowed;
  for (std::size_t i = 0; i < kCount; ++i) {
    allowed += (i == 0 ? u"" : i + 1 == kCount ? u" or " : u", ") + Text(choices[i].first);
  }
  Wrong(u"bad value " + Quoted(word) + u" for " + Text(option) + u": use " + allowed);
}

void Apply(Call& call, Option option, TextView name, Text value) {
  Selectors& selectors = call.selectors;
  switch (option) {
    case Option::kRoot:
      call.scope = ReadChoice<Scope, 5>(name, value,
                                        {{{u"user", Scope::kUser},
                                          {u"all-users", Scope::kAllUsers},
                                          {u"both", Scope::kBoth},
                                          {u"profiles", Scope::kProfiles},
                                          {u"machine", Scope::kMachine}}});
      return;
    case Option::kAll:
      selectors.all = true;
      return;
    case Option::kContains:
      selectors.contains = std::move(value);
      return;
    case Option::kNotContains:
      selectors.not_contains = std::move(value);
      return;
    case Option::kName:
      selectors.names.push_back(std::move(value));
      return;
    case Option::kBroken:
      selectors.broken = true;
      return;
    case Option::kEmpty:
      selectors.empty = true;
      return;
    case Option::kKind:
      selectors.kind = ReadChoice<EntryKind, 2>(
          name, value, {{{u"shortcut", EntryKind::kShortcut}, {u"folder", EntryKind::kFolder}}});
      return;
    case Option::kFormat:
      call.format = ReadChoice<Format, 3>(
          name, value,
          {{{u"text", Format::kText}, {u"tsv", Format::kTsv}, {u"json", Format::kJson}}});
      return;
    case Option::kYes:
      call.yes = true;
      return;
    case Option::kDryRun:
      call.dry_run = true;
      return;
    case Option::kSkipDenied:
      call.skip_denied = true;
      return;
    case Option::kAllowAbsent:
      call.allow_absent = true;
      return;
    case Option::kIncludeSystem:
      selectors.include_system = true;
      return;
    case Option::kSkipRefused:
      call.skip_refused = true;
      return;
  }
}

void CheckCombination(const Call& call, bool running_as_system) {
  if (call.yes && call.dry_run) Wrong(u"--yes and --dry-run contradict each other");
  if (call.command == Command::kList) {
    for (const auto& [given, name] :
         {std::pair{call.yes, u"--yes"}, std::pair{call.dry_run, u"--dry-run"},
          std::pair{call.skip_denied, u"--skip-denied"},
          std::pair{call.skip_refused, u"--skip-refused"}}) {
      if (given) Wrong(Text(name) + u" goes with recycle, not with list");
    }
  }
  if (call.command == Command::kRecycle && !call.selectors.Any()) {
    Wrong(
        u"recycle needs a selector (--all, --contains, --not-contains, --name, --broken, "
        u"--empty or --kind)");
  }
  if (running_as_system && (call.scope == Scope::kUser || call.scope == Scope::kBoth)) {
    Wrong(
        u"running as the system account, \"current user\" is the system account's own "
        u"profile, not a person's: use --root all-users, profiles or machine");
  }
}

}  // namespace

Format FormatAskedFor(const std::vector<Text>& arguments) {
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const Text word = Lower(arguments[i]);
    Text value;
    if (word.starts_with(u"--format=")) {
      value = word.substr(9);
    } else if (word == u"--format" && i + 1 < arguments.size()) {
      value = Lower(arguments[i + 1]);
    }
    if (value == u"json") return Format::kJson;
    if (value == u"tsv") return Format::kTsv;
  }
  return Format::kText;
}

Call ParseCall(const std::vector<Text>& arguments, bool running_as_system) {
  if (arguments.empty()) Wrong(u"no command given");
  Call call;
  call.command = ReadCommand(arguments[0]);
  if (call.command == Command::kHelp || call.command == Command::kVersion) {
    if (arguments.size() > 1) {
      Wrong(Quoted(arguments[0]) + u" takes nothing after it, but was given " +
            Quoted(arguments[1]));
    }
    return call;
  }

  std::vector<Option> seen;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const Text& word = arguments[i];
    if (IsHelpWord(word)) return Call{};
    if (!word.starts_with(u"--")) {
      Wrong(u"unexpected word " + Quoted(word) +
            (word.starts_with(u"/") ? u" (options are written --name, not /name)" : u""));
    }
    const std::size_t equals = word.find(u'=');
    const Text name = Lower(TextView(word).substr(0, equals));
    const auto known = std::find_if(kOptions.begin(), kOptions.end(),
                                    [&](const OptionSpec& s) { return s.name == name; });
    if (known == kOptions.end()) Wrong(u"unknown option " + Quoted(name));

    Text value;
    if (!known->takes_value) {
      if (equals != Text::npos) Wrong(Text(name) + u" takes no value");
    } else if (equals != Text::npos) {
      value = word.substr(equals + 1);
    } else if (i + 1 < arguments.size() && !arguments[i + 1].starts_with(u"--")) {
      // A next word that looks like an option is not taken as a value, so a
      // forgotten value cannot swallow --yes; such a value needs --option=VALUE.
      value = arguments[++i];
    } else {
      Wrong(Text(name) + u" needs a value");
    }
    if (known->takes_value && value.empty())
      Wrong(Text(name) + u" needs a value that is not empty");

    if (known->option != Option::kName &&
        std::find(seen.begin(), seen.end(), known->option) != seen.end()) {
      Wrong(Text(name) + u" is given twice");
    }
    seen.push_back(known->option);
    Apply(call, known->option, name, std::move(value));
  }
  CheckCombination(call, running_as_system);
  if (call.skip_refused) call.skip_denied = true;
  return call;
}

}  // namespace ostrevane::console
