#include "win32/target_probe_win32.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <atomic>
#include <memory>

#include "catalogue/shortcut_file.h"
#include "support/shortcut_bytes.h"
#include "win32/file_reader_win32.h"
#include "win32/account.h"
#include "win32/handles.h"
#include "win32/win_text.h"
#include "test_folders.h"
#include "win32/system_error.h"

namespace ostrevane {
namespace {

using testing::Bytes;
using testing::LinkInfoContents;
using testing::ShortcutBytes;
using testing::TargetBlock;
using testing::TempFolder;
using win32::Wide;
using win32::Win32FileReader;
using win32::Win32TargetProbe;
using Presence = TargetProbe::Presence;
using Volume = TargetProbe::Volume;

constexpr std::size_t kShortcutLimit = 1 << 20;

std::string_view AsChars(const Bytes& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

template <typename Interface>
struct ComRelease {
  void operator()(Interface* object) const { object->Release(); }
};
template <typename Interface>
using ComOwner = std::unique_ptr<Interface, ComRelease<Interface>>;

// A shortcut to `target` as Wine's own shell link object writes it.
void SaveShellLink(const Text& shortcut, const Text& target) {
  IShellLinkW* link = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                             reinterpret_cast<void**>(&link)),
            S_OK);
  const ComOwner<IShellLinkW> owned_link(link);
  ASSERT_TRUE(SUCCEEDED(link->SetPath(Wide(target))));  // S_FALSE for a path that is not there
  IPersistFile* file = nullptr;
  ASSERT_EQ(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)), S_OK);
  const ComOwner<IPersistFile> owned_file(file);
  ASSERT_EQ(file->Save(Wide(shortcut), TRUE), S_OK);
}

