#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "catalogue/start_menu.h"
#include "console_rules/escaping.h"
#include "console_rules/run.h"
#include "support/fakes.h"
#include "support/shortcut_bytes.h"
#include "version.h"

namespace ostrevane::console {
namespace {

using testing::FakeFolderService;
using testing::FakeTargetProbe;
using Listing = FakeFolderService::Listing;

constexpr char16_t kUser[] = u"C:\\Users\\me\\Start Menu\\Programs";
constexpr char16_t kAll[] = u"C:\\ProgramData\\Start Menu\\Programs";

Text In(const Text& folder, const Text& name) { return folder + u"\\" + name; }

class FakeRecycler : public Recycler {
 public:
  std::map<Text, NotMoved> refuse;        // refused before the shell is asked
  std::map<Text, NotMoved> shell_refuse;  // the shell is asked and the entry stays
  std::set<Text> fault;                   // recycling it throws
  std::set<Text> gone;                    // no longer there
  // Taken by another run while the shell was at it: the shell says this,
  // and the entry is gone afterwards.
  std::map<Text, NotMoved> taken_meanwhile;
  std::vector<Text> inspected, recycled;

  std::optional<NotMoved> Inspect(const Text& path) override {
    inspected.push_back(path);
    if (gone.contains(path)) return NotMoved{NotMoved::Why::kGone, {}};
    if (auto it = refuse.find(path); it != refuse.end()) return it->second;
    return std::nullopt;
  }
  std::optional<NotMoved> Recycle(const Text& path) override {
    if (fault.contains(path)) throw Failure(u"The shell went away");
    if (gone.contains(path)) return NotMoved{NotMoved::Why::kGone, {}};
    if (auto it = taken_meanwhile.find(path); it != taken_meanwhile.end()) {
      gone.insert(path);
      return it->second;
    }
    if (auto it = refuse.find(path); it != refuse.end()) return it->second;
    if (auto it = shell_refuse.find(path); it != shell_refuse.end()) return it->second;
    recycled.push_back(path);
    return std::nullopt;
  }
};

class FakeFileReader : public FileReader {
 public:
  std::map<Text, testing::Bytes> files;
  std::vector<std::uint8_t> ReadStart(const Text& path, std::size_t limit) override {
    const auto it = files.find(path);
    if (it == files.end()) throw Failure(u"Access is denied.");
    return {it->second.begin(), it->second.begin() + std::min(limit, it->second.size())};
  }
};

std::vector<Text> Lines(const Text& output) {
  std::vector<Text> lines;
  for (std::size_t at = 0; at < output.size();) {
    const std::size_t end = output.find(u"\r\n", at);
    EXPECT_NE(end, Text::npos) << "a line without \\r\\n: " << ToUtf8(output.substr(at));
    if (end == Text::npos) break;
    lines.push_back(output.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

std::vector<Text> Split(const Text& line, char16_t separator) {
  std::vector<Text> fields(1);
  for (char16_t unit : line) {
    if (unit == separator) {
      fields.emplace_back();
    } else {
      fields.back() += unit;
    }
  }
  return fields;
}

Text TsvUnescaped(const Text& field) {
  Text out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != u'\\') {
      out += field[i];
      continue;
    }
    const char16_t next = field.at(++i);
    out += next == u't' ? u'\t' : next == u'n' ? u'\n' : next == u'r' ? u'\r' : next;
  }
  return out;
}

// Every string value of `key` in a JSON document, decoded as RFC 8259 says.
std::vector<Text> JsonValues(const Text& json, const Text& key) {
  std::vector<Text> values;
  const Text opening = u"\"" + key + u"\": \"";
  for (std::size_t at = json.find(opening); at != Text::npos; at = json.find(opening, at)) {
    Text value;
    for (at += opening.size(); json.at(at) != u'"'; ++at) {
      if (json[at] != u'\\') {
        value += json[at];
        continue;
      }
      const char16_t escape = json.at(++at);
      if (escape == u'u') {
        value += static_cast<char16_t>(std::stoi(ToUtf8(json.substr(at + 1, 4)), nullptr, 16));
        at += 4;
      } else {
        const std::map<char16_t, char16_t> simple{{u'n', u'\n'},  {u'r', u'\r'}, {u't', u'\t'},
                                                  {u'b', u'\b'},  {u'f', u'\f'}, {u'"', u'"'},
                                                  {u'\\', u'\\'}, {u'/', u'/'}};
        value += simple.at(escape);
      }
    }
    values.push_back(value);
  }
  return values;
}

// Two Programs folders: namesakes, broken and sound shortcuts, an unreadable
// one, and folders empty or not in each way that matters to --empty.
class CliTest : public ::testing::Test {
 protected:
  CliTest() {
    folders.SetRootListing(kCsidlPrograms, kUser,
                           {{u"Tools", u"Empty", u"Locked", u"Deep32", u"Deep33"},
                            {u"Game.lnk", u"Editor.lnk", u"Unreadable.lnk", u"notes.txt"}});
    folders.SetRootListing(kCsidlCommonPrograms, kAll, {{u"Office"}, {u"GAME.lnk", u"Old.lnk"}});
    folders.At(In(kUser, u"Tools")) = {{}, {u"tool.exe"}};
    folders.At(In(kUser, u"Empty")) = {{u"Inner"}, {u"Desktop.INI"}};
    folders.At(In(In(kUser, u"Empty"), u"Inner")) = {{}, {u"desktop.ini"}};
    folders.At(In(kUser, u"Locked")) = {{u"Sealed"}, {}};
    folders.fail_open[In(In(kUser, u"Locked"), u"Sealed")] = u"Access is denied.";
    for (const char16_t* deep : {u"Deep32", u"Deep33"}) {
      Text path = In(kUser, deep);
      const int levels = deep == Text(u"Deep32") ? 32 : 33;
      for (int level = 0; level < levels; ++level) {
        folders.At(path) = {{u"d"}, {}};
        path = In(path, u"d");
      }
      folders.At(path) = {};
    }
    folders.At(In(kAll, u"Office")) = {};
    Shortcut(In(kUser, u"Game.lnk"), u"C:\\Games\\game.exe");
    Shortcut(In(kUser, u"Editor.lnk"), u"C:\\Editor\\editor.exe");
    Shortcut(In(kAll, u"GAME.lnk"), u"C:\\Editor\\editor.exe");
    Shortcut(In(kAll, u"Old.lnk"), u"C:\\Old\\old.exe");
    probe.answers[u"C:\\"] = {TargetProbe::Presence::kPresent, {}};
    probe.answers[u"C:\\Editor\\editor.exe"] = {TargetProbe::Presence::kPresent, {}};
  }

  void Shortcut(const Text& path, const Text& target) {
    files.files[path] =
        testing::ShortcutBytes({.link_info = testing::LinkInfoContents{.local_base_path = target}});
  }

  Outcome Run(std::vector<Text> arguments) {
    CliServices services{folders, profiles, recycler, probe, files, false, system};
    Outcome outcome = RunCommandLine(arguments, services);
    Lines(outcome.output);  // every line ends with "\r\n"
    return outcome;
  }

  // The rows of a TSV output as "root name action", each field unescaped.
  std::vector<Text> Rows(std::vector<Text> arguments) {
    arguments.push_back(u"--format=tsv");
    const Outcome outcome = Run(arguments);
    last_exit_code = outcome.exit_code;
    EXPECT_EQ(outcome.error, u"");
    std::vector<Text> rows;
    for (const Text& line : Lines(outcome.output)) {
      const std::vector<Text> fields = Split(line, u'\t');
      EXPECT_EQ(fields.size(), 8u) << ToUtf8(line);
      rows.push_back(fields[0] + u" " + TsvUnescaped(fields[2]) + u" " + fields[5]);
    }
    EXPECT_EQ(rows.at(0), u"root name action");
    rows.erase(rows.begin());
    return rows;
  }

  FakeFolderService folders;
  testing::FakeProfileSource profiles;
  FakeRecycler recycler;
  FakeTargetProbe probe;
  FakeFileReader files;
  bool system = false;
  int last_exit_code = -1;
};

TEST_F(CliTest, CallsGiveTheirExitCodeAndOneErrorLine) {
  struct Case {
    std::vector<Text> arguments;
    int exit_code;
    const char16_t* error;  // a part of the error line; none for a good call
    bool system = false;
  };
  const Case cases[] = {
      {{}, 2, u"no command given"},
      {{u"remove", u"--all"}, 2, u"unknown command \"remove\""},
      {{u"--all"}, 2, u"must be a command"},
      {{u"list", u"--every"}, 2, u"unknown option \"--every\""},
      {{u"list", u"-y"}, 2, u"unexpected word \"-y\""},
      {{u"list", u"Game"}, 2, u"unexpected word \"Game\""},
      {{u"list", u"--contains"}, 2, u"--contains needs a value"},
      {{u"list", u"--contains", u"--yes"}, 2, u"--contains needs a value"},
      {{u"list", u"--contains", u""}, 2, u"not empty"},
      {{u"list", u"--name="}, 2, u"not empty"},
      {{u"list", u"--all=yes"}, 2, u"--all takes no value"},
      {{u"list", u"--all", u"--all"}, 2, u"--all is given twice"},
      {{u"list", u"--root", u"user", u"--root=user"}, 2, u"--root is given twice"},
      {{u"list", u"--root", u"me"}, 2, u"bad value \"me\" for --root"},
      {{u"list", u"--kind", u"file"}, 2, u"bad value \"file\" for --kind"},
      {{u"list", u"--format", u"xml"}, 2, u"bad value \"xml\" for --format"},
      {{u"list", u"--contains", u"a\nb", u"--kind", u"a\rb"}, 2, u"\"a\\rb\""},
      {{u"recycle", u"--all", u"--yes", u"--dry-run"}, 2, u"contradict"},
      {{u"list", u"--yes"}, 2, u"--yes goes with recycle"},
      {{u"list", u"--dry-run"}, 2, u"--dry-run goes with recycle"},
      {{u"list", u"--skip-denied"}, 2, u"--skip-denied goes with recycle"},
      {{u"help", u"--all"}, 2, u"takes nothing after it"},
      {{u"version", u"--format=json"}, 2, u"takes nothing after it"},
      {{u"recycle"}, 2, u"recycle needs a selector"},
      {{u"recycle", u"--root", u"user", u"--yes"}, 2, u"recycle needs a selector"},
      {{u"list", u"--name", u"Nothing"}, 2, u"no entry is named \"Nothing\""},
      {{u"recycle", u"--name", u"Office", u"--root", u"user"}, 2, u"no entry is named"},
      {{u"list"}, 2, u"use --root all-users", true},
      {{u"recycle", u"--root", u"user", u"--all"}, 2, u"use --root all-users", true},
      {{u"list", u"--root", u"both"}, 2, u"use --root all-users", true},
      {{u"help"}, 0, nullptr},
      {{u"version"}, 0, nullptr},
      {{u"list"}, 0, nullptr},
      {{u"list", u"--root", u"all-users"}, 0, nullptr, true},
      {{u"list", u"--name", u"Nothing", u"--allow-absent"}, 0, nullptr},
      {{u"list", u"--name", u"game", u"--name", u"GAME", u"--format", u"json"}, 0, nullptr},
      {{u"list", u"--contains=--"}, 0, nullptr},
      {{u"recycle", u"--contains", u"nowhere"}, 0, nullptr},
      {{u"recycle", u"--all"}, 1, nullptr},
      {{u"recycle", u"--kind=folder", u"--dry-run"}, 1, nullptr},
      {{u"recycle", u"--broken", u"--root", u"all-users", u"--yes"}, 0, nullptr, true},
      // Windows habits: help words, and letter case ignored in commands,
      // option names and fixed values; never in what names an entry.
      {{u"/?"}, 0, nullptr},
      {{u"-?"}, 0, nullptr},
      {{u"-H"}, 0, nullptr},
      {{u"--Help"}, 0, nullptr},
      {{u"list", u"--all", u"/?"}, 0, nullptr},
      {{u"LIST", u"--Format", u"JSON", u"--ROOT=ALL-USERS"}, 0, nullptr},
      {{u"Recycle", u"--KIND", u"Folder", u"--Dry-Run"}, 1, nullptr},
      {{u"list", u"/all"}, 2, u"options are written --name, not /name"},
      {{u"list", u"--skip-refused"}, 2, u"--skip-refused goes with recycle"},
  };
  for (const Case& c : cases) {
    Text call;
    for (const Text& word : c.arguments) call += word + u" ";
    SCOPED_TRACE(ToUtf8(call));
    system = c.system;
    recycler.recycled.clear();
    const Outcome outcome = Run(c.arguments);
    EXPECT_EQ(outcome.exit_code, c.exit_code);
    if (!c.error) {
      EXPECT_EQ(outcome.error, u"");
      continue;
    }
    // A wrong call ends with the text's summary line, or JSON's document.
    if (outcome.output.starts_with(u"{")) {
      EXPECT_TRUE(outcome.output.ends_with(u"\"exit_code\": 2\r\n}\r\n"));
    } else {
      EXPECT_TRUE(outcome.output.starts_with(u"Summary: a wrong call, nothing was done: "))
          << ToUtf8(outcome.output);
      EXPECT_TRUE(outcome.output.ends_with(u" Exit code 2.\r\n"));
      EXPECT_EQ(Lines(outcome.output).size(), 1u);
    }
    EXPECT_TRUE(recycler.recycled.empty());
    const std::vector<Text> lines = Lines(outcome.error);
    ASSERT_EQ(lines.size(), 1u) << ToUtf8(outcome.error);
    EXPECT_NE(lines[0].find(c.error), Text::npos) << ToUtf8(lines[0]);
    EXPECT_NE(lines[0].find(u"\"ostrevane help\""), Text::npos) << ToUtf8(lines[0]);
  }
}

TEST_F(CliTest, HelpAndVersion) {
  EXPECT_EQ(Run({u"version"}).output, u"ostrevane " + FromUtf8(OSTREVANE_VERSION_TEXT) + u"\r\n");
  const Text help = Run({u"help"}).output;
  for (const Text& line : Lines(help)) EXPECT_LT(line.size(), 80u) << ToUtf8(line);
  for (const char16_t* option : {u"--root",         u"--all",         u"--contains",
                                 u"--not-contains", u"--name",        u"--broken",
                                 u"--empty",        u"--kind",        u"--yes",
                                 u"--dry-run",      u"--skip-denied", u"--skip-refused",
                                 u"--allow-absent", u"--format",      u"--include-system",
                                 u"  0  ",          u"  1  ",         u"  2  ",
                                 u"  3  ",          u"  4  ",         u"  9  ",
                                 u"--broken --yes"}) {
    EXPECT_NE(help.find(option), Text::npos) << ToUtf8(option);
  }
}

TEST_F(CliTest, SelectorsCombineWithAnd) {
  struct Case {
    std::vector<Text> arguments;
    std::vector<Text> rows;
  };
  const Case cases[] = {
      {{u"--broken"}, {u"user Game (Current User) none", u"all-users Old none"}},
      {{u"--broken", u"--root", u"all-users"}, {u"all-users Old none"}},
      {{u"--empty"}, {u"user Deep32 none", u"user Empty none", u"all-users Office none"}},
      {{u"--contains", u"game"},
       {u"user Game (Current User) none", u"all-users GAME (All Users) none"}},
      // The namesake marks, shown only where a name is in both folders, are
      // not searched: one call selects the same entries on every machine.
      {{u"--contains", u"user"}, {}},
      {{u"--contains", u"GAME", u"--not-contains", u"all users"},
       {u"user Game (Current User) none", u"all-users GAME (All Users) none"}},
      {{u"--name", u"gAmE"},
       {u"user Game (Current User) none", u"all-users GAME (All Users) none"}},
      {{u"--name", u"Game.lnk", u"--allow-absent"}, {}},
      {{u"--name", u"tools", u"--name", u"OFFICE"}, {u"user Tools none", u"all-users Office none"}},
      {{u"--kind", u"shortcut", u"--root", u"user"},
       {u"user Editor none", u"user Game (Current User) none", u"user Unreadable none"}},
      {{u"--kind", u"folder", u"--contains", u"deep"}, {u"user Deep32 none", u"user Deep33 none"}},
      {{u"--broken", u"--contains", u"old"}, {u"all-users Old none"}},
      {{u"--empty", u"--kind", u"shortcut"}, {}},
  };
  for (const Case& c : cases) {
    std::vector<Text> arguments{u"list"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    SCOPED_TRACE(ToUtf8(arguments[1]));
    EXPECT_EQ(Rows(arguments), c.rows);
  }
  // No selector: every entry, the current user's first, folders first, by name.
  EXPECT_EQ(Rows({u"list", u"--root=user"}),
            (std::vector<Text>{u"user Deep32 none", u"user Deep33 none", u"user Empty none",
                               u"user Locked none", u"user Tools none", u"user Editor none",
                               u"user Game (Current User) none", u"user Unreadable none"}));
}

TEST_F(CliTest, ShortcutStatusesAreShownAndAnUnreadableFileIsUnknown) {
  const Text output = Run({u"list", u"--kind", u"shortcut", u"--format", u"tsv"}).output;
  EXPECT_NE(output.find(u"Game (Current User)\tmissing\tC:\\\\Games\\\\game.exe\tnone\t"
                        u"the target is not there\tno\r\n"),
            Text::npos)
      << ToUtf8(output);
  EXPECT_NE(output.find(
                u"Unreadable\tunknown\t\tnone\tthe shortcut file could not be read (Windows says: "
                u"Access is denied.)\tno\r\n"),
            Text::npos);
}

TEST_F(CliTest, PreviewMovesNothingAndYesRecyclesExactlyTheSelected) {
  const Outcome preview = Run({u"recycle", u"--broken"});
  EXPECT_EQ(preview.exit_code, kExitWouldRecycle);
  EXPECT_TRUE(recycler.recycled.empty());
  EXPECT_EQ(recycler.inspected, (std::vector<Text>{In(kUser, u"Game.lnk"), In(kAll, u"Old.lnk")}));
  EXPECT_NE(Lines(preview.output).back().find(u"2 would be recycled"), Text::npos);

  const Outcome done = Run({u"recycle", u"--broken", u"--yes"});
  EXPECT_EQ(done.exit_code, kExitDone);
  EXPECT_EQ(done.error, u"");
  EXPECT_EQ(recycler.recycled, (std::vector<Text>{In(kUser, u"Game.lnk"), In(kAll, u"Old.lnk")}));
}

TEST_F(CliTest, DeniedEntriesStopTheWholePassUnlessSkipped) {
  recycler.refuse[In(kAll, u"Old.lnk")] = {NotMoved::Why::kMayNotRemove, {}};
  EXPECT_EQ(Run({u"recycle", u"--broken"}).exit_code, kExitDenied);
  const Outcome denied = Run({u"recycle", u"--broken", u"--yes"});
  EXPECT_EQ(denied.exit_code, kExitDenied);
  EXPECT_EQ(denied.error, u"");
  EXPECT_TRUE(recycler.recycled.empty());
  const Text summary = Lines(denied.output).back();
  EXPECT_NE(summary.find(u"administrator"), Text::npos) << ToUtf8(summary);
  EXPECT_NE(summary.find(u"--skip-denied"), Text::npos);

  EXPECT_EQ(Rows({u"recycle", u"--broken", u"--yes", u"--skip-denied"}),
            (std::vector<Text>{u"user Game (Current User) recycled", u"all-users Old refused"}));
  EXPECT_EQ(last_exit_code, kExitNotAllRecycled);
  EXPECT_EQ(recycler.recycled, std::vector<Text>{In(kUser, u"Game.lnk")});
  EXPECT_EQ(Run({u"recycle", u"--broken", u"--skip-denied"}).exit_code, kExitWouldRecycle);
}

TEST_F(CliTest, EntriesTheShellKeptOrAFaultStoppedAreReported) {
  recycler.shell_refuse[In(kUser, u"Tools")] = {NotMoved::Why::kShellFailed, u"Disk full"};
  EXPECT_EQ(
      Rows({u"recycle", u"--kind", u"folder", u"--root", u"user", u"--yes"}),
      (std::vector<Text>{u"user Deep32 recycled", u"user Deep33 recycled", u"user Empty recycled",
                         u"user Locked recycled", u"user Tools failed"}));
  EXPECT_EQ(Run({u"recycle", u"--name", u"Tools", u"--yes"}).exit_code, kExitNotAllRecycled);

  recycler.recycled.clear();
  recycler.fault.insert(In(kUser, u"Empty"));
  const Outcome stopped = Run({u"recycle", u"--empty", u"--yes"});
  EXPECT_EQ(stopped.exit_code, kExitInternalError);
  // The error line names where the fault was raised, for a bug report.
  EXPECT_TRUE(
      stopped.error.starts_with(u"ostrevane: internal error: The shell went away [cli_test.cpp:"))
      << ToUtf8(stopped.error);
  EXPECT_EQ(recycler.recycled, std::vector<Text>{In(kUser, u"Deep32")});
  EXPECT_NE(stopped.output.find(u"Deep32 | - | - | recycled"), Text::npos);

  // A root that cannot be found stops the run only when it is in scope: the
  // system account, the "current user" of fleet tools, may have no Start Menu.
  folders.fail_root[kCsidlPrograms] = u"No such folder";
  EXPECT_TRUE(Run({u"list", u"--root", u"user"})
                  .error.starts_with(u"ostrevane: internal error: No such folder ["));
  const Outcome all_users = Run({u"list", u"--root", u"all-users"});
  EXPECT_EQ(all_users.exit_code, kExitDone);
  EXPECT_NE(all_users.output.find(u"Old"), Text::npos);
  folders.fail_root.clear();
  folders.fail_open[kUser] = u"No such folder";
  EXPECT_EQ(Run({u"list", u"--root", u"all-users"}).exit_code, kExitDone);
}

TEST_F(CliTest, OddNamesSurviveTsvAndJson) {
  const std::vector<Text> names = {u"tab\there",
                                   u"line\nfeed",
                                   u"carriage\rreturn",
                                   u"back\\slash",
                                   u"quote\"d",
                                   Text(u"ctl\x01\x1F\x7F", 6),
                                   u"emoji \U0001F600",
                                   Text(1, char16_t(0xD83D)) + u" lone high",
                                   Text(1, char16_t(0xDE00)) + u" lone low",
                                   u"Game (All Users)",
                                   u"Ünïcödé"};
  folders.SetRootListing(kCsidlPrograms, kUser, {names, {}});
  folders.SetRootListing(kCsidlCommonPrograms, kAll, {});
  for (const Text& name : names) folders.At(In(kUser, name)) = {};

  std::vector<Text> tsv_names;
  for (const Text& row : Rows({u"list", u"--all"})) {
    tsv_names.push_back(row.substr(5, row.size() - 5 - 5));  // "user " NAME " none"
  }
  std::vector<Text> sorted = names;
  std::sort(sorted.begin(), sorted.end());
  std::sort(tsv_names.begin(), tsv_names.end());
  EXPECT_EQ(tsv_names, sorted);

  const Text json = Run({u"list", u"--format", u"json"}).output;
  EXPECT_TRUE(std::all_of(json.begin(), json.end(), [](char16_t c) { return c < 0x80; }));
  std::vector<Text> json_names = JsonValues(json, u"display_name");
  std::sort(json_names.begin(), json_names.end());
  EXPECT_EQ(json_names, sorted);
  EXPECT_NE(json.find(u"\\uD83D lone high"), Text::npos);

  // The text output keeps one line per entry, plus its summary.
  EXPECT_EQ(Lines(Run({u"list"}).output).size(), names.size() + 1);
}

TEST_F(CliTest, JsonDocumentHoldsTheRunAndEveryEntryInScope) {
  recycler.refuse[In(kAll, u"Old.lnk")] = {NotMoved::Why::kLink, {}};
  const Outcome outcome = Run({u"recycle", u"--broken", u"--root", u"all-users", u"--format=json"});
  EXPECT_EQ(outcome.exit_code, kExitNotAllRecycled);
  const Text& json = outcome.output;
  EXPECT_EQ(JsonValues(json, u"name"), (std::vector<Text>{u"Office", u"GAME.lnk", u"Old.lnk"}));
  EXPECT_EQ(JsonValues(json, u"action"), (std::vector<Text>{u"none", u"none", u"refused"}));
  EXPECT_EQ(JsonValues(json, u"status"), (std::vector<Text>{u"ok", u"missing"}));
  EXPECT_EQ(JsonValues(json, u"path"),
            (std::vector<Text>{kUser, kAll, In(kAll, u"Office"), In(kAll, u"GAME.lnk"),
                               In(kAll, u"Old.lnk")}));
  for (const char16_t* part :
       {u"\"schema_version\": 2,", u"\"command\": \"recycle\",", u"\"preview\": true,",
        u"\"in_scope\": false, \"exists\": false, \"reason\": null, \"profile\": null}",
        u"\"status\": null", u"\"selected\": true",
        u"\"refused\": 1, \"gone\": 0, \"held\": 0, \"denied\": 0}",
        u"\"exit_code\": 3\r\n}\r\n"}) {
    EXPECT_NE(json.find(part), Text::npos) << ToUtf8(part);
  }
  EXPECT_EQ(JsonValues(json, u"tool_version"), std::vector<Text>{FromUtf8(OSTREVANE_VERSION_TEXT)});
}

// Windows' own folders (Startup, by what the system says it is, and the
// folders whose desktop.ini names them from Windows' resources) are never
// taken by a rule, and naming one is a wrong call, unless asked for.
TEST_F(CliTest, WindowsOwnFoldersAreSelectedOnlyWhenAskedFor) {
  folders.SetRoot(kCsidlStartup, In(kUser, u"Startup"));
  folders.SetRoot(kCsidlCommonStartup, In(kAll, u"Startup"));
  probe.variables[u"SystemRoot"] = u"C:\\Windows";
  folders.At(kUser).subfolders.push_back(u"Startup");
  folders.At(In(kUser, u"Startup")) = {{}, {u"desktop.ini"}};
  folders.At(kAll).subfolders.insert(folders.At(kAll).subfolders.end(),
                                     {u"Startup", u"Maintenance", u"Vendor"});
  folders.At(In(kAll, u"Startup")) = {};
  for (const char16_t* name : {u"Maintenance", u"Vendor"})
    folders.At(In(kAll, name)) = {{}, {u"desktop.ini"}};
  const std::string ini =
      "[.ShellClassInfo]\r\nLocalizedResourceName=@%SystemRoot%\\system32\\shell32.dll,-21761\r\n";
  files.files[In(In(kAll, u"Maintenance"), u"desktop.ini")] =
      testing::Bytes(ini.begin(), ini.end());
  const std::string vendor =
      "[.ShellClassInfo]\r\nLocalizedResourceName=@C:\\Program Files\\Vendor\\r.dll,-1\r\n";
  files.files[In(In(kAll, u"Vendor"), u"desktop.ini")] =
      testing::Bytes(vendor.begin(), vendor.end());

  for (const std::vector<Text>& call : {std::vector<Text>{u"list", u"--empty"},
                                        std::vector<Text>{u"list", u"--all", u"--kind=folder"},
                                        std::vector<Text>{u"list", u"--contains", u"t"}}) {
    SCOPED_TRACE(ToUtf8(call[1]));
    for (const Text& row : Rows(call)) {
      EXPECT_EQ(row.find(u"Startup"), Text::npos) << ToUtf8(row);
      EXPECT_EQ(row.find(u"Maintenance"), Text::npos) << ToUtf8(row);
    }
  }
  EXPECT_NE(Rows({u"list", u"--empty"}), std::vector<Text>{});
  const Outcome named = Run({u"recycle", u"--name", u"startup", u"--yes"});
  EXPECT_EQ(named.exit_code, kExitWrongCall);
  EXPECT_NE(named.error.find(u"\"Startup\" in the current user's Programs folder is Windows' own "
                             u"folder (it is a Startup folder); add --include-system"),
            Text::npos)
      << ToUtf8(named.error);
  EXPECT_EQ(Run({u"list", u"--name", u"Maintenance"}).exit_code, kExitWrongCall);
  EXPECT_EQ(Rows({u"list", u"--name", u"startup", u"--include-system"}),
            (std::vector<Text>{u"user Startup (Current User) none",
                               u"all-users Startup (All Users) none"}));
  EXPECT_EQ(Rows({u"list", u"--empty", u"--include-system", u"--root=all-users"}),
            (std::vector<Text>{u"all-users Maintenance none", u"all-users Office none",
                               u"all-users Startup (All Users) none", u"all-users Vendor none"}));

  const Text json = Run({u"list", u"--root", u"all-users", u"--format", u"json"}).output;
  EXPECT_EQ(JsonValues(json, u"name"), (std::vector<Text>{u"Maintenance", u"Office", u"Startup",
                                                          u"Vendor", u"GAME.lnk", u"Old.lnk"}));
  for (const char16_t* part :
       {u"\"name\": \"Maintenance\"", u"\"name\": \"Startup\"", u"\"name\": \"Vendor\""}) {
    const std::size_t at = json.find(part);
    ASSERT_NE(at, Text::npos);
    const bool vendor_folder = Text(part).find(u"Vendor") != Text::npos;
    EXPECT_NE(json.rfind(vendor_folder ? u"\"system\": false" : u"\"system\": true", at),
              Text::npos);
    EXPECT_GT(json.rfind(u"\"system\": ", at), json.rfind(u"{", at)) << ToUtf8(part);
  }
  const Text tsv =
      Run({u"list", u"--name", u"startup", u"--include-system", u"--format=tsv"}).output;
  EXPECT_NE(tsv.find(u"\tyes\r\n"), Text::npos) << ToUtf8(tsv);
}

// A folder has the status of what it holds; --broken takes the dead ones.
// A per-user variable is judged in the user's own folder, not in the all
// users' one.
TEST_F(CliTest, DeadFoldersAreBrokenAndPerUserTargetsAreJudgedOnlyWhereTheyBelong) {
  folders.At(kAll).subfolders.insert(folders.At(kAll).subfolders.end(), {u"Vendor App", u"Suite"});
  folders.At(In(kAll, u"Vendor App")) = {{}, {u"App.lnk", u"Uninstall App.lnk", u"Site.url"}};
  folders.At(In(kAll, u"Suite")) = {{}, {u"Writer.lnk", u"Gone.lnk"}};
  Shortcut(In(In(kAll, u"Vendor App"), u"App.lnk"), u"C:\\Vendor\\app.exe");
  Shortcut(In(In(kAll, u"Vendor App"), u"Uninstall App.lnk"), u"C:\\Vendor\\uninstall.exe");
  Shortcut(In(In(kAll, u"Suite"), u"Writer.lnk"), u"C:\\Editor\\editor.exe");
  Shortcut(In(In(kAll, u"Suite"), u"Gone.lnk"), u"C:\\Suite\\gone.exe");
  const testing::Bytes per_user = testing::ShortcutBytes(
      {.environment = testing::TargetBlock{{}, u"%LOCALAPPDATA%\\Programs\\PerUser\\app.exe"}});
  files.files[In(kUser, u"Editor.lnk")] = per_user;
  files.files[In(kAll, u"Old.lnk")] = per_user;
  probe.variables[u"LOCALAPPDATA"] = u"C:\\Users\\me\\AppData\\Local";

  EXPECT_EQ(Rows({u"recycle", u"--broken", u"--yes"}),
            (std::vector<Text>{u"user Editor recycled", u"user Game (Current User) recycled",
                               u"all-users Vendor App recycled"}));
  EXPECT_EQ(recycler.recycled, (std::vector<Text>{In(kUser, u"Editor.lnk"), In(kUser, u"Game.lnk"),
                                                  In(kAll, u"Vendor App")}));
  const Text tsv = Run({u"list", u"--root", u"all-users", u"--format", u"tsv"}).output;
  for (const char16_t* row :
       {u"all-users\tfolder\tSuite\tok\t\tnone\t\tno\r\n",
        u"all-users\tfolder\tVendor App\tmissing\t\tnone\tall 2 shortcuts in it point nowhere; 1 "
        u"web "
        u"link\tno\r\n",
        u"all-users\tshortcut\tOld\tunknown\t\tnone\tthe target "
        u"%LOCALAPPDATA%\\\\Programs\\\\PerUser\\\\app.exe uses %LOCALAPPDATA%"}) {
    EXPECT_NE(tsv.find(row), Text::npos) << ToUtf8(row) << "\n" << ToUtf8(tsv);
  }
}

// An entry that went before its turn (another run, a person, an
// uninstaller) is done, not failed: two runs at once both end well.
TEST_F(CliTest, AnEntryThatWentBeforeItsTurnIsGoneNotFailed) {
  using Why = NotMoved::Why;
  recycler.gone.insert(In(kUser, u"Deep32"));  // before the run
  recycler.taken_meanwhile[In(kUser, u"Empty")] = {Why::kCancelled, {}};
  recycler.taken_meanwhile[In(kAll, u"Office")] = {Why::kShellFailed, u"File not found"};
  recycler.shell_refuse[In(kUser, u"Tools")] = {Why::kCancelled, {}};  // still there: failed
  EXPECT_EQ(
      Rows({u"recycle", u"--kind=folder", u"--yes"}),
      (std::vector<Text>{u"user Deep32 gone", u"user Deep33 recycled", u"user Empty gone",
                         u"user Locked recycled", u"user Tools failed", u"all-users Office gone"}));
  EXPECT_EQ(last_exit_code, kExitNotAllRecycled);
  recycler.shell_refuse.clear();
  const Outcome done = Run({u"recycle", u"--empty", u"--yes"});
  EXPECT_EQ(done.exit_code, kExitDone) << ToUtf8(done.output);
  EXPECT_NE(Lines(done.output).back().find(u"0 failed, 0 refused, 3 gone"), Text::npos)
      << ToUtf8(done.output);
}

// With --skip-refused, what was refused before the shell was asked is
// reported and leaves the exit code to the rest; without it, as before.
TEST_F(CliTest, SkipRefusedLetsTheRestDecideTheExitCode) {
  using Why = NotMoved::Why;
  struct Case {
    Why why;
    std::vector<Text> extra;
    int exit_code;
  };
  const Case cases[] = {
      {Why::kLink, {}, kExitNotAllRecycled},
      {Why::kLink, {u"--skip-refused"}, kExitDone},
      {Why::kPathTooLong, {u"--skip-refused"}, kExitDone},
      {Why::kInUse, {u"--skip-refused"}, kExitDone},
      {Why::kMayNotRemove, {}, kExitDenied},
      {Why::kMayNotRemove, {u"--skip-denied"}, kExitNotAllRecycled},
      {Why::kMayNotRemove, {u"--skip-refused"}, kExitDone},
      {Why::kInUse, {u"--skip-denied"}, kExitNotAllRecycled},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(DescribeNotMoved({c.why, u"x"})) + " " +
                 (c.extra.empty() ? std::string() : ToUtf8(c.extra[0])));
    recycler.refuse = {{In(kAll, u"Old.lnk"), {c.why, u"x"}}};
    recycler.recycled.clear();
    std::vector<Text> preview{u"recycle", u"--broken"};
    preview.insert(preview.end(), c.extra.begin(), c.extra.end());
    std::vector<Text> call = preview;
    call.push_back(u"--yes");
    EXPECT_EQ(Run(call).exit_code, c.exit_code);
    const bool held = c.exit_code == kExitDenied;
    EXPECT_EQ(recycler.recycled.size(), held ? 0u : 1u);
    // The preview: 1 while something would go.
    EXPECT_EQ(Run(preview).exit_code, held ? kExitDenied : kExitWouldRecycle);
  }
  recycler.refuse = {{In(kAll, u"Old.lnk"), {Why::kLink, {}}}};
  EXPECT_EQ(Run({u"recycle", u"--name", u"Old", u"--skip-refused"}).exit_code, kExitDone);
  EXPECT_EQ(Run({u"recycle", u"--name", u"Old"}).exit_code, kExitNotAllRecycled);
}

// The summary counts each action once, in text and in JSON alike; held
// entries say why nothing went.
TEST_F(CliTest, TheSummaryCountsEveryAction) {
  using Why = NotMoved::Why;
  recycler.gone.insert(In(kUser, u"Deep32"));
  recycler.refuse[In(kUser, u"Locked")] = {Why::kInUse, {}};
  recycler.shell_refuse[In(kUser, u"Tools")] = {Why::kShellFailed, u"Disk full"};
  const std::vector<Text> call{u"recycle", u"--kind", u"folder", u"--yes"};
  const Text text = Lines(Run(call).output).back();
  EXPECT_NE(text.find(u"6 selected, 3 recycled, 1 failed, 1 refused, 1 gone."), Text::npos)
      << ToUtf8(text);
  std::vector<Text> json_call = call;
  json_call.push_back(u"--format=json");
  recycler.gone.insert(In(kUser, u"Deep33"));  // one more gone: taken by the run before
  const Text json = Run(json_call).output;
  EXPECT_NE(json.find(u"\"summary\": {\"entries\": 11, \"selected\": 6, \"would_recycle\": 0, "
                      u"\"recycled\": 2, \"failed\": 1, \"refused\": 1, \"gone\": 2, "
                      u"\"held\": 0, \"denied\": 0}"),
            Text::npos)
      << ToUtf8(json);

  recycler.refuse[In(kAll, u"Office")] = {Why::kMayNotRemove, {}};
  const Outcome held = Run(call);
  EXPECT_EQ(held.exit_code, kExitDenied);
  EXPECT_NE(held.output.find(u"| held | nothing was recycled: some selected entries may not be "
                             u"removed by this account"),
            Text::npos)
      << ToUtf8(held.output);
  EXPECT_EQ(held.output.find(u"would-recycle"), Text::npos);
  EXPECT_NE(Lines(held.output).back().find(u"2 refused, 2 gone, 2 held."), Text::npos)
      << ToUtf8(held.output);
}

// A fleet tool that parses JSON gets a document whatever happens.
TEST_F(CliTest, JsonIsOneDocumentEvenOnAWrongCallOrAnInternalError) {
  const Outcome wrong = Run({u"recycle", u"--format", u"JSON", u"--bogus"});
  EXPECT_EQ(wrong.exit_code, kExitWrongCall);
  for (const char16_t* part : {u"\"command\": null", u"\"entries\": [],",
                               u"\"error\": \"unknown option \\\"--bogus\\\"\",",
                               u"\"internal_error\": null,", u"\"exit_code\": 2\r\n}\r\n"}) {
    EXPECT_NE(wrong.output.find(part), Text::npos) << ToUtf8(part) << "\n" << ToUtf8(wrong.output);
  }

  folders.fail_root[kCsidlCommonPrograms] = u"The all users' folder was renamed";
  const Outcome broken = Run({u"list", u"--format", u"json"});
  EXPECT_EQ(broken.exit_code, kExitInternalError);
  EXPECT_TRUE(
      broken.error.starts_with(u"ostrevane: internal error: The all users' folder was renamed ["));
  for (const char16_t* part :
       {u"\"error\": null,", u"\"internal_error\": \"The all users' folder was renamed\",",
        u"\"exit_code\": 9\r\n}\r\n"}) {
    EXPECT_NE(broken.output.find(part), Text::npos) << ToUtf8(part) << "\n"
                                                    << ToUtf8(broken.output);
  }
  const Text summary = Lines(Run({u"list"}).output).back();
  EXPECT_EQ(summary,
            u"Summary: nothing was done: an internal error stopped the run: The all users' folder "
            u"was renamed. Exit code 9.");
}

TEST_F(CliTest, JsonWritesEveryControlCharacterAsAUnicodeEscape) {
  for (char16_t unit = 0; unit < 0x20; ++unit) {
    const Text escaped = JsonString(Text(1, unit));
    EXPECT_EQ(escaped.size(), 8u) << int(unit);
    EXPECT_TRUE(escaped.starts_with(u"\"\\u00")) << int(unit);
  }
  EXPECT_EQ(JsonString(u"\x7F\"\\/"), u"\"\\u007F\\\"\\\\/\"");
}

// Text and TSV lines leave as each entry is decided, so a run killed
// part-way leaves every line it reached.
TEST_F(CliTest, LinesLeaveAsEachEntryIsDecided) {
  std::vector<std::size_t> recycled_at_each_line;
  Text written;
  CliServices services{folders, profiles, recycler, probe, files};
  services.write_output = [&](const Text& lines) {
    written += lines;
    recycled_at_each_line.push_back(recycler.recycled.size());
  };
  const Outcome outcome =
      RunCommandLine({u"recycle", u"--kind", u"folder", u"--yes", u"--format=tsv"}, services);
  EXPECT_EQ(outcome.output, u"");
  EXPECT_EQ(Lines(written).size(), 7u);
  // The header, then a line after each entry went.
  EXPECT_EQ(recycled_at_each_line, (std::vector<std::size_t>{0, 1, 2, 3, 4, 5, 6}));
}

// --root profiles reaches each person's own Programs folder; their rules
// hold per profile, and the all users' folder is left to --root machine.
TEST_F(CliTest, EveryProfilesOwnFolderFromOneRun) {
  const Text programs = u"\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
  const Text me = Text(u"C:\\Users\\me") + programs, alice = Text(u"C:\\Users\\alice") + programs;
  profiles.profiles = {{u"S-1-5-18", u"C:\\Windows\\system32\\config\\systemprofile", {}, {}},
                       {u"S-1-5-21-1-2-3-1000", u"C:\\Users\\me", {}, u"PC\\me"},
                       {u"S-1-5-21-1-2-3-1001", u"C:\\Users\\alice", {}, u"CORP\\alice"},
                       {u"S-1-5-21-1-2-3-1002", u"C:\\Users\\carol", {}, {}}};
  for (const Text& folder : {Text(u"C:\\Users\\me"), Text(u"C:\\Users\\alice")})
    folders.At(folder) = {};
  folders.At(me) = {{u"Startup"}, {u"Dead.lnk", u"PerUser.lnk"}};
  folders.At(In(me, u"Startup")) = {};
  folders.At(alice) = {{}, {u"Dead.lnk", u"PerUser.lnk", u"Suite.lnk"}};
  const testing::Bytes per_user = testing::ShortcutBytes(
      {.environment = testing::TargetBlock{{}, u"%LOCALAPPDATA%\\Tool\\tool.exe"}});
  probe.variables[u"LOCALAPPDATA"] = u"C:\\Users\\me\\AppData\\Local";
  for (const Text& root : {me, alice}) {
    Shortcut(In(root, u"Dead.lnk"), u"C:\\Removed\\app.exe");
    files.files[In(root, u"PerUser.lnk")] = per_user;
  }
  files.files[In(alice, u"Suite.lnk")] =
      testing::ShortcutBytes({.darwin = testing::TargetBlock{u"d", u"d"}});
  probe.advertised[In(alice, u"Suite.lnk")] = {u"{P}", u"F", u"{C}"};

  EXPECT_EQ(Rows({u"recycle", u"--root", u"profiles", u"--broken", u"--yes"}),
            (std::vector<Text>{u"me Dead recycled", u"me PerUser recycled", u"alice Dead recycled",
                               u"alice Suite recycled"}));
  EXPECT_EQ(recycler.recycled,
            (std::vector<Text>{In(me, u"Dead.lnk"), In(me, u"PerUser.lnk"), In(alice, u"Dead.lnk"),
                               In(alice, u"Suite.lnk")}));
  EXPECT_EQ(probe.product_queries,
            (std::vector<std::pair<Text, Text>>{{u"{P}", u"S-1-5-21-1-2-3-1001"}}));

  recycler.recycled.clear();
  system = true;
  const Outcome text = Run({u"list", u"--root", u"machine", u"--format", u"text"});
  EXPECT_EQ(text.exit_code, kExitDone) << ToUtf8(text.error);
  EXPECT_NE(text.output.find(u"Not walked: carol (C:\\Users\\carol" + programs +
                             u"): the profile's folder is gone; skipped\r\n"),
            Text::npos)
      << ToUtf8(text.output);
  EXPECT_NE(text.output.find(u"alice     | shortcut      | PerUser | unknown"), Text::npos);
  EXPECT_NE(text.output.find(u"all-users | shortcut      | Old | missing"), Text::npos);
  // A profile whose hive is not loaded: its folder named Startup is Windows' own.
  EXPECT_NE(text.output.find(u"me        | system folder | Startup"), Text::npos);
  EXPECT_EQ(Rows({u"list", u"--root", u"profiles", u"--empty"}), std::vector<Text>{});

  const Text json = Run({u"list", u"--root", u"profiles", u"--format", u"json"}).output;
  for (const char16_t* part :
       {u"{\"root\": \"profile\", \"profile\": {\"sid\": \"S-1-5-21-1-2-3-1001\", \"account\": "
        u"\"CORP\\\\alice\", \"name\": \"alice\"}, \"kind\": \"shortcut\"",
        u"\"in_scope\": true, \"exists\": false, \"reason\": \"the profile's folder is gone; "
        u"skipped\", \"profile\": {\"sid\": \"S-1-5-21-1-2-3-1002\", \"account\": null, "
        u"\"name\": \"carol\"}}"}) {
    EXPECT_NE(json.find(part), Text::npos) << ToUtf8(part) << "\n" << ToUtf8(json);
  }
  EXPECT_EQ(json.find(u"S-1-5-18"), Text::npos) << "the system's own profile is left out";

  // A profile's folder this account may not read holds the whole pass.
  folders.deny_open.insert(alice);
  Shortcut(In(me, u"Dead.lnk"), u"C:\\Removed\\app.exe");
  const Outcome held = Run({u"recycle", u"--root", u"profiles", u"--broken", u"--yes"});
  EXPECT_EQ(held.exit_code, kExitDenied) << ToUtf8(held.output);
  EXPECT_NE(held.output.find(u"Not walked: alice"), Text::npos);
  EXPECT_TRUE(recycler.recycled.empty());
  EXPECT_EQ(
      Run({u"recycle", u"--root", u"profiles", u"--broken", u"--yes", u"--skip-denied"}).exit_code,
      kExitNotAllRecycled);
  EXPECT_EQ(recycler.recycled.size(), 2u);
  EXPECT_EQ(
      Run({u"recycle", u"--root", u"profiles", u"--broken", u"--yes", u"--skip-refused"}).exit_code,
      kExitDone);
}

}  // namespace
}  // namespace ostrevane::console
