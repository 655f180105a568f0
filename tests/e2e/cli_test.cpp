// End-to-end tests of the command line: the built ostrevane.exe from the
// release zip, run as its own process in the throwaway Wine prefix of the
// end-to-end tests, over Programs folders the tests fill; its output, error
// output and exit code read as a script reads them, and the folders and the
// Recycle Bin looked at on disk afterwards.
#include <windows.h>

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "support/shortcut_bytes.h"
#include "support/wine_host.h"
#include "win32/handles.h"
#include "win32/test_folders.h"
#include "win32/win_text.h"

namespace ostrevane {
namespace {

using testing::DosPathOf;
using testing::Environment;
using testing::NamesIn;
using testing::RunOnLinux;
using testing::ShellWord;
using testing::SpecialFolder;
using testing::UnixPathOf;
using win32::Wide;

struct CliRun {
  int exit_code = -1;
  std::string output;  // UTF-8, as written to the pipe
  std::string error;
};

// Starts a whole command line with standard output and error in the files
// named (when named); the process, or null.
HANDLE Start(Text command, const Text& output = {}, const Text& error = {}) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const auto open = [&](const Text& path) {
    return win32::UniqueFile(path.empty() ? INVALID_HANDLE_VALUE
                                          : CreateFileW(Wide(path), GENERIC_WRITE,
                                                        FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                        &inherit, CREATE_ALWAYS, 0, nullptr));
  };
  const win32::UniqueFile out = open(output), err = open(error == output ? Text() : error);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (out) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out.get();
    startup.hStdError = err ? err.get() : out.get();
  }
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, reinterpret_cast<wchar_t*>(command.data()), nullptr, nullptr, TRUE,
                      0, nullptr, nullptr, &startup, &process)) {
    ADD_FAILURE() << "cannot start " << ToUtf8(command);
    return nullptr;
  }
  CloseHandle(process.hThread);
  return process.hProcess;
}

// Waits for the process to end by itself (no box can keep it waiting); its exit code.
DWORD WaitFor(HANDLE process) {
  if (!process) return ~DWORD{0};
  EXPECT_EQ(WaitForSingleObject(process, 120000), WAIT_OBJECT_0);
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  return code;
}

std::string ReadFileText(const Text& path) {
  std::ostringstream text;
  text << std::ifstream(UnixPathOf(path), std::ios::binary).rdbuf();
  return text.str();
}

// A file name of its own in the temp folder.
Text TempFile(const char16_t* what) {
  static int counter = 0;
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  return win32::FromWide(temp) + u"ostrevane-cli-" + DecimalText(++counter) + u"-" + what;
}

Text CliCommand(const std::vector<Text>& arguments) {
  Text command = u"\"" + DosPathOf(Environment(L"OSTREVANE_E2E_CLI")) + u"\"";
  for (const Text& argument : arguments) command += u" \"" + argument + u"\"";
  return command;
}

// Runs ostrevane.exe with `arguments`; `data_home`, when given, replaces
// XDG_DATA_HOME, the folder that holds the Recycle Bin.
CliRun RunCli(const std::vector<Text>& arguments, const Text& data_home = Text()) {
  const Text output = TempFile(u"out"), error = TempFile(u"err");
  const Text own_data_home = Environment(L"XDG_DATA_HOME");
  if (!data_home.empty()) SetEnvironmentVariableW(L"XDG_DATA_HOME", Wide(data_home));
  const HANDLE process = Start(CliCommand(arguments), output, error);
  SetEnvironmentVariableW(L"XDG_DATA_HOME", Wide(own_data_home));
  CliRun run;
  run.exit_code = static_cast<int>(WaitFor(process));
  run.output = ReadFileText(output);
  run.error = ReadFileText(error);
  DeleteFileW(Wide(output));
  DeleteFileW(Wide(error));
  return run;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// A TSV line's fields, with "\\", "\t", "\n" and "\r" read back.
std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields(1);
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '\t') {
      fields.emplace_back();
    } else if (line[i] == '\\' && i + 1 < line.size()) {
      const char escaped = line[++i];
      fields.back() += escaped == 't'   ? '\t'
                       : escaped == 'n' ? '\n'
                       : escaped == 'r' ? '\r'
                                        : escaped;
    } else {
      fields.back() += line[i];
    }
  }
  return fields;
}

