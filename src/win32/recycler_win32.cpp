#include "win32/recycler_win32.h"

#include <shellapi.h>

#include <optional>
#include <vector>

#include "win32/handles.h"
#include "win32/win_text.h"

namespace ostrevane::win32 {
namespace {

Text Quoted(const Text& path) { return u"\"" + path + u"\""; }

// The file system matches these as patterns, so a path holding one may name
// more than one entry.
bool HasWildcard(const Text& path) { return path.find_first_of(u"*?<>\"") != Text::npos; }

// The entry the file system finds for `full_path`, or no entry. Without a
// wildcard in the name it finds one entry at most, but not always one named
// exactly so: it also matches a short (8.3) name, and under Wine, when the
// exact name is not there, a name that differs only in letter case.
std::optional<WIN32_FIND_DATAW> FindEntry(const Text& full_path) {
  WIN32_FIND_DATAW data{};
  UniqueFind find(FindFirstFileW(Wide(full_path), &data));
  if (find) return data;
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
      error == ERROR_NO_MORE_FILES) {
    return std::nullopt;
  }
  throw Failure(u"Whether " + Quoted(full_path) + u" is there cannot be told: " +
                SystemErrorText(error));
}

// Whether the file system's find gave the entry named exactly as the path's
// last part: code unit by code unit, letter case included.
bool NamedExactly(const WIN32_FIND_DATAW& data, const Text& full_path) {
  return FromWide(data.cFileName) == Text(NamePart(full_path));
}

// Fails, having touched nothing, unless an entry is there under exactly the
// last name of `full_path`, so that the shell gets that entry and no other.
void RequireEntryNamedExactly(const Text& full_path) {
  const std::optional<WIN32_FIND_DATAW> data = FindEntry(full_path);
  if (!data) {
    throw Failure(Quoted(full_path) + u" was not deleted: " +
                  SystemErrorText(ERROR_FILE_NOT_FOUND));
  }
  if (NamedExactly(*data, full_path)) return;
  const Text name = Text(NamePart(full_path));
  const Text found = FromWide(data->cFileName);
  if (found.size() == name.size() && Lower(found) == Lower(name)) {
    throw Failure(Quoted(full_path) + u" was not deleted: no entry has exactly that name; \"" +
                  found + u"\" differs from it in letter case and is another entry.");
  }
  throw Failure(Quoted(full_path) + u" was not deleted: no entry has that name, which is only " +
                u"the short name of \"" + found + u"\".");
}

// Where a path leads once every link on the way is followed, with the
// volume it ends on.
struct Resolved {
  Text path;
  DWORD volume = 0;
};

// Drops the prefix that marks a path as taken literally.
Text WithoutLiteralPrefix(Text path) {
  if (path.rfind(u"\\\\?\\UNC\\", 0) == 0) return u"\\\\" + path.substr(8);
  if (path.rfind(u"\\\\?\\", 0) == 0) return path.substr(4);
  return path;
}

std::optional<Text> FinalPathOf(HANDLE handle) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
    if (length == 0) return std::nullopt;
    if (length < buffer.size()) return WithoutLiteralPrefix(FromWide(buffer.data(), length));
    buffer.resize(length + 1);
  }
}

