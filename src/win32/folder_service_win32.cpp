#include "win32/folder_service_win32.h"

#include <shlobj.h>

#include <vector>

#include "catalogue/recycler.h"
#include "catalogue/text_pool.h"
#include "win32/handles.h"
#include "win32/win_text.h"
#include "win32/system_error.h"

namespace ostrevane::win32 {

// The portable layers name the two Programs folders by these numbers.
static_assert(kCsidlPrograms == CSIDL_PROGRAMS);
static_assert(kCsidlCommonPrograms == CSIDL_COMMON_PROGRAMS);
static_assert(kCsidlStartup == CSIDL_STARTUP);
static_assert(kCsidlCommonStartup == CSIDL_COMMON_STARTUP);
static_assert(kSystemErrorAccessDenied == ERROR_ACCESS_DENIED);

namespace {

// Reads the folder once: listing a folder is the costly part of a scan
// (under Wine some microseconds an entry), and each is asked for both its
// subfolders and its files. The kind asked for first is handed out as the
// reading finds it; the other is kept, end to end in a text pool, for its own
// turn, which costs a long folder far less than a text of its own per name.
class Win32Folder : public Folder {
 public:
  Win32Folder(Text path, bool is_link) : path_(std::move(path)), is_link_(is_link) {}

  void ForEachSubfolder(const NameVisitor& visit) override { Hand(Kind::kSubfolder, visit); }
  void ForEachFile(const NameVisitor& visit) override { Hand(Kind::kFile, visit); }
  void ForEachLink(const NameVisitor& visit) override { Hand(Kind::kLink, visit); }
  bool IsLink() const override { return is_link_; }

 private:
  enum class Kind { kSubfolder, kFile, kLink };
  struct Kept {
    TextPool pool;
    std::vector<std::pair<std::uint32_t, std::uint16_t>> names;  // start, length
  };

  // A reading that failed part-way fails after the names it got, so the rows
  // before the failure stay.
  void Hand(Kind kind, const NameVisitor& visit) {
    if (!read_) {
      Read(kind, visit);
    } else {
      const Kept& kept = KeptOf(kind);
      for (const auto& [start, length] : kept.names) visit(Text(kept.pool.View(start, length)));
    }
    if (error_) FailWithSystemError(error_);
  }

  void Read(Kind now, const NameVisitor& visit) {
    read_ = true;
    const Text pattern = path_ + u"\\*";
    WIN32_FIND_DATAW data{};
    UniqueFind find(FindFirstFileExW(Wide(pattern), FindExInfoBasic, &data, FindExSearchNameMatch,
                                     nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) {
      const DWORD error = GetLastError();
      if (error != ERROR_FILE_NOT_FOUND && error != ERROR_NO_MORE_FILES) error_ = error;
      return;
    }
    do {
      const Text name = FromWide(data.cFileName);
      if (name == u"." || name == u"..") continue;
      const bool is_folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      for (const Kind kind : {is_folder ? Kind::kSubfolder : Kind::kFile, Kind::kLink}) {
        if (kind == Kind::kLink && !IsLinkEntry(data.dwFileAttributes, data.dwReserved0)) break;
        if (kind == now) {
          visit(name);
        } else {
          Kept& kept = KeptOf(kind);
          kept.names.emplace_back(kept.pool.Append(name), static_cast<std::uint16_t>(name.size()));
        }
      }
    } while (FindNextFileW(find.get(), &data));
    const DWORD error = GetLastError();
    if (error != ERROR_NO_MORE_FILES) error_ = error;
  }

  Kept& KeptOf(Kind kind) {
    return kind == Kind::kSubfolder ? subfolders_ : kind == Kind::kFile ? files_ : links_;
  }

  Text path_;
  bool is_link_;
  bool read_ = false;
  DWORD error_ = 0;
  Kept subfolders_;
  Kept files_;
  Kept links_;
};

}  // namespace

bool IsLinkEntry(DWORD attributes, DWORD reparse_tag) {
  if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
  // Wine marks a Linux link, and a folder mounted on another, with no tag.
  return reparse_tag == 0 || IsNameSurrogateTag(reparse_tag);
}

Text Win32FolderService::RootPath(int csidl) {
  if (const auto it = overrides_.find(csidl); it != overrides_.end()) {
    if (it->second.empty()) {
      throw Failure(u"The Start Menu Programs folder (special folder " + DecimalText(csidl) +
                    u") could not be found.");
    }
    return it->second;
  }
  wchar_t buffer[MAX_PATH] = {};
  const BOOL found = SHGetSpecialFolderPathW(owner_, buffer, csidl, FALSE);
  buffer[MAX_PATH - 1] = L'\0';
  Text path = FromWide(buffer);
  if (!found || path.empty()) {
    throw Failure(u"The Start Menu Programs folder (special folder " + DecimalText(csidl) +
                  u") could not be found.");
  }
  while (path.size() > 3 && (path.back() == u'\\' || path.back() == u'/')) path.pop_back();
  return path;
}

std::unique_ptr<Folder> Win32FolderService::OpenFolder(const Text& path) {
  if (path.empty()) throw Failure(u"Path not found: the folder's path is empty.");
  const DWORD attributes = GetFileAttributesW(Wide(path));
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    throw Failure(SystemErrorText(error) + u" (" + path + u")", error);
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    throw Failure(u"\"" + path + u"\" is not a folder.");
  }
  bool is_link = false;
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    // The tag tells a link from data kept elsewhere (deduplicated, in a
    // cloud); the folder's own listing entry carries it.
    WIN32_FIND_DATAW data{};
    const UniqueFind self(
        FindFirstFileExW(Wide(path), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0));
    is_link = !self || IsLinkEntry(data.dwFileAttributes, data.dwReserved0);
  }
  return std::make_unique<Win32Folder>(path, is_link);
}

std::optional<Text> Win32FolderService::Identity(const Text& path) {
  const UniqueFile entry(CreateFileW(Wide(path), FILE_READ_ATTRIBUTES,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION information{};
  if (!entry || !GetFileInformationByHandle(entry.get(), &information)) return std::nullopt;
  return DecimalText(information.dwVolumeSerialNumber) + u":" +
         DecimalText((static_cast<long long>(information.nFileIndexHigh) << 32) |
                     information.nFileIndexLow);
}

}  // namespace ostrevane::win32
