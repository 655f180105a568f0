#include <gtest/gtest.h>

#include <functional>

#include "catalogue/shortcut_file.h"
#include "catalogue/shortcut_status.h"
#include "support/fakes.h"
#include "support/shortcut_bytes.h"

namespace ostrevane {

void PrintTo(const ShortcutFile& file, std::ostream* out) {
  const auto text = [](const std::optional<Text>& t) { return t ? '"' + ToUtf8(*t) + '"' : "-"; };
  *out << "{readable " << file.readable << " why \"" << ToUtf8(file.unreadable_why)
       << "\" advertised " << file.advertised << " environment " << text(file.environment_target)
       << " local " << text(file.local_path) << " network " << text(file.network_path)
       << " id list " << static_cast<int>(file.id_list) << " " << text(file.id_list_path)
       << " strings " << text(file.description) << text(file.relative_path)
       << text(file.working_dir) << text(file.arguments) << text(file.icon_location) << " ansi "
       << file.ansi.environment_target << file.ansi.local_path << file.ansi.network_path
       << file.ansi.string_data << " rest \"" << ToUtf8(file.rest_unread_why) << "\" promised "
       << file.promised_block_unread << "}";
}

namespace {

using namespace testing;
using IdList = ShortcutFile::IdList;
using Presence = TargetProbe::Presence;
using Volume = TargetProbe::Volume;

Bytes Spoiled(Bytes bytes, const std::function<void(Bytes&)>& spoil) {
  spoil(bytes);
  return bytes;
}

// A folder name beyond every code page, repeated past 260 units.
Text LongUnicodeFolder() {
  Text name;
  while (name.size() < 270) name += u"Папка 日本 😀 ";
  return name;
}

// A file whose structures all hold together, from which the failure cases are made.
const Bytes kLocalFile =
    ShortcutBytes({.link_info = LinkInfoContents{.local_base_path = u"C:\\App\\app.exe"},
                   .working_dir = u"C:\\App"});
constexpr std::size_t kLinkInfoAt = 0x4C;  // no item list before it

// Stands for any reason where the words do not matter.
constexpr char16_t kSomeReason[] = u"(some reason)";

struct ReadCase {
  const char* name;
  Bytes bytes;
  ShortcutFile expected;  // an unreadable file must give a reason and nothing else
};

TEST(ShortcutFileTest, ReadsWhatEachKindOfShortcutSays) {
  const Text folder = LongUnicodeFolder();
  const Text long_path = u"C:\\Programs\\" + folder + u"\\app.exe";
  const Items long_path_items = {RootFolderItem(kMyComputerClsid), DriveItem(u"C:\\"),
                                 FileEntryItem(u"Programs", true), FileEntryItem(folder, true, 8),
                                 FileEntryItem(u"app.exe", false, 7)};
  const ReadCase cases[] = {
      {"a local path beyond 260 units and any code page, also read from the item list",
       ShortcutBytes({.id_list = long_path_items,
                      .link_info = LinkInfoContents{.local_base_path = long_path, .unicode = true},
                      .description = u"Ünïcödé 😀",
                      .arguments = u"--flag"}),
       {.readable = true,
        .local_path = long_path,
        .id_list_path = long_path,
        .id_list = IdList::kFileSystem,
        .description = u"Ünïcödé 😀",
        .arguments = u"--flag"}},
      {"an ANSI base path and suffix, and ANSI strings, kept as Latin-1 and marked",
       ShortcutBytes({.link_info = LinkInfoContents{.local_base_path = u"C:\\Program Files\\",
                                                    .common_path_suffix = u"Café\\app.exe"},
                      .unicode_strings = false,
                      .relative_path = u"..\\Café\\app.exe",
                      .icon_location = u"%SystemRoot%\\icon.ico"}),
       {.readable = true,
        .local_path = u"C:\\Program Files\\Café\\app.exe",
        .relative_path = u"..\\Café\\app.exe",
        .icon_location = u"%SystemRoot%\\icon.ico",
        .ansi = {.local_path = true, .string_data = true}}},
      {"a network share in Unicode joined to the suffix",
       ShortcutBytes({.link_info = LinkInfoContents{.net_name = u"\\\\server\\share",
                                                    .common_path_suffix = u"Tools\\Инструмент.exe",
                                                    .unicode = true}}),
       {.readable = true, .network_path = u"\\\\server\\share\\Tools\\Инструмент.exe"}},
      {"a mapped drive known only by its device name, in ANSI",
       ShortcutBytes({.link_info = LinkInfoContents{.net_name = u"",
                                                    .device_name = u"Z:",
                                                    .common_path_suffix = u"Tools\\t.exe"}}),
       {.readable = true, .network_path = u"Z:\\Tools\\t.exe", .ansi = {.network_path = true}}},
      {"only a relative path",
       ShortcutBytes({.relative_path = u".\\app.exe"}),
       {.readable = true, .relative_path = u".\\app.exe"}},
      {"an environment target in Unicode, preferred to its ANSI form",
       ShortcutBytes(
           {.link_info = LinkInfoContents{.local_base_path = u"C:\\Program Files\\a.exe"},
            .environment = TargetBlock{u"%ProgramFiles%\\?.exe", u"%ProgramFiles%\\ü.exe"}}),
       {.readable = true,
        .environment_target = u"%ProgramFiles%\\ü.exe",
        .local_path = u"C:\\Program Files\\a.exe",
        .ansi = {.local_path = true}}},
      {"an environment target in ANSI only, marked",
       ShortcutBytes({.environment = TargetBlock{u"%WINDIR%\\notepad.exe", u""}}),
       {.readable = true,
        .environment_target = u"%WINDIR%\\notepad.exe",
        .ansi = {.environment_target = true}}},
      {"advertised by an installer block and its flag",
       ShortcutBytes(
           {.id_list = Items{RootFolderItem(kMyComputerClsid), DriveItem(u"C:\\"),
                             FileEntryItem(u"Installer", true)},
            .darwin = TargetBlock{u"w_K9oN[Product]>Feature", u"w_K9oN[Product]>Feature"}}),
       {.readable = true,
        .advertised = true,
        .id_list_path = u"C:\\Installer",
        .id_list = IdList::kFileSystem}},
      {"advertised by the flag alone",
       ShortcutBytes({.add_flags = link_flag::kHasDarwinId, .relative_path = u"x"}),
       {.readable = true, .advertised = true, .relative_path = u"x"}},
      {"a Store app through the AppsFolder, without link information",
       ShortcutBytes({.id_list = Items{RootFolderItem(kAppsFolderClsid),
                                       Bytes{0x06, 0x00, 0x00, 0x00, 0x12, 0x34}}}),
       {.readable = true, .id_list = IdList::kShellNamespace}},
      {"a Control Panel item under My Computer",
       ShortcutBytes({.id_list = Items{RootFolderItem(kMyComputerClsid),
                                       RootFolderItem(kControlPanelClsid)}}),
       {.readable = true, .id_list = IdList::kShellNamespace}},
      {"a network share in the item list: a file-system target whose path is not decoded",
       ShortcutBytes({.id_list = Items{NetworkShareItem(u"\\\\server\\share")}}),
       {.readable = true, .id_list = IdList::kFileSystem}},
      {"an item list with the oldest name block, and a name that is not plain: no path",
       ShortcutBytes(
           {.id_list = Items{RootFolderItem(kMyComputerClsid), DriveItem(u"D:\\"),
                             FileEntryItem(u"Games", true, 3), FileEntryItem(u"..", true)}}),
       {.readable = true, .id_list = IdList::kFileSystem}},
      {"an item list with the oldest name block",
       ShortcutBytes({.id_list = Items{RootFolderItem(kMyComputerClsid), DriveItem(u"D:\\"),
                                       FileEntryItem(u"Games", true, 3)}}),
       {.readable = true, .id_list_path = u"D:\\Games", .id_list = IdList::kFileSystem}},
      {"link information the flags say to ignore is stepped over",
       ShortcutBytes({.add_flags = link_flag::kForceNoLinkInfo,
                      .link_info = LinkInfoContents{.local_base_path = u"C:\\old.exe"},
                      .working_dir = u"C:\\"}),
       {.readable = true, .working_dir = u"C:\\"}},

      {"an empty file", Bytes{}, {}},
      {"another header size", Spoiled(kLocalFile, [](Bytes& b) { b[0] = 0x4D; }), {}},
      {"another class id", Spoiled(kLocalFile, [](Bytes& b) { b[4] ^= 1; }), {}},
      {"an item list longer than the file",
       Spoiled(ShortcutBytes({.id_list = Items{DriveItem(u"C:\\")}}),
               [](Bytes& b) { PutU16(b, 0x4C, 0x400); }),
       {}},
      {"an item running past the end of its list",
       Spoiled(ShortcutBytes({.id_list = Items{DriveItem(u"C:\\")}}),
               [](Bytes& b) { PutU16(b, 0x4E, 0x1C); }),
       {}},
      {"link information smaller than its header",
       Spoiled(kLocalFile, [](Bytes& b) { PutU32(b, kLinkInfoAt, 0x10); }),
       {}},
      {"a link information header larger than the link information",
       Spoiled(kLocalFile, [](Bytes& b) { PutU32(b, kLinkInfoAt + 4, 0x400); }),
       {}},
      {"a local path outside the link information",
       Spoiled(kLocalFile, [](Bytes& b) { PutU32(b, kLinkInfoAt + 0x10, 0x400); }),
       {}},
      {"a local path without its NUL",
       Spoiled(kLocalFile,
               [](Bytes& b) {
                 // Letters from the local path to the end of the link
                 // information, over the suffix's NUL too.
                 const std::size_t end = kLinkInfoAt + b[kLinkInfoAt];
                 for (std::size_t i = kLinkInfoAt + b[kLinkInfoAt + 0x10]; i < end; ++i) {
                   b[i] = 'x';
                 }
               }),
       {}},
      {"a volume id smaller than its fields",
       Spoiled(kLocalFile, [](Bytes& b) { PutU32(b, kLinkInfoAt + 0x1C, 0x10); }),
       {}},
      {"a volume id larger than the link information",
       Spoiled(kLocalFile, [](Bytes& b) { PutU32(b, kLinkInfoAt + 0x1C, 0x400); }),
       {}},
      // Faults after the item list and the link information leave what
      // they say; a block the flags promise and that did not read does not.
      {"a count past the end of the file in the strings, as a shortcut from the wild had",
       Spoiled(kLocalFile,
               [](Bytes& b) {
                 // The working dir's count, before its 6 units and the terminal block.
                 PutU16(b, b.size() - 4 - 12 - 2, 1693);
               }),
       {.readable = true,
        .local_path = u"C:\\App\\app.exe",
        .ansi = {.local_path = true},
        .rest_unread_why = kSomeReason}},
      {"a block larger than the file",
       ShortcutBytes(
           {.other_blocks = {Spoiled(Bytes(12, 0), [](Bytes& b) { PutU32(b, 0, 0x100); })}}),
       {.readable = true, .rest_unread_why = kSomeReason}},
      {"a block smaller than its header",
       ShortcutBytes({.other_blocks = {Spoiled(Bytes(8, 0), [](Bytes& b) { PutU32(b, 0, 5); })}}),
       {.readable = true, .rest_unread_why = kSomeReason}},
      {"an environment block smaller than its fields, not promised by the flags",
       ShortcutBytes({.other_blocks = {Spoiled(Bytes(16, 0),
                                               [](Bytes& b) {
                                                 PutU32(b, 0, 16);
                                                 PutU32(b, 4, 0xA0000001);
                                               })}}),
       {.readable = true, .rest_unread_why = kSomeReason}},
      {"an environment block the flags promise, cut short",
       Spoiled(ShortcutBytes({.link_info = LinkInfoContents{.local_base_path = u"C:\\a.exe"},
                              .environment = TargetBlock{u"%A%", u"%A%"}}),
               [](Bytes& b) { b.resize(b.size() - 100); }),
       {.readable = true,
        .local_path = u"C:\\a.exe",
        .ansi = {.local_path = true},
        .rest_unread_why = kSomeReason,
        .promised_block_unread = true}},
      {"an installer block the flags promise, cut short",
       Spoiled(ShortcutBytes({.darwin = TargetBlock{u"x", u"x"}}),
               [](Bytes& b) { b.resize(b.size() - 100); }),
       {.readable = true,
        .advertised = true,
        .rest_unread_why = kSomeReason,
        .promised_block_unread = true}},
      {"no terminal block",
       Spoiled(kLocalFile, [](Bytes& b) { b.resize(b.size() - 4); }),
       {.readable = true,
        .local_path = u"C:\\App\\app.exe",
        .working_dir = u"C:\\App",
        .ansi = {.local_path = true},
        .rest_unread_why = kSomeReason}},
      {"an environment target announced but missing",
       ShortcutBytes({.add_flags = link_flag::kHasExpString}),
       {}},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.name);
    ShortcutFile read = ReadShortcutFile(c.bytes);
    EXPECT_EQ(read.unreadable_why.empty(), read.readable) << ToUtf8(read.unreadable_why);
    if (c.expected.readable) {
      if (c.expected.rest_unread_why == kSomeReason && !read.rest_unread_why.empty()) {
        read.rest_unread_why = kSomeReason;
      }
      EXPECT_EQ(read, c.expected);
    } else {
      EXPECT_FALSE(read.readable);
      EXPECT_EQ(read, (ShortcutFile{.unreadable_why = read.unreadable_why})) << "nothing else set";
    }
  }
}

// Cut inside the header, the item list or the link information, a file is
// unreadable; cut later, it keeps its target and says what did not read, and
// the blocks its flags promise count as unread.
TEST(ShortcutFileTest, EveryShorterPrefixOfAFileIsUnreadableOrSaysWhatDidNotRead) {
  const Bytes full =
      ShortcutBytes({.id_list = Items{RootFolderItem(kMyComputerClsid), DriveItem(u"C:\\"),
                                      FileEntryItem(u"app.exe", false)},
                     .link_info = LinkInfoContents{.local_base_path = u"C:\\app.exe",
                                                   .net_name = u"\\\\s\\share",
                                                   .device_name = u"Z:",
                                                   .unicode = true},
                     .description = u"d",
                     .relative_path = u"r",
                     .working_dir = u"w",
                     .arguments = u"a",
                     .icon_location = u"i",
                     .environment = TargetBlock{u"%A%", u"%A%"},
                     .darwin = TargetBlock{u"x", u"x"}});
  ASSERT_TRUE(ReadShortcutFile(full).readable);
  const std::size_t list_end = 0x4C + 2 + (full[0x4C] | full[0x4D] << 8);
  const std::size_t info_end = list_end + (full[list_end] | full[list_end + 1] << 8);
  for (std::size_t size = 0; size < full.size(); ++size) {
    SCOPED_TRACE(std::to_string(size) + " bytes");
    // A copy of exactly `size` bytes, so that a read past it is caught.
    const ShortcutFile read =
        ReadShortcutFile(Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(size)));
    EXPECT_EQ(read.readable, size >= info_end);
    if (!read.readable) continue;
    EXPECT_EQ(read.local_path, u"C:\\app.exe");
    EXPECT_FALSE(read.rest_unread_why.empty());
    // Cut only in the terminal block, the promised blocks were read.
    EXPECT_EQ(read.promised_block_unread, size < full.size() - 4);
  }
}