// What the end-to-end tests of the command line do not show already: names
// beyond the code page, long paths, environment targets, and the shortcuts
// Wine's own shell writes.
TEST(ShortcutProbeWin32Test, JudgesShortcutFilesWithTheSystemsAnswers) {
  const win32::ScopedComInit com(COINIT_APARTMENTTHREADED);
  TempFolder folder;
  const Text file = folder.MakeFile(u"app.exe");
  const Text subfolder = folder.MakeFolder(u"Data");
  const Text unicode_file = folder.MakeFile(u"Ünïcødé ✓ 日本.exe");
  const Text missing = folder.path() + u"\\gone.exe";
  // A file at a path longer than MAX_PATH, named with a ".." on the way.
  const Text long_name(100, u'l');
  const Text long_folder = folder.path() + u"\\" + long_name + u"\\" + long_name;
  ASSERT_TRUE(CreateDirectoryW(Wide(u"\\\\?\\" + folder.path() + u"\\" + long_name), nullptr));
  ASSERT_TRUE(CreateDirectoryW(Wide(u"\\\\?\\" + long_folder), nullptr));
  const Text long_file = long_folder + u"\\" + long_name + u".exe";
  const win32::UniqueFile made(CreateFileW(Wide(u"\\\\?\\" + long_file), GENERIC_WRITE, 0, nullptr,
                                           CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(made);
  const Text long_target = long_folder + u"\\..\\" + long_name + u"\\" + long_name + u".exe";

  struct Case {
    ShortcutStatus expected;
    const char* what;
    Bytes bytes;          // the shortcut's bytes, when not written by the shell
    Text shell_target{};  // the target the shell's link object is given
  };
  using enum ShortcutStatus;
  const auto local = [](const Text& path) {
    return ShortcutBytes({.link_info = LinkInfoContents{.local_base_path = path, .unicode = true}});
  };
  const auto environment = [](const Text& target) {
    return ShortcutBytes({.environment = TargetBlock{u"", target}});
  };
  const Case cases[] = {
      {kOk, "a present file named beyond the code page", local(unicode_file)},
      {kOk, "a present file at a long path", local(long_target)},
      {kMissing, "a missing file on C:", local(missing)},
      {kOk, "an environment target", environment(u"%WINDIR%\\notepad.exe")},
      {kUnknown, "a variable without a value",
       environment(u"%WINDIR%\\%OSTREVANE_UNSET%\\gone.exe")},
      {kOk, "the shell's shortcut to a present file", {}, file},
      {kOk, "the shell's shortcut to a present folder", {}, subfolder},
      {kMissing, "the shell's shortcut to a missing file", {}, missing},
      {kUnknown,
       "the shell's advertised shortcut",
       {},
       u"::{9db1186e-40df-11d1-aa8c-00c04fb67863}:X::"},
  };

  Win32TargetProbe probe;
  Win32FileReader reader;
  int number = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Text shortcut = folder.path() + u"\\" + DecimalText(++number) + u".lnk";
    if (c.shell_target.empty()) {
      folder.MakeFile(DecimalText(number) + u".lnk", AsChars(c.bytes));
    } else {
      SaveShellLink(shortcut, c.shell_target);
    }
    const ShortcutFile read = ReadShortcutFile(reader.ReadStart(shortcut, kShortcutLimit));
    const ShortcutTarget judged = JudgeShortcut(read, {.path = shortcut}, probe);
    EXPECT_EQ(ToUtf8(StatusName(judged.status)), ToUtf8(StatusName(c.expected)))
        << ToUtf8(judged.target) << ": " << ToUtf8(judged.reason);
  }

  DeleteFileW(Wide(u"\\\\?\\" + long_file));
  RemoveDirectoryW(Wide(u"\\\\?\\" + long_folder));
}

// What the system answers, as the status rule reads it: an optical drive
// is removable, and only a product Windows Installer does not know is not
// installed.
TEST(ShortcutProbeWin32Test, TheSystemsAnswersAreReadAsTheRuleNeeds) {
  using Volume = TargetProbe::Volume;
  const std::pair<UINT, Volume> drives[] = {
      {DRIVE_FIXED, Volume::kFixed},         {DRIVE_REMOTE, Volume::kRemote},
      {DRIVE_REMOVABLE, Volume::kRemovable}, {DRIVE_CDROM, Volume::kRemovable},
      {DRIVE_NO_ROOT_DIR, Volume::kAbsent},  {DRIVE_RAMDISK, Volume::kOther},
      {DRIVE_UNKNOWN, Volume::kOther},
  };
  for (const auto& [type, volume] : drives)
    EXPECT_EQ(win32::VolumeOfDriveType(type), volume) << type;
  using Product = TargetProbe::Product;
  const std::pair<INT, Product> states[] = {
      {5 /* INSTALLSTATE_DEFAULT */, Product::kInstalled},
      {-1 /* INSTALLSTATE_UNKNOWN */, Product::kNotInstalled},
      {1 /* INSTALLSTATE_ADVERTISED */, Product::kOther},
      {2 /* INSTALLSTATE_ABSENT: another user's */, Product::kOther},
      {-2 /* INSTALLSTATE_INVALIDARG */, Product::kOther},
      {3, Product::kOther},
  };
  for (const auto& [state, product] : states) {
    EXPECT_EQ(win32::ProductAnswerOf(state).state, product) << state;
  }
}

TEST(ShortcutProbeWin32Test, ExpandsOnlyWhenEveryVariableHasAValue) {
  ASSERT_TRUE(SetEnvironmentVariableW(L"OSTREVANE_EMPTY", L""));
  const Text long_value(3000, u'v');
  ASSERT_TRUE(SetEnvironmentVariableW(L"OSTREVANE_LONG", Wide(long_value)));
  wchar_t windows[MAX_PATH] = {};
  ASSERT_NE(GetEnvironmentVariableW(L"WINDIR", windows, MAX_PATH), 0u);
  const Text windir = win32::FromWide(windows);

  const struct {
    Text text;
    std::optional<Text> expanded;
  } cases[] = {
      {u"%WINDIR%\\notepad.exe", windir + u"\\notepad.exe"},
      {u"%windir%\\%OSTREVANE_EMPTY%notepad.exe", windir + u"\\notepad.exe"},
      {u"%OSTREVANE_LONG%\\%OSTREVANE_LONG%", long_value + u"\\" + long_value},
      {u"C:\\100%\\x.exe", u"C:\\100%\\x.exe"},
      {u"%OSTREVANE_UNSET%\\x.exe", std::nullopt},
      {u"%WINDIR%\\%OSTREVANE_UNSET%\\x.exe", std::nullopt},
  };
  Win32TargetProbe probe;
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.text));
    EXPECT_EQ(probe.ExpandEnvironment(c.text), c.expanded);
  }
  SetEnvironmentVariableW(L"OSTREVANE_EMPTY", nullptr);
  SetEnvironmentVariableW(L"OSTREVANE_LONG", nullptr);
}