// The TSV rows by display name: root, kind, name, status, target, action, reason, system.
std::map<std::string, std::vector<std::string>> RowsByName(const std::string& tsv) {
  std::map<std::string, std::vector<std::string>> rows;
  const std::vector<std::string> lines = Lines(tsv);
  for (std::size_t i = 1; i < lines.size(); ++i) {
    std::vector<std::string> fields = Fields(lines[i]);
    if (fields.size() == 8) rows[fields[2]] = fields;
  }
  return rows;
}

void WriteBytes(const Text& path, const testing::Bytes& bytes) {
  std::ofstream(UnixPathOf(path), std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

void MakeShortcut(const Text& path, const Text& local_target) {
  testing::ShortcutContents contents;
  contents.link_info = testing::LinkInfoContents{local_target, {}, {}, {}, true};
  WriteBytes(path, testing::ShortcutBytes(contents));
}

class CommandLineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(Environment(L"OSTREVANE_E2E_CLI").empty()) << "run through tests/e2e/run";
    for (const Text& root : {user, all}) {
      CreateDirectoryW(Wide(root), nullptr);
      for (const Text& name : NamesIn(root)) testing::RemoveTree(root + u"\\" + name);
    }
    trash = DosPathOf(Environment(L"XDG_DATA_HOME")) + u"\\Trash\\files";
    // Its records too: a record left behind makes the trash rename what comes next.
    for (const Text& folder : {trash, Text(FolderPart(trash)) + u"\\info"}) {
      for (const Text& name : NamesIn(folder)) testing::RemoveTree(folder + u"\\" + name);
    }
  }

  // A shortcut to a file that is there, one to a file that is not, a folder.
  void MakeThree() {
    CreateDirectoryW(L"C:\\targets", nullptr);
    std::ofstream(UnixPathOf(u"C:\\targets\\present.txt")) << "here";
    MakeShortcut(user + u"\\Live.lnk", u"C:\\targets\\present.txt");
    MakeShortcut(user + u"\\Dead.lnk", u"C:\\targets\\gone\\app.exe");
    CreateDirectoryW(Wide(user + u"\\Tools"), nullptr);
    std::ofstream(UnixPathOf(user + u"\\Tools\\Editor.lnk")) << "x";
  }

  const Text user = SpecialFolder(CSIDL_PROGRAMS);
  const Text all = SpecialFolder(CSIDL_COMMON_PROGRAMS);
  Text trash;
};

TEST_F(CommandLineTest, EachShortcutGetsTheStatusOfItsTarget) {
  CreateDirectoryW(L"C:\\targets", nullptr);
  CreateDirectoryW(L"C:\\targets\\folder", nullptr);
  std::ofstream(UnixPathOf(u"C:\\targets\\present.txt")) << "here";
  MakeShortcut(user + u"\\Present file.lnk", u"C:\\targets\\present.txt");
  MakeShortcut(user + u"\\Present folder.lnk", u"C:\\targets\\folder");
  MakeShortcut(user + u"\\Missing file.lnk", u"C:\\targets\\gone\\app.exe");
  MakeShortcut(all + u"\\Absent drive.lnk", u"Q:\\apps\\app.exe");
  testing::ShortcutContents network;
  network.link_info =
      testing::LinkInfoContents{{}, u"\\\\no-such-server\\share", {}, u"app.exe", true};
  WriteBytes(all + u"\\Network.lnk", testing::ShortcutBytes(network));
  testing::ShortcutContents advertised;
  advertised.darwin = testing::TargetBlock{u"[Product]>Feature", u"[Product]>Feature"};
  advertised.link_info =
      testing::LinkInfoContents{u"C:\\Windows\\Installer\\gone.exe", {}, {}, {}, true};
  WriteBytes(all + u"\\Advertised.lnk", testing::ShortcutBytes(advertised));
  testing::ShortcutContents panel;
  panel.id_list = testing::Items{testing::RootFolderItem(testing::kControlPanelClsid)};
  WriteBytes(all + u"\\Control Panel.lnk", testing::ShortcutBytes(panel));
  std::ofstream(UnixPathOf(all + u"\\Garbage.lnk")) << "not a shortcut";

  const CliRun run = RunCli({u"list", u"--format", u"tsv"});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.error, "");
  ASSERT_FALSE(Lines(run.output).empty());
  EXPECT_EQ(Lines(run.output)[0], "root\tkind\tname\tstatus\ttarget\taction\treason\tsystem");
  const auto rows = RowsByName(run.output);
  const std::map<std::string, std::string> expected = {
      {"Present file", "ok"},          {"Present folder", "ok"},   {"Missing file", "missing"},
      {"Absent drive", "unreachable"}, {"Network", "unreachable"}, {"Advertised", "unknown"},
      {"Control Panel", "unknown"},    {"Garbage", "unknown"},
  };
  for (const auto& [name, status] : expected) {
    ASSERT_EQ(rows.count(name), 1u) << name << " in\n" << run.output;
    EXPECT_EQ(rows.at(name)[3], status) << name;
    EXPECT_EQ(rows.at(name)[5], "none") << name;
  }
  EXPECT_EQ(rows.at("Missing file")[4], "C:\\targets\\gone\\app.exe");
  EXPECT_EQ(rows.at("Network")[0], "all-users");
}