// --- the status -------------------------------------------------------------

ShortcutFile Local(Text path, bool ansi = false) {
  return {.readable = true, .local_path = std::move(path), .ansi = {.local_path = ansi}};
}

struct JudgeCase {
  const char* name;
  ShortcutFile file;
  std::map<Text, Volume> volumes;               // fixed unless given
  std::map<Text, TargetProbe::Answer> answers;  // C:\ present, anything else absent, unless given
  ShortcutStatus status;
  Text target;
};

constexpr TargetProbe::Answer kPresent{Presence::kPresent, {}};
constexpr TargetProbe::Answer kAbsent{Presence::kAbsent, {}};
constexpr TargetProbe::Answer kNoAnswer{Presence::kNoAnswer, {}};
const TargetProbe::Answer kCannotTell{Presence::kCannotTell, u"Access is denied."};

TEST(ShortcutStatusTest, OnlyATargetAbsentFromAFixedDriveThatAnswersIsMissing) {
  using enum ShortcutStatus;
  const Text app = u"C:\\App\\app.exe";
  const Text unc = u"\\\\server\\share\\app.exe";
  const JudgeCase cases[] = {
      {"present on a fixed drive", Local(app), {}, {{app, kPresent}}, kOk, app},
      {"absent from a fixed drive", Local(app), {}, {}, kMissing, app},
      {"absent, long-path form",
       Local(u"\\\\?\\C:\\App\\app.exe"),
       {},
       {},
       kMissing,
       u"\\\\?\\C:\\App\\app.exe"},
      {"the fixed drive's root is absent", Local(app), {}, {{u"C:\\", kAbsent}}, kUnreachable, app},
      {"the fixed drive's root does not answer",
       Local(app),
       {},
       {{u"C:\\", kNoAnswer}},
       kUnreachable,
       app},
      {"the fixed drive's root cannot be told",
       Local(app),
       {},
       {{u"C:\\", kCannotTell}},
       kUnknown,
       app},
      {"the target does not answer", Local(app), {}, {{app, kNoAnswer}}, kUnreachable, app},
      {"the target cannot be told", Local(app), {}, {{app, kCannotTell}}, kUnknown, app},

      {"UNC, absent", Local(unc), {}, {}, kUnreachable, unc},
      {"UNC, cannot be told", Local(unc), {}, {{unc, kCannotTell}}, kUnreachable, unc},
      {"UNC, present", Local(unc), {}, {{unc, kPresent}}, kOk, unc},
      {"UNC in long-path form, absent",
       Local(u"\\\\?\\UNC\\server\\share\\a"),
       {},
       {},
       kUnreachable,
       u"\\\\?\\UNC\\server\\share\\a"},
      {"a mapped network drive, absent",
       Local(u"Z:\\a.exe"),
       {{u"Z:\\", Volume::kRemote}},
       {},
       kUnreachable,
       u"Z:\\a.exe"},
      {"a removable drive, absent",
       Local(u"E:\\a.exe"),
       {{u"E:\\", Volume::kRemovable}},
       {},
       kUnreachable,
       u"E:\\a.exe"},
      {"a removable drive, present",
       Local(u"E:\\a.exe"),
       {{u"E:\\", Volume::kRemovable}},
       {{u"E:\\a.exe", kPresent}},
       kOk,
       u"E:\\a.exe"},
      // A volume that is not a fixed drive answers for its root while the
      // target is not there: that proves nothing.
      {"a network share whose root answers",
       Local(unc),
       {},
       {{u"\\\\server\\share\\", kPresent}},
       kUnreachable,
       unc},
      {"a removable drive whose root answers",
       Local(u"E:\\a.exe"),
       {{u"E:\\", Volume::kRemovable}},
       {{u"E:\\", kPresent}},
       kUnreachable,
       u"E:\\a.exe"},
      {"an optical drive (a removable volume) whose root answers",
       Local(u"D:\\setup\\a.exe"),
       {{u"D:\\", Volume::kRemovable}},
       {{u"D:\\", kPresent}},
       kUnreachable,
       u"D:\\setup\\a.exe"},
      {"a drive that is not there",
       Local(u"Q:\\a.exe"),
       {{u"Q:\\", Volume::kAbsent}},
       {},
       kUnreachable,
       u"Q:\\a.exe"},
      {"a drive of another kind",
       Local(u"R:\\a.exe"),
       {{u"R:\\", Volume::kOther}},
       {},
       kUnreachable,
       u"R:\\a.exe"},

      {"relative", Local(u"app.exe"), {}, {}, kUnknown, u"app.exe"},
      {"from the current drive's root",
       Local(u"\\App\\app.exe"),
       {},
       {},
       kUnknown,
       u"\\App\\app.exe"},
      {"relative to a drive's current folder", Local(u"C:app.exe"), {}, {}, kUnknown, u"C:app.exe"},
      {"a lone drive", Local(u"C:"), {}, {}, kUnknown, u"C:"},
      {"a server without a share", Local(u"\\\\server"), {}, {}, kUnknown, u"\\\\server"},
      {"a device path", Local(u"\\\\.\\pipe\\app"), {}, {}, kUnknown, u"\\\\.\\pipe\\app"},
      {"forward slashes", Local(u"C:/App/app.exe"), {}, {}, kUnknown, u"C:/App/app.exe"},
      {"a character a code page lost",
       Local(u"C:\\App\\?.exe", true),
       {},
       {},
       kUnknown,
       u"C:\\App\\?.exe"},
      {"a NUL inside",
       Local(Text(u"C:\\a.exe\0.txt", 13)),
       {},
       {},
       kUnknown,
       Text(u"C:\\a.exe\0.txt", 13)},

      {"an environment target, expanded, preferred to the local path",
       {.readable = true,
        .environment_target = u"%ProgramFiles%\\App\\app.exe",
        .local_path = u"C:\\Old\\app.exe"},
       {},
       {{u"C:\\Old\\app.exe", kPresent}},
       kMissing,
       u"C:\\Program Files\\App\\app.exe"},
      {"an environment variable without a value",
       {.readable = true, .environment_target = u"%NoSuchVariable%\\app.exe", .local_path = app},
       {},
       {{app, kPresent}},
       kUnknown,
       u""},
      {"an ANSI environment target beyond ASCII, not found as read",
       {.readable = true,
        .environment_target = u"%ProgramFiles%\\Café\\app.exe",
        .ansi = {.environment_target = true}},
       {},
       {},
       kUnknown,
       u"C:\\Program Files\\Café\\app.exe"},
      {"an ANSI name beyond ASCII, not found as read",
       Local(u"C:\\Café\\app.exe", true),
       {},
       {},
       kUnknown,
       u"C:\\Café\\app.exe"},
      {"an ANSI name beyond ASCII, found",
       Local(u"C:\\Café\\app.exe", true),
       {},
       {{u"C:\\Café\\app.exe", kPresent}},
       kOk,
       u"C:\\Café\\app.exe"},
      {"an ANSI name in ASCII, absent", Local(app, true), {}, {}, kMissing, app},
      {"a Unicode name beyond ASCII, absent",
       Local(u"C:\\Café\\app.exe"),
       {},
       {},
       kMissing,
       u"C:\\Café\\app.exe"},
      {"the local path preferred to the network path",
       {.readable = true, .local_path = app, .network_path = unc},
       {},
       {},
       kMissing,
       app},
      {"a network path alone, on a mapped drive",
       {.readable = true, .network_path = u"Z:\\t.exe"},
       {{u"Z:\\", Volume::kRemote}},
       {},
       kUnreachable,
       u"Z:\\t.exe"},
      {"the item list's path when there is nothing else",
       {.readable = true, .id_list_path = app, .id_list = ShortcutFile::IdList::kFileSystem},
       {},
       {},
       kMissing,
       app},

      {"not readable", {.unreadable_why = u"the file is empty"}, {}, {}, kUnknown, u""},
      {"a shell item",
       {.readable = true, .id_list = ShortcutFile::IdList::kShellNamespace},
       {},
       {},
       kUnknown,
       u""},
      {"a file-system item list without a path",
       {.readable = true, .id_list = ShortcutFile::IdList::kFileSystem},
       {},
       {},
       kUnknown,
       u""},
      {"only a relative path",
       {.readable = true, .relative_path = u"app.exe"},
       {},
       {},
       kUnknown,
       u""},
      {"no target at all", {.readable = true}, {}, {}, kUnknown, u""},
  };
  for (const JudgeCase& c : cases) {
    SCOPED_TRACE(c.name);
    FakeTargetProbe probe;
    probe.variables = {{u"ProgramFiles", u"C:\\Program Files"}};
    probe.volumes = c.volumes;
    probe.answers = {{u"C:\\", kPresent}};
    for (const auto& [path, answer] : c.answers) probe.answers[path] = answer;
    const ShortcutTarget judged = JudgeShortcut(c.file, {.path = u"C:\\s.lnk"}, probe);
    EXPECT_EQ(StatusName(judged.status), StatusName(c.status));
    EXPECT_EQ(ToUtf8(judged.target), ToUtf8(c.target));
    EXPECT_EQ(judged.reason.empty(), judged.status == kOk) << ToUtf8(judged.reason);
    if (c.status == kMissing) {
      // The drive answered before its target was counted as missing.
      EXPECT_EQ(probe.probed, (std::vector<Text>{u"C:\\", c.target}));
    }
    if (c.answers.contains(c.target) && c.answers.at(c.target).presence == Presence::kCannotTell &&
        c.status == kUnknown) {
      EXPECT_NE(judged.reason.find(u"Access is denied."), Text::npos) << "the system's words";
    }
    if (c.status == kUnknown && judged.target.empty()) {
      EXPECT_TRUE(probe.probed.empty());
    }
  }
}

