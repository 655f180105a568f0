#include "win32/recycler_win32.h"

#include <shellapi.h>
#include <winternl.h>

#include <atomic>
#include <optional>
#include <thread>
#include <vector>

#include "win32/win_text.h"

namespace ostrevane::win32 {
namespace {

NotMoved Refused(NotMoved::Why why, Text detail = Text()) {
  return NotMoved{why, std::move(detail)};
}
NotMoved CannotTell(DWORD error) {
  return Refused(NotMoved::Why::kCannotTell, SystemErrorText(error));
}

bool IsNotFound(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
         error == ERROR_NO_MORE_FILES;
}

// The file system matches these as patterns, so a path holding one may name
// more than one entry.
bool HasWildcard(const Text& path) { return path.find_first_of(u"*?<>\"") != Text::npos; }

// What a search of the entry's folder finds for `full_path`. Without a
// wildcard in the name it finds one entry at most, but not always one named
// exactly so: it also matches a short (8.3) name, and under Wine, when the
// exact name is not there, a name that differs only in letter case.
struct Found {
  std::optional<WIN32_FIND_DATAW> data;
  DWORD error = ERROR_SUCCESS;  // when the search itself failed
};
Found FindEntry(const Text& full_path) {
  WIN32_FIND_DATAW data{};
  const UniqueFind find(FindFirstFileW(Wide(full_path), &data));
  if (find) return {data};
  const DWORD error = GetLastError();
  return {std::nullopt, IsNotFound(error) ? ERROR_SUCCESS : error};
}

// Whether the search gave the entry named exactly as the path's last part:
// code unit by code unit, letter case included.
bool NamedExactly(const WIN32_FIND_DATAW& data, const Text& full_path) {
  return FromWide(data.cFileName) == Text(NamePart(full_path));
}

// Why the path does not reach an entry of exactly its name: none is there, a
// namesake in another letter case is, or the name is only another entry's
// short name. None when the search finds the entry itself.
std::optional<NotMoved> WhyNotNamedExactly(const Text& full_path) {
  const Found found = FindEntry(full_path);
  if (found.error != ERROR_SUCCESS) return CannotTell(found.error);
  if (!found.data) return Refused(NotMoved::Why::kGone);
  if (NamedExactly(*found.data, full_path)) return std::nullopt;
  const Text name(NamePart(full_path));
  const Text other = FromWide(found.data->cFileName);
  if (other.size() == name.size() && Lower(other) == Lower(name)) {
    return Refused(NotMoved::Why::kOtherCase, other);
  }
  return Refused(NotMoved::Why::kShortName, other);
}

// Drops the prefix that marks a path as taken literally.
Text WithoutLiteralPrefix(Text path) {
  if (path.rfind(u"\\\\?\\UNC\\", 0) == 0) return u"\\\\" + path.substr(8);
  if (path.rfind(u"\\\\?\\", 0) == 0) return path.substr(4);
  return path;
}

std::optional<Text> FinalPathOf(HANDLE handle) {
  const std::optional<Text> path = FillGrowing<Text>([&](Text& buffer, DWORD size) {
    return GetFinalPathNameByHandleW(handle, Wide(buffer), size, 0);
  });
  if (!path) return std::nullopt;
  return WithoutLiteralPrefix(*path);
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Opens the entry itself: on Windows a link, junction or mount point is not
// followed (Wine follows a Linux link all the same), and a folder opens like
// a file.
UniqueFile OpenEntry(const Text& path, DWORD access) {
  return UniqueFile(CreateFileW(Wide(path), access, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                nullptr));
}

// Where a link leads, followed to its end; empty when it leads nowhere that
// opens.
Text WhereItLeads(const Text& path) {
  const UniqueFile handle(CreateFileW(Wide(path), 0, kShareAll, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!handle) return Text();
  return FinalPathOf(handle.get()).value_or(Text());
}

bool RunningUnderWine() {
  static const bool wine = [] {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
  }();
  return wine;
}

// Answers No to every question a box of this process asks while it lives:
// with nobody to answer, the shell's offer to delete for good what the
// Recycle Bin cannot take is declined, and the entry stays.
class ShellQuestionRefuser {
 public:
  ShellQuestionRefuser() : watcher_([this] { Watch(); }) {}
  ShellQuestionRefuser(const ShellQuestionRefuser&) = delete;
  ShellQuestionRefuser& operator=(const ShellQuestionRefuser&) = delete;
  ~ShellQuestionRefuser() {
    stop_ = true;
    watcher_.join();
  }
  bool Answered() const { return answered_; }

 private:
  void Watch() {
    while (!stop_) {
      EnumWindows(&ShellQuestionRefuser::Visit, reinterpret_cast<LPARAM>(this));
      Sleep(10);
    }
  }
  static BOOL CALLBACK Visit(HWND window, LPARAM self_pointer) {
    auto* self = reinterpret_cast<ShellQuestionRefuser*>(self_pointer);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t class_name[16] = {};
    GetClassNameW(window, class_name, 16);
    if (process != GetCurrentProcessId() || Text(FromWide(class_name)) != u"#32770") return TRUE;
    self->answered_ = true;
    // No where the box asks Yes or No; Cancel, and closing, where it asks otherwise.
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    PostMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
  }

  std::atomic<bool> stop_{false};
  std::atomic<bool> answered_{false};
  std::thread watcher_;
};

constexpr SECURITY_INFORMATION kOwnerGroupAndAccess =
    OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;

// A security descriptor read by `read(buffer, size, &needed)`; empty when it
// cannot be read.
template <typename Read>
std::vector<BYTE> ReadSecurity(Read&& read) {
  const auto fill = [&](std::vector<BYTE>& buffer, DWORD size) -> DWORD {
    DWORD needed = 0;
    if (read(buffer.data(), size, &needed)) return GetSecurityDescriptorLength(buffer.data());
    return GetLastError() == ERROR_INSUFFICIENT_BUFFER ? std::max(needed, size) : 0;
  };
  return FillGrowing<std::vector<BYTE>>(fill, 512).value_or(std::vector<BYTE>());
}

// Whether a file's or folder's security grants the token `access`; none when
// that cannot be told.
std::optional<bool> Grants(std::vector<BYTE> security, HANDLE token, DWORD access) {
  if (security.empty() || !token) return std::nullopt;
  GENERIC_MAPPING mapping{FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE,
                          FILE_ALL_ACCESS};
  PRIVILEGE_SET privileges{};
  DWORD privileges_size = sizeof privileges;
  DWORD granted = 0;
  BOOL status = FALSE;
  if (!AccessCheck(security.data(), token, access, &mapping, &privileges, &privileges_size,
                   &granted, &status)) {
    return std::nullopt;
  }
  return status && (granted & access) == access;
}

std::optional<bool> EntryGrants(HANDLE entry, HANDLE token, DWORD access) {
  return Grants(ReadSecurity([&](BYTE* buffer, DWORD size, DWORD* needed) {
                  return GetKernelObjectSecurity(entry, kOwnerGroupAndAccess, buffer, size, needed);
                }),
                token, access);
}

std::optional<bool> PathGrants(const Text& path, HANDLE token, DWORD access) {
  return Grants(ReadSecurity([&](BYTE* buffer, DWORD size, DWORD* needed) {
                  return GetFileSecurityW(Wide(path), kOwnerGroupAndAccess, buffer, size, needed);
                }),
                token, access);
}

// The shell's own result codes (DE_* and ERRORONDEST), which no system
// header defines. They overlap Win32 error numbers and must be read first.
enum ShellResult : int {
  kDeSameFile = 0x71,
  kDeManySrc1Dest = 0x72,
  kDeDiffDir = 0x73,
  kDeRootDir = 0x74,
  kDeOpCancelled = 0x75,
  kDeDestSubtree = 0x76,
  kDeAccessDeniedSrc = 0x78,
  kDePathTooDeep = 0x79,
  kDeManyDest = 0x7A,
  kDeInvalidFiles = 0x7C,
  kDeDestSameTree = 0x7D,
  kDeFldDestIsFile = 0x7E,
  kDeFileDestIsFld = 0x80,
  kDeFileNameTooLong = 0x81,
  kDeDestIsCdrom = 0x82,
  kDeDestIsDvd = 0x83,
  kDeDestIsCdRecord = 0x84,
  kDeFileTooLarge = 0x85,
  kDeSrcIsCdrom = 0x86,
  kDeSrcIsDvd = 0x87,
  kDeSrcIsCdRecord = 0x88,
  kDeErrorMax = 0xB7,
  kDeUnknownError = 0x402,
  kErrorOnDest = 0x10000,
  kDeRootDirOnDest = kErrorOnDest | kDeRootDir,
};

}  // namespace

Text ShellOperationErrorText(int result) {
  switch (result) {
    case kDeSameFile:
      return u"The source and the destination are the same file.";
    case kDeManySrc1Dest:
      return u"Several source files were given for a single destination file.";
    case kDeDiffDir:
      return u"The source and the destination are in different folders.";
    case kDeRootDir:
      return u"The source is a root folder, which cannot be moved or renamed.";
    case kDeOpCancelled:
      return u"The operation was cancelled.";
    case kDeDestSubtree:
      return u"The destination is a subfolder of the source.";
    case kDeAccessDeniedSrc:
      return u"Access to the source was denied.";
    case kDePathTooDeep:
      return u"The path is longer than the shell can handle.";
    case kDeManyDest:
      return u"Several destinations were given.";
    case kDeInvalidFiles:
      return u"The path is not valid.";
    case kDeDestSameTree:
      return u"The source and the destination are the same folder.";
    case kDeFldDestIsFile:
      return u"A folder was to replace a file of the same name.";
    case kDeFileDestIsFld:
      return u"A file was to replace a folder of the same name.";
    case kDeFileNameTooLong:
      return u"The name is too long.";
    case kDeDestIsCdrom:
    case kDeDestIsDvd:
    case kDeDestIsCdRecord:
      return u"The destination is a read-only disc.";
    case kDeFileTooLarge:
      return u"The file is too large for the destination.";
    case kDeSrcIsCdrom:
    case kDeSrcIsDvd:
    case kDeSrcIsCdRecord:
      return u"The source is on a read-only disc.";
    case kDeErrorMax:
      return u"A path grew longer than the shell can handle during the operation.";
    case kDeUnknownError:
      return u"An unknown error occurred, usually because a path is not valid.";
    case kErrorOnDest:
      return u"An unspecified error occurred at the destination.";
    case kDeRootDirOnDest:
      return u"The destination is a root folder, which cannot be renamed.";
    default:
      return SystemErrorText(static_cast<DWORD>(result));
  }
}
Win32Recycler::FileSystemId Win32Recycler::FileSystemOf(HANDLE handle) {
  // The size of the file system, which the system reads from the file
  // system itself: two file systems of one size are rare, and asking a
  // volume for its serial number costs more under Wine than the whole move.
  struct {
    LARGE_INTEGER total_units, free_units;
    ULONG sectors_per_unit, bytes_per_sector;
  } size{};
  IO_STATUS_BLOCK status{};
  if (NtQueryVolumeInformationFile(handle, &status, &size, sizeof size, FileFsSizeInformation) !=
      0) {
    return {};
  }
  return {size.total_units.QuadPart, size.sectors_per_unit * size.bytes_per_sector};
}

const Win32Recycler::ResolvedFolder* Win32Recycler::Folder(const Text& folder_path, bool afresh) {
  const DWORD attributes = GetFileAttributesW(Wide(folder_path));
  if (afresh || !folder_ || folder_->path != folder_path || folder_->attributes != attributes ||
      attributes == INVALID_FILE_ATTRIBUTES) {
    folder_.reset();
    const UniqueFile handle(CreateFileW(Wide(folder_path), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle) return nullptr;
    std::optional<Text> final_path = FinalPathOf(handle.get());
    if (!final_path) return nullptr;
    folder_ =
        ResolvedFolder{folder_path, std::move(*final_path), FileSystemOf(handle.get()), attributes};
  }
  return &*folder_;
}

HANDLE Win32Recycler::Token() {
  if (!token_tried_) {
    token_tried_ = true;
    HANDLE process_token = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY, &process_token)) {
      const UniqueKernelHandle owned(process_token);
      HANDLE duplicate = nullptr;
      // An access check takes an impersonation token, not the process's own.
      if (DuplicateToken(process_token, SecurityImpersonation, &duplicate)) {
        token_.reset(duplicate);
      }
    }
  }
  return token_.get();
}

bool Win32Recycler::MayDelete(HANDLE entry, const Text& folder_path) {
  // Windows lets an account delete an entry when the entry's own security
  // grants it DELETE, or its folder's grants FILE_DELETE_CHILD. Under Wine
  // the shell renames the entry out of a Unix folder, which takes the right
  // to write in that folder whatever the entry's own mode; Wine's security
  // follows the Unix modes, so there the folder's right alone counts.
  std::optional<bool> entry_grants = false;
  if (!RunningUnderWine()) {
    entry_grants = EntryGrants(entry, Token(), DELETE);
    if (entry_grants.value_or(false)) return true;
  }
  const std::optional<bool> folder_grants = PathGrants(folder_path, Token(), FILE_DELETE_CHILD);
  if (folder_grants.value_or(false)) return true;
  return !entry_grants || !folder_grants;
}

std::optional<NotMoved> Win32Recycler::Inspect(const Text& full_path) {
  if (full_path.empty() || HasWildcard(full_path)) {
    return Refused(NotMoved::Why::kUnfitName,
                   u"the path is empty or holds a wildcard character that the shell could match "
                   u"against other entries");
  }
  const Text folder_path(FolderPart(full_path));
  const Text name(NamePart(full_path));

  const DWORD attributes = GetFileAttributesW(Wide(full_path));
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    if (IsNotFound(error))
      return WhyNotNamedExactly(full_path).value_or(Refused(NotMoved::Why::kGone));
    return CannotTell(error);
  }
  // Asking for the right to delete lets the system answer two questions at
  // once on Windows: whether this account may (refused otherwise), and
  // whether another program holds the entry without sharing it (a sharing
  // violation), in which case the shell could not move it either.
  bool delete_refused = false;
  UniqueFile entry = OpenEntry(full_path, DELETE | READ_CONTROL | FILE_READ_ATTRIBUTES);
  if (!entry && GetLastError() == ERROR_ACCESS_DENIED) {
    delete_refused = true;
    entry = OpenEntry(full_path, READ_CONTROL | FILE_READ_ATTRIBUTES);
    if (!entry && GetLastError() == ERROR_ACCESS_DENIED)
      entry = OpenEntry(full_path, FILE_READ_ATTRIBUTES);
  }
  if (!entry) {
    const DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION) return Refused(NotMoved::Why::kInUse);
    if (IsNotFound(error))
      return WhyNotNamedExactly(full_path).value_or(Refused(NotMoved::Why::kGone));
    return CannotTell(error);
  }