TEST_F(CommandLineTest, APreviewChangesNothingAndExitsWithOneWhenItWouldRecycle) {
  MakeThree();
  for (const std::vector<Text>& call : {std::vector<Text>{u"recycle", u"--broken"},
                                        std::vector<Text>{u"recycle", u"--broken", u"--dry-run"}}) {
    const CliRun run = RunCli(call);
    EXPECT_EQ(run.exit_code, 1) << run.output;
    EXPECT_EQ(run.error, "");
    EXPECT_NE(run.output.find("would-recycle"), std::string::npos) << run.output;
  }
  EXPECT_EQ(NamesIn(user), (std::vector<Text>{u"Dead.lnk", u"Live.lnk", u"Tools"}));
  EXPECT_TRUE(NamesIn(trash).empty());
  // Nothing broken: nothing to do.
  const CliRun clean = RunCli({u"recycle", u"--broken", u"--root", u"all-users"});
  EXPECT_EQ(clean.exit_code, 0);
}

TEST_F(CommandLineTest, RecycleWithYesMovesExactlyTheSelectedEntriesToTheRecycleBin) {
  MakeThree();
  MakeShortcut(all + u"\\Dead.lnk", u"C:\\targets\\gone\\app.exe");
  const CliRun run = RunCli({u"recycle", u"--broken", u"--root", u"user", u"--yes"});
  EXPECT_EQ(run.exit_code, 0) << run.output << run.error;
  EXPECT_EQ(run.error, "");
  EXPECT_EQ(NamesIn(user), (std::vector<Text>{u"Live.lnk", u"Tools"}));
  EXPECT_EQ(NamesIn(all), (std::vector<Text>{u"Dead.lnk"}));
  EXPECT_EQ(NamesIn(trash), (std::vector<Text>{u"Dead.lnk"}));
  const std::vector<std::string> lines = Lines(run.output);
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(lines.back().find("1 recycled"), std::string::npos) << run.output;
}

TEST_F(CommandLineTest, AWrongCallSaysWhatIsWrongOnOneLineAndChangesNothing) {
  MakeThree();
  for (const std::vector<Text>& call : {
           std::vector<Text>{u"recycle", u"--all", u"--yes", u"--dry-run"},
           std::vector<Text>{u"recycle", u"--yes"},
           std::vector<Text>{u"recycle", u"--all", u"--bogus", u"--yes"},
           std::vector<Text>{u"recycle", u"--name", u"No Such Entry", u"--yes"},
           std::vector<Text>{u"list", u"--contains", u""},
       }) {
    const CliRun run = RunCli(call);
    EXPECT_EQ(run.exit_code, 2) << ToUtf8(call.back());
    // Standard output's last line is still the summary.
    EXPECT_EQ(Lines(run.output).size(), 1u) << run.output;
    EXPECT_NE(run.output.find("Summary: a wrong call, nothing was done"), std::string::npos);
    const std::vector<std::string> lines = Lines(run.error);
    ASSERT_EQ(lines.size(), 1u) << run.error;
    EXPECT_NE(lines[0].find("help"), std::string::npos) << run.error;
  }
  EXPECT_EQ(NamesIn(user), (std::vector<Text>{u"Dead.lnk", u"Live.lnk", u"Tools"}));
  EXPECT_TRUE(NamesIn(trash).empty());
}