// A per-user variable means the place of the user whose folder holds the
// shortcut: judged in the running account's own folder, unknown elsewhere.
TEST(ShortcutStatusTest, PerUserVariablesAreJudgedOnlyInTheRunningAccountsOwnFolder) {
  struct Case {
    const char16_t* target;
    bool own_profile;
    ShortcutStatus status;
  };
  using enum ShortcutStatus;
  const Case cases[] = {
      {u"%LOCALAPPDATA%\\Programs\\App\\app.exe", true, kOk},
      {u"%LOCALAPPDATA%\\Programs\\App\\app.exe", false, kUnknown},
      {u"%UserProfile%\\app.exe", false, kUnknown},
      {u"%APPDATA%\\app.exe", false, kUnknown},
      {u"%SystemDrive%%HOMEPATH%\\app.exe", false, kUnknown},
      {u"%TEMP%\\app.exe", false, kUnknown},
      {u"%VENDOR_HOME%\\app.exe", false, kUnknown},  // any name not the machine's own
      {u"%SystemRoot%\\notepad.exe", false, kOk},
      {u"%windir%\\notepad.exe", false, kOk},
      {u"%ProgramFiles(x86)%\\App\\app.exe", false, kMissing},
      {u"%ProgramData%\\App\\app.exe", false, kMissing},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.target) + (c.own_profile ? " in the own folder" : " elsewhere"));
    FakeTargetProbe probe;
    probe.variables = {{u"LOCALAPPDATA", u"C:\\Users\\me\\AppData\\Local"},
                       {u"UserProfile", u"C:\\Users\\me"},
                       {u"APPDATA", u"C:\\Users\\me\\AppData\\Roaming"},
                       {u"SystemDrive", u"C:"},
                       {u"HOMEPATH", u"\\Users\\me"},
                       {u"TEMP", u"C:\\Temp"},
                       {u"VENDOR_HOME", u"C:\\Vendor"},
                       {u"SystemRoot", u"C:\\Windows"},
                       {u"windir", u"C:\\Windows"},
                       {u"ProgramFiles(x86)", u"C:\\Program Files (x86)"},
                       {u"ProgramData", u"C:\\ProgramData"}};
    probe.answers = {{u"C:\\", kPresent},
                     {u"C:\\Users\\me\\AppData\\Local\\Programs\\App\\app.exe", kPresent},
                     {u"C:\\Windows\\notepad.exe", kPresent}};
    const ShortcutTarget judged = JudgeShortcut(
        {.readable = true, .environment_target = c.target, .local_path = u"C:\\Old\\app.exe"},
        {u"C:\\s.lnk", c.own_profile, {}}, probe);
    EXPECT_EQ(StatusName(judged.status), StatusName(c.status)) << ToUtf8(judged.reason);
    if (c.status == kUnknown) {
      EXPECT_TRUE(probe.probed.empty());
    }
  }
}