  // The entry itself ends up at its folder's own path and name. Anything
  // else is a name that is not exactly the entry's (another letter case, a
  // short name), or a link the file system followed (a Linux link under
  // Wine).
  const std::optional<Text> final_path = FinalPathOf(entry.get());
  if (!final_path) return CannotTell(GetLastError());
  const ResolvedFolder* folder = Folder(folder_path, false);
  const auto inside = [&] { return folder && *final_path == folder->final_path + u"\\" + name; };
  if (!inside()) {
    folder = Folder(folder_path, true);  // the folder may have moved since
    if (!folder) return CannotTell(GetLastError());
    if (!inside()) {
      if (std::optional<NotMoved> why = WhyNotNamedExactly(full_path)) return why;
      return Refused(NotMoved::Why::kLink, *final_path);
    }
  }
  // Windows marks links, junctions and mount points with a tag that names
  // them; other reparse points (deduplicated, compressed, cloud files) are
  // entries like any. Wine marks a Linux link to a folder and a mounted
  // folder without a tag; a link failed the test above, so it is a mount.
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!GetFileInformationByHandleEx(entry.get(), FileAttributeTagInfo, &tag, sizeof tag)) {
      return CannotTell(GetLastError());
    }
    if (!(tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      return Refused(NotMoved::Why::kMountPoint);
    }
    if (IsNameSurrogateTag(tag.ReparseTag)) {
      return Refused(NotMoved::Why::kLink, WhereItLeads(full_path));
    }
  }
  // A file system mounted in place of the entry, which Wine shows without a
  // mark when a file is mounted over a file.
  if (FileSystemOf(entry.get()) != folder->file_system) {
    folder = Folder(folder_path, true);
    if (!folder || FileSystemOf(entry.get()) != folder->file_system) {
      return Refused(NotMoved::Why::kMountPoint);
    }
  }
  if (delete_refused || !MayDelete(entry.get(), folder_path)) {
    return Refused(NotMoved::Why::kMayNotRemove);
  }
  return std::nullopt;
}