TEST_F(CommandLineTest, EntriesThisAccountMayNotRemoveStopTheRunUnlessSkipped) {
  MakeThree();
  MakeShortcut(all + u"\\Shared dead.lnk", u"C:\\targets\\gone\\app.exe");
  const std::string folder = ShellWord(UnixPathOf(all));
  const bool root = RunOnLinux("id -u") == "0\n";
  RunOnLinux("chmod -R a-w " + folder + (root ? " && chown -R 65534 " + folder : std::string()));
  struct Restore {
    std::string script;
    ~Restore() {
      try {
        RunOnLinux(script);
      } catch (const std::exception& e) {
        ADD_FAILURE() << e.what();
      }
    }
  } restore{(root ? "chown -R 0 " + folder + " && " : std::string()) + "chmod -R u+w " + folder};

  const CliRun denied = RunCli({u"recycle", u"--broken", u"--yes"});
  EXPECT_EQ(denied.exit_code, 4) << denied.output;
  EXPECT_EQ(NamesIn(user), (std::vector<Text>{u"Dead.lnk", u"Live.lnk", u"Tools"}));
  EXPECT_TRUE(NamesIn(trash).empty());

  const CliRun skipped = RunCli({u"recycle", u"--broken", u"--yes", u"--skip-denied"});
  EXPECT_EQ(skipped.exit_code, 3) << skipped.output;
  EXPECT_EQ(NamesIn(user), (std::vector<Text>{u"Live.lnk", u"Tools"}));
  EXPECT_EQ(NamesIn(all), (std::vector<Text>{u"Shared dead.lnk"}));
  EXPECT_NE(skipped.output.find("Shared dead"), std::string::npos);
}

TEST_F(CommandLineTest, WithoutARecycleBinNothingIsDeletedForGoodAndNoBoxWaits) {
  MakeThree();
  // A data folder that does not exist leaves Wine without a Recycle Bin: its
  // shell would ask before deleting for good, and nobody is there to answer.
  const CliRun run =
      RunCli({u"recycle", u"--broken", u"--yes"}, Environment(L"XDG_DATA_HOME") + u"/missing");
  EXPECT_EQ(run.exit_code, 3) << run.output;
  EXPECT_EQ(NamesIn(user), (std::vector<Text>{u"Dead.lnk", u"Live.lnk", u"Tools"}));
  EXPECT_NE(run.output.find("Recycle Bin cannot take it"), std::string::npos) << run.output;
}

void MakeAdvertised(const Text& path, const Text& descriptor) {
  testing::ShortcutContents contents;
  contents.darwin = testing::TargetBlock{descriptor, descriptor};
  WriteBytes(path, testing::ShortcutBytes(contents));
}

// The codes of tests/e2e/package/suite.wxs.
constexpr char kSuiteProduct[] = "0E5A7C3D-2B41-4F8E-9A6C-1D3F5B7E9A20";
constexpr char kSuiteComponent[] = "7C1E3A5B-9D2F-4B6A-8C0E-2F4A6B8D0C1E";

