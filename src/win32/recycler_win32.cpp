#include "win32/recycler_win32.h"

#include <shellapi.h>
#include <winternl.h>

#include <optional>

#include "win32/box_refuser.h"
#include "win32/shell_operation_errors.h"
#include "win32/win_text.h"
#include "win32/system_error.h"
#include "win32/fill_growing.h"

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

}  // namespace

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
  if (delete_refused || !rights_.MayDelete(entry.get(), folder_path)) {
    return Refused(NotMoved::Why::kMayNotRemove);
  }
  return std::nullopt;
}

HWND Win32Recycler::ShellOwner() {
  if (owner_ || !unattended_) return owner_;
  // Unattended without a window of the program's own, the shell's boxes are
  // given a hidden one, so that its refuser knows them from any other box.
  if (!own_owner_) {
    own_owner_.reset(CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                     GetModuleHandleW(nullptr), nullptr));
  }
  return own_owner_.get();
}

std::optional<NotMoved> Win32Recycler::Recycle(const Text& full_path) {
  // The entry is looked at afresh before every move, and closed again before
  // the shell is asked.
  if (std::optional<NotMoved> why = Inspect(full_path)) return why;

  Text from = full_path;
  from.push_back(u'\0');  // with the string's own terminator: a list of one path
  SHFILEOPSTRUCTW operation{};
  operation.hwnd = ShellOwner();
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
    const std::optional<BoxRefuser> refuser =
        unattended_ ? std::make_optional<BoxRefuser>(operation.hwnd) : std::nullopt;
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