// Stand-ins for the calls that can block: a call about a path through a
// folder named "hang", or about the kind of drive H:, waits until the test
// lets it return, as a call about a dead server or drive does on Windows.
class HangingCalls : public ::testing::Test {
 protected:
  static constexpr DWORD kLimitMs = 300;

  void SetUp() override { ResetEvent(release_.get()); }
  void TearDown() override { SetEvent(release_.get()); }

  static DWORD WINAPI Attributes(LPCWSTR path) {
    if (!wcsstr(path, L"\\hang\\")) return GetFileAttributesW(path);
    ++hung_calls_;
    WaitForSingleObject(release_.get(), INFINITE);
    SetLastError(ERROR_BAD_NETPATH);
    return INVALID_FILE_ATTRIBUTES;
  }
  static UINT WINAPI DriveType(LPCWSTR root) {
    ++drive_type_calls_;
    if (root[0] != L'H') return GetDriveTypeW(root);
    WaitForSingleObject(release_.get(), INFINITE);
    return DRIVE_NO_ROOT_DIR;
  }

  // How long `probe.Probe(path)` took, in milliseconds, and what it answered.
  static std::pair<ULONGLONG, Presence> Timed(Win32TargetProbe& probe, const Text& path) {
    const ULONGLONG start = GetTickCount64();
    const Presence presence = probe.Probe(path).presence;
    return {GetTickCount64() - start, presence};
  }

  static inline win32::UniqueKernelHandle release_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  static inline std::atomic<int> hung_calls_ = 0, drive_type_calls_ = 0;
  const win32::VolumeCalls calls_{&Attributes, &DriveType};
  TempFolder folder_;
  const Text present_ = folder_.MakeFile(u"app.exe");
};

TEST_F(HangingCalls, AShareThatHungAnswersAtOnceAfterwardsAndOtherPathsStillAnswer) {
  hung_calls_ = 0;
  const ULONGLONG start = GetTickCount64();
  {
    Win32TargetProbe probe(kLimitMs, calls_);
    const auto [first_ms, first] = Timed(probe, u"\\\\server\\hang\\a.exe");
    EXPECT_EQ(first, Presence::kNoAnswer);
    EXPECT_GE(first_ms, kLimitMs - 20);  // the tick counter's steps
    const auto [again_ms, again] = Timed(probe, u"\\\\SERVER\\Hang\\other\\b.exe");
    EXPECT_EQ(again, Presence::kNoAnswer);
    EXPECT_LT(again_ms, kLimitMs / 2);
    EXPECT_EQ(Timed(probe, present_).second, Presence::kPresent);
    EXPECT_EQ(hung_calls_, 1);
  }  // gone while its first worker is still stuck
  EXPECT_LT(GetTickCount64() - start, 3 * kLimitMs);
  SetEvent(release_.get());
  Sleep(50);  // the stuck worker returns into a probe that is gone
}