// Windows Installer is asked about an advertised shortcut: live while its
// product is installed (it repairs a missing file when started), dead once
// the product is removed, unknown when the descriptor does not decode.
TEST_F(CommandLineTest, AnAdvertisedShortcutIsAsDeadAsItsInstallerProduct) {
  const Text package = DosPathOf(Environment(L"OSTREVANE_E2E_SUITE_MSI"));
  ASSERT_EQ(WaitFor(Start(u"msiexec /i \"" + package + u"\" /qn")), 0u);
  const Text installed = u"C:\\Program Files\\Ostrevane Test Suite\\writer.txt";
  ASSERT_TRUE(testing::PathExists(installed)) << "wixl's package installed nothing";
  struct Uninstall {
    Text package;
    bool done = false;
    ~Uninstall() {
      if (!done) WaitFor(Start(u"msiexec /x \"" + package + u"\" /qn"));
    }
  } uninstall{package};

  MakeAdvertised(all + u"\\Writer.lnk",
                 testing::DarwinDescriptor(kSuiteProduct, u"Writer", kSuiteComponent));
  MakeAdvertised(
      all + u"\\Gone Suite.lnk",
      testing::DarwinDescriptor("11111111-2222-3333-4444-555555555555", u"Main", kSuiteComponent));
  MakeAdvertised(all + u"\\Garbled.lnk", u"not a descriptor at all");

  auto rows = RowsByName(RunCli({u"list", u"--format", u"tsv"}).output);
  ASSERT_EQ(rows.count("Writer"), 1u);
  EXPECT_EQ(rows.at("Writer")[3], "ok") << rows.at("Writer")[6];
  EXPECT_EQ(Lower(FromUtf8(rows.at("Writer")[4])), Lower(installed));
  EXPECT_EQ(rows.at("Gone Suite")[3], "missing");
  EXPECT_NE(rows.at("Gone Suite")[6].find("{11111111-2222-3333-4444-555555555555}"),
            std::string::npos)
      << rows.at("Gone Suite")[6];
  EXPECT_EQ(rows.at("Garbled")[3], "unknown");

  ASSERT_EQ(WaitFor(Start(u"msiexec /x \"" + package + u"\" /qn")), 0u);
  uninstall.done = true;
  ASSERT_FALSE(testing::PathExists(installed));
  rows = RowsByName(RunCli({u"list", u"--format", u"tsv"}).output);
  EXPECT_EQ(rows.at("Writer")[3], "missing") << rows.at("Writer")[6];
  EXPECT_EQ(rows.at("Garbled")[3], "unknown");
}

// Windows' own folders often hold nothing but desktop.ini: no rule takes
// them, and naming one is a wrong call unless asked for.
TEST_F(CommandLineTest, WindowsOwnFoldersAreTakenByNoRule) {
  const Text startup = SpecialFolder(CSIDL_STARTUP);
  const Text common_startup = SpecialFolder(CSIDL_COMMON_STARTUP);
  ASSERT_EQ(Lower(FolderPart(startup)), Lower(user)) << ToUtf8(startup);
  ASSERT_EQ(Lower(FolderPart(common_startup)), Lower(all)) << ToUtf8(common_startup);
  const std::string startup_name = ToUtf8(NamePart(startup));
  CreateDirectoryW(Wide(all + u"\\Maintenance"), nullptr);
  const std::u16string ini =
      u"\uFEFF[.ShellClassInfo]\r\nLocalizedResourceName=@%SystemRoot%\\system32\\shell32.dll,-"
      u"21761\r\n";
  std::ofstream(UnixPathOf(all + u"\\Maintenance\\desktop.ini"), std::ios::binary)
      .write(reinterpret_cast<const char*>(ini.data()),
             static_cast<std::streamsize>(ini.size() * 2));
  CreateDirectoryW(Wide(user + u"\\Empty Vendor"), nullptr);

  for (const std::vector<Text>& call : {std::vector<Text>{u"list", u"--empty", u"--format=tsv"},
                                        std::vector<Text>{u"list", u"--all", u"--format=tsv"}}) {
    const auto rows = RowsByName(RunCli(call).output);
    EXPECT_EQ(rows.count("Empty Vendor"), 1u) << ToUtf8(call[1]);
    for (const auto& [name, row] : rows) {
      EXPECT_EQ(name.find(startup_name), std::string::npos) << ToUtf8(call[1]);
      EXPECT_EQ(name.find("Maintenance"), std::string::npos) << ToUtf8(call[1]);
    }
  }
  const CliRun named = RunCli({u"recycle", u"--name", FromUtf8(startup_name), u"--yes"});
  EXPECT_EQ(named.exit_code, 2);
  EXPECT_NE(named.error.find("--include-system"), std::string::npos) << named.error;
  const auto included = RowsByName(
      RunCli({u"list", u"--name", FromUtf8(startup_name), u"--include-system", u"--format=tsv"})
          .output);
  EXPECT_EQ(included.size(), 2u);
  for (const auto& [name, row] : included) EXPECT_EQ(row[7], "yes") << name;

  EXPECT_EQ(RunCli({u"recycle", u"--empty", u"--yes"}).exit_code, 0);
  EXPECT_TRUE(testing::PathExists(startup));
  EXPECT_TRUE(testing::PathExists(common_startup));
  EXPECT_TRUE(testing::PathExists(all + u"\\Maintenance\\desktop.ini"));
  EXPECT_FALSE(testing::PathExists(user + u"\\Empty Vendor"));
  EXPECT_EQ(NamesIn(trash), std::vector<Text>{u"Empty Vendor"});
}