// An advertised shortcut is as dead as its product: Windows Installer is
// asked, and only a product it says is not installed makes it missing.
TEST(ShortcutStatusTest, AnAdvertisedShortcutIsAsDeadAsItsProduct) {
  using Product = TargetProbe::Product;
  using enum ShortcutStatus;
  const Text product = u"{11111111-2222-3333-4444-555555555555}";
  struct Case {
    const char* name;
    bool decodes;
    TargetProbe::ProductAnswer answer;
    ShortcutStatus status;
  };
  const Case cases[] = {
      {"installed", true, {Product::kInstalled, {}}, kOk},
      {"not installed", true, {Product::kNotInstalled, {}}, kMissing},
      {"installed for another user", true, {Product::kOther, u"another user's"}, kUnknown},
      {"a descriptor that does not decode", false, {Product::kNotInstalled, {}}, kUnknown},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeTargetProbe probe;
    if (c.decodes) probe.advertised[u"C:\\Menu\\App.lnk"] = {product, u"Main", u"{C}"};
    probe.products[product] = c.answer;
    // A local path the file also names is not what the shortcut starts.
    const ShortcutTarget judged =
        JudgeShortcut({.readable = true, .advertised = true, .local_path = u"C:\\gone.exe"},
                      {u"C:\\Menu\\App.lnk", false, u"S-1-5-21-7"}, probe);
    EXPECT_EQ(StatusName(judged.status), StatusName(c.status)) << ToUtf8(judged.reason);
    EXPECT_TRUE(probe.probed.empty());
    if (!c.decodes) continue;
    EXPECT_EQ(probe.product_queries,
              (std::vector<std::pair<Text, Text>>{{product, u"S-1-5-21-7"}}));
    if (c.status == kOk) {
      EXPECT_EQ(judged.target, u"C:\\Installed\\" + product + u"\\{C}");
    } else {
      EXPECT_NE(judged.reason.find(product), Text::npos) << "names the product";
    }
  }
}