TEST_F(HangingCalls, BelowARootThatAnsweredOnlyTheFolderThatHungIsGivenUp) {
  Win32TargetProbe probe(kLimitMs, calls_);
  ASSERT_EQ(probe.VolumeOf(u"C:\\"), Volume::kFixed);
  ASSERT_EQ(probe.Probe(u"C:\\").presence, Presence::kPresent);
  const Text hang = folder_.path() + u"\\hang";
  EXPECT_EQ(Timed(probe, hang + u"\\a.exe").second, Presence::kNoAnswer);
  const auto [again_ms, again] = Timed(probe, hang + u"\\b.exe");
  EXPECT_EQ(again, Presence::kNoAnswer);
  EXPECT_LT(again_ms, kLimitMs / 2);
  EXPECT_EQ(probe.Probe(u"C:\\").presence, Presence::kPresent);
  EXPECT_EQ(probe.Probe(present_).presence, Presence::kPresent);
  EXPECT_EQ(probe.Probe(folder_.path() + u"\\gone.exe").presence, Presence::kAbsent);
}

TEST_F(HangingCalls, DriveKindsAreAskedOnceAndADriveThatHungAnswersAtOnce) {
  drive_type_calls_ = 0;
  Win32TargetProbe probe(kLimitMs, calls_);
  EXPECT_EQ(probe.VolumeOf(u"C:\\"), Volume::kFixed);
  EXPECT_EQ(probe.VolumeOf(u"c:\\"), Volume::kFixed);
  EXPECT_EQ(probe.VolumeOf(u"\\\\server\\share\\"), Volume::kRemote);
  EXPECT_EQ(drive_type_calls_, 1);

  EXPECT_EQ(probe.VolumeOf(u"H:\\"), Volume::kOther);
  const auto [probe_ms, presence] = Timed(probe, u"H:\\app.exe");
  EXPECT_EQ(presence, Presence::kNoAnswer);
  EXPECT_LT(probe_ms, kLimitMs / 2);
  EXPECT_EQ(probe.VolumeOf(u"H:\\"), Volume::kOther);
  EXPECT_EQ(drive_type_calls_, 2);
}

TEST(FileReaderWin32Test, ReadsUpToTheLimitWhileOthersHoldTheFileOpen) {
  TempFolder folder;
  std::string contents(200'000, '\0');
  for (std::size_t i = 0; i < contents.size(); ++i) {
    contents[i] = static_cast<char>(i * 7 + i / 251);  // no period that a misplaced read matches
  }
  const Text big = folder.MakeFile(u"big.lnk", contents);
  const Text small = folder.MakeFile(u"small.lnk", std::string_view(contents).substr(0, 100));
  const win32::UniqueFile held(CreateFileW(Wide(big), GENERIC_READ | GENERIC_WRITE | DELETE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(held);

  const struct {
    Text path;
    std::size_t limit, expected_size;
  } cases[] = {
      {small, kShortcutLimit, 100}, {small, 100, 100}, {small, 0, 0},
      {big, 150'000, 150'000},      {big, 4097, 4097}, {big, kShortcutLimit, 200'000},
  };
  Win32FileReader reader;
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(NamePart(c.path)) + " up to " + std::to_string(c.limit));
    const std::vector<std::uint8_t> bytes = reader.ReadStart(c.path, c.limit);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), contents.substr(0, c.expected_size));
  }
}

TEST(FileReaderWin32Test, WhatCannotBeReadFailsInTheSystemsWords) {
  TempFolder folder;
  Win32FileReader reader;
  try {
    reader.ReadStart(folder.path() + u"\\gone.lnk", kShortcutLimit);
    FAIL() << "a missing file was read";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.description(), win32::SystemErrorText(ERROR_FILE_NOT_FOUND));
  }
  EXPECT_THROW(reader.ReadStart(folder.MakeFolder(u"Folder.lnk"), kShortcutLimit), Failure);
}

TEST(RunningAsSystemTest, ATestRunsAsAUserNotAsTheSystem) {
  EXPECT_FALSE(win32::RunningAsSystem());
}

}  // namespace
}  // namespace ostrevane