// The commonest leftover of an uninstall: a vendor's folder whose shortcuts
// all point into a program folder that is gone. A folder with one live
// shortcut stays.
TEST_F(CommandLineTest, ADeadVendorFolderIsRecycledWhileAFolderWithALiveShortcutStays) {
  CreateDirectoryW(L"C:\\targets", nullptr);
  std::ofstream(UnixPathOf(u"C:\\targets\\present.txt")) << "here";
  CreateDirectoryW(Wide(all + u"\\Vendor App"), nullptr);
  MakeShortcut(all + u"\\Vendor App\\App.lnk", u"C:\\targets\\removed\\app.exe");
  MakeShortcut(all + u"\\Vendor App\\Uninstall App.lnk", u"C:\\targets\\removed\\uninstall.exe");
  CreateDirectoryW(Wide(all + u"\\Suite"), nullptr);
  MakeShortcut(all + u"\\Suite\\Live.lnk", u"C:\\targets\\present.txt");
  MakeShortcut(all + u"\\Suite\\Dead.lnk", u"C:\\targets\\removed\\dead.exe");

  const CliRun run = RunCli({u"recycle", u"--broken", u"--yes", u"--format=tsv"});
  EXPECT_EQ(run.exit_code, 0) << run.output;
  const auto rows = RowsByName(run.output);
  ASSERT_EQ(rows.count("Vendor App"), 1u) << run.output;
  EXPECT_EQ(rows.at("Vendor App")[3], "missing");
  EXPECT_EQ(rows.at("Vendor App")[5], "recycled");
  EXPECT_EQ(rows.count("Suite"), 0u) << "not selected";
  EXPECT_EQ(NamesIn(all), std::vector<Text>{u"Suite"});
  EXPECT_EQ(NamesIn(all + u"\\Suite"), (std::vector<Text>{u"Dead.lnk", u"Live.lnk"}));
  EXPECT_EQ(NamesIn(trash), std::vector<Text>{u"Vendor App"});
}

void MakeDead(const Text& folder, int count) {
  for (int i = 0; i < count; ++i) {
    MakeShortcut(folder + u"\\Dead " + DecimalText(1000 + i) + u".lnk",
                 u"C:\\targets\\removed\\app" + DecimalText(i) + u".exe");
  }
}

// Fleet tools run a remediation twice at once now and then: both runs end
// well, and every entry reaches the Recycle Bin once.
TEST_F(CommandLineTest, TwoRunsAtOnceBothEndWellAndEachEntryIsRecycledOnce) {
  constexpr int kEntries = 300;
  MakeDead(user, kEntries);
  const Text first = TempFile(u"first.tsv"), second = TempFile(u"second.tsv");
  const std::vector<Text> call{u"recycle", u"--broken", u"--yes", u"--format=tsv"};
  HANDLE one = Start(CliCommand(call), first, first);
  HANDLE two = Start(CliCommand(call), second, second);
  EXPECT_EQ(WaitFor(one), 0u) << ReadFileText(first);
  EXPECT_EQ(WaitFor(two), 0u) << ReadFileText(second);
  std::size_t recycled = 0;
  for (const Text& output : {first, second}) {
    const std::string text = ReadFileText(output);
    DeleteFileW(Wide(output));
    EXPECT_EQ(text.find("\tfailed\t"), std::string::npos) << text;
    EXPECT_EQ(text.find("\trefused\t"), std::string::npos) << text;
    for (const auto& [name, row] : RowsByName(text)) recycled += row[5] == "recycled";
  }
  EXPECT_EQ(recycled, static_cast<std::size_t>(kEntries));
  EXPECT_TRUE(NamesIn(user).empty());
  const std::vector<Text> binned = NamesIn(trash);
  EXPECT_EQ(binned.size(), static_cast<std::size_t>(kEntries));
  EXPECT_EQ(binned.front(), u"Dead 1000.lnk");
  EXPECT_EQ(binned.back(), u"Dead 1299.lnk");
}