std::optional<NotMoved> Win32Recycler::Recycle(const Text& full_path) {
  // The entry is looked at afresh before every move, and closed again before
  // the shell is asked.
  if (std::optional<NotMoved> why = Inspect(full_path)) return why;

  Text from = full_path;
  from.push_back(u'\0');  // with the string's own terminator: a list of one path
  SHFILEOPSTRUCTW operation{};
  operation.hwnd = owner_;
  operation.wFunc = FO_DELETE;
  operation.pFrom = Wide(from);
  // Undo makes it the Recycle Bin; the nuke warning makes the shell ask before
  // deleting for good an entry that the Recycle Bin cannot take; without its
  // connected files ("Report_files" beside "Report.htm"), which nobody ticked.
  operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_WANTNUKEWARNING |
                     FOF_NO_CONNECTED_ELEMENTS;
  int result = 0;
  bool refused_to_delete_for_good = false;
  {
    const std::optional<ShellQuestionRefuser> refuser =
        unattended_ ? std::make_optional<ShellQuestionRefuser>() : std::nullopt;
    result = SHFileOperationW(&operation);
    refused_to_delete_for_good = refuser && refuser->Answered();
  }
  if (refused_to_delete_for_good) return Refused(NotMoved::Why::kNoRecycleBin);
  if (result != 0) return Refused(NotMoved::Why::kShellFailed, ShellOperationErrorText(result));
  if (operation.fAnyOperationsAborted) return Refused(NotMoved::Why::kCancelled);

  // The shell's word is not enough: under Wine it reports success for an
  // entry it could not take.
  if (GetFileAttributesW(Wide(full_path)) == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    if (IsNotFound(error)) return std::nullopt;
    return CannotTell(error);
  }
  // Something answers to the name: the entry, or only a namesake in another
  // letter case that Wine reaches when the exact name is gone.
  const Found found = FindEntry(full_path);
  if (found.error != ERROR_SUCCESS) return CannotTell(found.error);
  if (found.data && NamedExactly(*found.data, full_path))
    return Refused(NotMoved::Why::kStillThere);
  return std::nullopt;
}

}  // namespace ostrevane::win32