UniqueFile OpenWhereItLeads(const Text& path) {
  // No access asked for: this only reads where the path leads, and needs no
  // sharing with whoever has the entry open.
  return UniqueFile(CreateFileW(Wide(path), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

[[noreturn]] void CannotTellIfLink(const Text& path) {
  throw Failure(u"Whether " + Quoted(path) + u" is a link cannot be told: " +
                SystemErrorText(GetLastError()));
}

// Where the path leads, without its volume (asking a volume for its serial
// number costs more than opening and naming the entry together); none when
// it does not open.
std::optional<Text> TryFinalPath(const Text& path) {
  const UniqueFile handle = OpenWhereItLeads(path);
  if (!handle) return std::nullopt;
  return FinalPathOf(handle.get());
}

Resolved Resolve(const Text& path) {
  const UniqueFile handle = OpenWhereItLeads(path);
  BY_HANDLE_FILE_INFORMATION information{};
  std::optional<Text> final_path;
  if (handle && GetFileInformationByHandle(handle.get(), &information)) {
    final_path = FinalPathOf(handle.get());
  }
  if (!final_path) CannotTellIfLink(path);
  return {*final_path, information.dwVolumeSerialNumber};
}

std::optional<Resolved> TryResolve(const Text& path) {
  try {
    return Resolve(path);
  } catch (const Failure&) {
    return std::nullopt;
  }
}

bool RunningUnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// Fails, having touched nothing, when Wine shows the entry's folder as
// read-only. Under Wine that means no one may write in the Unix folder, so
// nothing can be taken out of it: the shell, unable to move the entry to the
// Recycle Bin, would offer to delete it for good instead, and then leave a
// file where it was, or empty a folder and leave it. On Windows the attribute
// means nothing for folders (the shell marks customised folders with it), and
// the shell itself reports a folder that cannot be changed.
void RequireFolderOpenToChangeUnderWine(const Text& full_path) {
  if (!RunningUnderWine()) return;
  const Text folder(FolderPart(full_path));
  if (folder.empty()) return;
  const DWORD attributes = GetFileAttributesW(Wide(folder));
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
      (attributes & FILE_ATTRIBUTE_READONLY)) {
    throw Failure(Quoted(full_path) + u" was not deleted: its folder " + Quoted(folder) +
                  u" is read-only, so nothing can be moved out of it to the Recycle Bin.");
  }
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

const Win32Recycler::ResolvedFolder& Win32Recycler::Folder(const Text& folder_path, bool afresh) {
  const DWORD attributes = GetFileAttributesW(Wide(folder_path));
  if (afresh || !folder_ || folder_->path != folder_path || folder_->attributes != attributes ||
      attributes == INVALID_FILE_ATTRIBUTES) {
    folder_.reset();
    const Resolved folder = Resolve(folder_path);
    folder_ = ResolvedFolder{folder_path, folder.path, folder.volume, attributes};
  }
  return *folder_;
}

bool Win32Recycler::EndsAtItself(const Text& full_path, const Text& entry_final) {
  const Text folder_path(FolderPart(full_path));
  const Text name(NamePart(full_path));
  if (entry_final == Folder(folder_path, false).final_path + u"\\" + name) return true;
  // The folder itself may have moved since it was resolved: ask again.
  return entry_final == Folder(folder_path, true).final_path + u"\\" + name;
}

std::optional<EntryLink> Win32Recycler::LinkAt(const Text& full_path) {
  found_itself_.clear();
  // Nothing there: no link to follow, and the move itself refuses the path.
  const DWORD attributes = GetFileAttributesW(Wide(full_path));
  if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  const Text own_path = Text(FolderPart(full_path));
  // Windows marks every symbolic link, junction and mount point; Wine marks a
  // Linux link to a folder and a mount point, but a link to a file not at all.
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    const std::optional<WIN32_FIND_DATAW> data = FindEntry(full_path);
    if (!data || !NamedExactly(*data, full_path)) return std::nullopt;
    const std::optional<Resolved> entry = TryResolve(full_path);
    if (!entry) return EntryLink{EntryLink::Kind::kLink, Text()};  // leads nowhere that opens
    const std::optional<Resolved> folder = TryResolve(own_path);
    if (folder && entry->path == folder->path + u"\\" + FromWide(data->cFileName)) {
      return EntryLink{EntryLink::Kind::kMountPoint, Text()};  // leads to itself
    }
    return EntryLink{EntryLink::Kind::kLink, entry->path};
  }
  // An entry that is itself ends up at its folder's own path and name, on its
  // folder's volume. Anything else is a link the marks did not show, or a name
  // that is not exactly the entry's, which the move refuses in its own words.
  const std::optional<Resolved> entry = TryResolve(full_path);
  if (!entry || !EndsAtItself(full_path, entry->path)) {
    const std::optional<WIN32_FIND_DATAW> data = FindEntry(full_path);
    if (!data || !NamedExactly(*data, full_path)) return std::nullopt;
    return EntryLink{EntryLink::Kind::kLink, entry ? entry->path : Resolve(full_path).path};
  }
  if (entry->volume != folder_->volume) return EntryLink{EntryLink::Kind::kMountPoint, Text()};
  found_itself_ = full_path;
  return std::nullopt;
}

void Win32Recycler::MoveToRecycleBin(const Text& full_path) {
  if (full_path.empty() || HasWildcard(full_path)) {
    throw Failure(Quoted(full_path) + u" was not deleted: the path is empty or holds a wildcard " +
                  u"character that the shell could match against other entries.");
  }
  // Unless LinkAt has just found it to be exactly itself, the entry is opened
  // and where it ends named, which is cheaper than a search of its folder;
  // only a path that does not end at itself is looked up by name.
  Text found_itself;
  found_itself.swap(found_itself_);
  if (full_path != found_itself) {
    const std::optional<Text> final_path = TryFinalPath(full_path);
    if (!final_path || !EndsAtItself(full_path, *final_path)) RequireEntryNamedExactly(full_path);
  }
  RequireFolderOpenToChangeUnderWine(full_path);

  Text from = full_path;
  from.push_back(u'\0');  // with the string's own terminator: a list of one path
  SHFILEOPSTRUCTW operation{};
  operation.hwnd = owner_;
  operation.wFunc = FO_DELETE;
  operation.pFrom = Wide(from);
  // Undo makes it the Recycle Bin; the nuke warning makes the shell ask before
  // deleting for good an entry that the Recycle Bin cannot take.
  operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_WANTNUKEWARNING;
  const int result = SHFileOperationW(&operation);
  if (result != 0) {
    throw Failure(Quoted(full_path) + u" could not be moved to the Recycle Bin: " +
                  ShellOperationErrorText(result));
  }
  if (operation.fAnyOperationsAborted) {
    throw Failure(u"The deletion of " + Quoted(full_path) +
                  u" was cancelled; it was not moved to the Recycle Bin.");
  }
}

bool Win32Recycler::Exists(const Text& full_path) {
  // The common answer after a move, nothing there at all, without a search.
  if (GetFileAttributesW(Wide(full_path)) == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return false;
  }
  const std::optional<WIN32_FIND_DATAW> data = FindEntry(full_path);
  return data && NamedExactly(*data, full_path);
}

}  // namespace ostrevane::win32