// A run killed part-way (a fleet tool's time limit) leaves a line for every
// entry it had dealt with.
TEST_F(CommandLineTest, ARunKilledPartWayLeavesEveryLineItReached) {
  MakeDead(user, 300);
  const Text output = TempFile(u"killed.tsv");
  HANDLE run =
      Start(CliCommand({u"recycle", u"--broken", u"--yes", u"--format=tsv"}), output, output);
  std::string text;
  for (int waited = 0; waited < 6000 && std::count(text.begin(), text.end(), '\n') < 21; ++waited) {
    Sleep(10);
    text = ReadFileText(output);
  }
  TerminateProcess(run, 1);
  WaitFor(run);
  text = ReadFileText(output);
  DeleteFileW(Wide(output));
  const auto rows = RowsByName(text);
  ASSERT_GE(rows.size(), 20u) << text;
  const std::vector<Text> binned = NamesIn(trash);
  EXPECT_LT(binned.size(), 300u) << "killed too late to tell";
  // Each line follows its entry's move: at most the entry in hand has no line yet.
  EXPECT_GE(binned.size(), rows.size());
  EXPECT_LE(binned.size(), rows.size() + 1);
  for (const auto& [name, row] : rows) {
    EXPECT_EQ(row[5], "recycled") << name;
    EXPECT_NE(std::find(binned.begin(), binned.end(), FromUtf8(name + ".lnk")), binned.end())
        << name;
  }
}

// Whether braces and brackets pair up outside strings: a document a JSON
// reader takes as one.
bool OneJsonDocument(const std::string& text) {
  std::string open;
  bool in_string = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (in_string) {
      if (c == '\\') ++i;
      if (c == '"') in_string = false;
    } else if (c == '"') {
      in_string = true;
    } else if (c == '{' || c == '[') {
      open += c;
    } else if (c == '}' || c == ']') {
      if (open.empty() || open.back() != (c == '}' ? '{' : '[')) return false;
      open.pop_back();
      if (open.empty()) return text.find_first_not_of("\r\n", i + 1) == std::string::npos;
    }
  }
  return false;
}

// With the all users' folder renamed away, the run fails, and still writes
// its JSON document, which says why.
TEST_F(CommandLineTest, AFailedRunStillWritesItsJsonDocument) {
  const Text renamed = all + u" (renamed)";
  ASSERT_TRUE(MoveFileW(Wide(all), Wide(renamed)));
  const CliRun run = RunCli({u"list", u"--format", u"json"});
  MoveFileW(Wide(renamed), Wide(all));
  EXPECT_EQ(run.exit_code, 9) << run.output;
  EXPECT_TRUE(OneJsonDocument(run.output)) << run.output;
  EXPECT_NE(run.output.find("\"internal_error\": \""), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("\"exit_code\": 9"), std::string::npos);
  EXPECT_NE(run.error.find("internal error"), std::string::npos) << run.error;

  const CliRun wrong = RunCli({u"LIST", u"--Format", u"JSON", u"--bogus"});
  EXPECT_EQ(wrong.exit_code, 2);
  EXPECT_TRUE(OneJsonDocument(wrong.output)) << wrong.output;
  EXPECT_NE(wrong.output.find("\"error\": \"unknown option"), std::string::npos) << wrong.output;
}