// What did not read is said beside any status; a promised block that did
// not read leaves nothing to judge.
TEST(ShortcutStatusTest, PartsThatDidNotReadAreSaidAndAnUnreadPromisedBlockIsUnknown) {
  FakeTargetProbe probe;
  probe.answers = {{u"C:\\", kPresent}, {u"C:\\App\\app.exe", kPresent}};
  ShortcutFile file = Local(u"C:\\App\\app.exe");
  file.rest_unread_why = u"the file is cut short";
  ShortcutTarget judged = JudgeShortcut(file, {.path = u"C:\\s.lnk"}, probe);
  EXPECT_EQ(judged.status, ShortcutStatus::kOk);
  EXPECT_NE(judged.reason.find(u"did not read: the file is cut short"), Text::npos);

  file.local_path = u"C:\\Gone\\app.exe";
  judged = JudgeShortcut(file, {.path = u"C:\\s.lnk"}, probe);
  EXPECT_EQ(judged.status, ShortcutStatus::kMissing);
  EXPECT_NE(judged.reason.find(u"the target is not there; the rest"), Text::npos);

  file.promised_block_unread = true;
  probe.probed.clear();
  EXPECT_EQ(JudgeShortcut(file, {.path = u"C:\\s.lnk"}, probe).status, ShortcutStatus::kUnknown);
  EXPECT_TRUE(probe.probed.empty());
}

}  // namespace
}  // namespace ostrevane