constexpr wchar_t kProfileList[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

// Adds a profile to the machine's profile list, as Windows adds one at a
// user's first logon; its key goes when the test ends.
class ListedProfile {
 public:
  ListedProfile(const Text& sid, const Text& folder)
      : key_(Text(reinterpret_cast<const char16_t*>(kProfileList)) + u"\\" + sid) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, Wide(key_), 0, nullptr, 0, KEY_WRITE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, L"ProfileImagePath", 0, REG_EXPAND_SZ,
                   reinterpret_cast<const BYTE*>(folder.c_str()),
                   static_cast<DWORD>((folder.size() + 1) * sizeof(char16_t)));
    RegCloseKey(key);
  }
  ListedProfile(const ListedProfile&) = delete;
  ListedProfile& operator=(const ListedProfile&) = delete;
  ~ListedProfile() { RegDeleteTreeW(HKEY_LOCAL_MACHINE, Wide(key_)); }

 private:
  Text key_;
};

// One run reaches every person's own Start Menu: each profile's dead
// shortcuts go, a profile whose folder is gone is said to be so, and the
// all users' folder is not touched.
TEST_F(CommandLineTest, EveryProfilesDeadShortcutsGoFromOneRun) {
  const Text programs = u"\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
  const ListedProfile alice(u"S-1-5-21-7-7-7-2001", u"C:\\users\\alice");
  const ListedProfile bob(u"S-1-5-21-7-7-7-2002", u"%SystemDrive%\\users\\bob");
  const ListedProfile carol(u"S-1-5-21-7-7-7-2003", u"C:\\users\\carol");
  CreateDirectoryW(L"C:\\targets", nullptr);
  std::ofstream(UnixPathOf(u"C:\\targets\\present.txt")) << "here";
  for (const char16_t* name : {u"alice", u"bob"}) {
    const Text folder = u"C:\\users\\" + Text(name) + programs;
    testing::RunOnLinux("mkdir -p " + ShellWord(UnixPathOf(u"C:\\users")) + "/" + ToUtf8(name) +
                        "/AppData/Roaming/Microsoft/Windows/'Start Menu'/Programs");
    MakeShortcut(folder + u"\\Dead " + name + u".lnk", u"C:\\targets\\removed\\app.exe");
    MakeShortcut(folder + u"\\Live.lnk", u"C:\\targets\\present.txt");
  }
  MakeShortcut(user + u"\\Dead mine.lnk", u"C:\\targets\\removed\\app.exe");
  MakeShortcut(all + u"\\Dead shared.lnk", u"C:\\targets\\removed\\app.exe");

  const CliRun listed = RunCli({u"list", u"--root", u"profiles"});
  EXPECT_EQ(listed.exit_code, 0) << listed.output << listed.error;
  EXPECT_NE(listed.output.find("Not walked: carol"), std::string::npos) << listed.output;
  EXPECT_NE(listed.output.find("the profile's folder is gone"), std::string::npos);

  const CliRun run =
      RunCli({u"recycle", u"--root", u"profiles", u"--broken", u"--yes", u"--format=tsv"});
  EXPECT_EQ(run.exit_code, 0) << run.output << run.error;
  const auto rows = RowsByName(run.output);
  ASSERT_EQ(rows.size(), 3u) << run.output;
  EXPECT_EQ(rows.at("Dead alice")[0], "alice");
  EXPECT_EQ(rows.at("Dead bob")[0], "bob");
  for (const auto& [name, row] : rows) EXPECT_EQ(row[5], "recycled") << name;
  for (const char16_t* name : {u"alice", u"bob"}) {
    EXPECT_EQ(NamesIn(u"C:\\users\\" + Text(name) + programs), std::vector<Text>{u"Live.lnk"});
  }
  EXPECT_TRUE(NamesIn(user).empty());
  EXPECT_EQ(NamesIn(all), std::vector<Text>{u"Dead shared.lnk"});
  EXPECT_EQ(NamesIn(trash),
            (std::vector<Text>{u"Dead alice.lnk", u"Dead bob.lnk", u"Dead mine.lnk"}));
  testing::RunOnLinux("rm -rf " + ShellWord(UnixPathOf(u"C:\\users\\alice")) + " " +
                      ShellWord(UnixPathOf(u"C:\\users\\bob")));
}

}  // namespace
}  // namespace ostrevane
