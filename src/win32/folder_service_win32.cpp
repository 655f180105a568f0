#include "win32/folder_service_win32.h"

#include <shlobj.h>

#include <vector>

#include "win32/handles.h"
#include "win32/win_text.h"

namespace ostrevane::win32 {

// The portable layers name the two Programs folders by these numbers.
static_assert(kCsidlPrograms == CSIDL_PROGRAMS);
static_assert(kCsidlCommonPrograms == CSIDL_COMMON_PROGRAMS);

namespace {

// Reads the folder once and hands out its subfolders and its files from that
// one reading: listing a folder is the costly part of a scan (under Wine some
// microseconds an entry), and each is asked for both.
class Win32Folder : public Folder {
 public:
  explicit Win32Folder(Text path) : path_(std::move(path)) {}

  void ForEachSubfolder(const NameVisitor& visit) override { Hand(subfolders_, visit); }
  void ForEachFile(const NameVisitor& visit) override { Hand(files_, visit); }

 private:
  // Visits what the reading found; a reading that failed part-way fails here
  // after the names it got, so the rows before the failure stay.
  void Hand(const std::vector<Text>& names, const NameVisitor& visit) {
    Read();
    for (const Text& name : names) visit(name);
    if (error_) FailWithSystemError(error_);
  }

  void Read() {
    if (read_) return;
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
      Text name = FromWide(data.cFileName);
      if (name == u"." || name == u"..") continue;
      const bool is_folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      (is_folder ? subfolders_ : files_).push_back(std::move(name));
    } while (FindNextFileW(find.get(), &data));
    const DWORD error = GetLastError();
    if (error != ERROR_NO_MORE_FILES) error_ = error;
  }

  Text path_;
  bool read_ = false;
  DWORD error_ = 0;
  std::vector<Text> subfolders_;
  std::vector<Text> files_;
};

}  // namespace

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
    throw Failure(SystemErrorText(GetLastError()) + u" (" + path + u")");
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    throw Failure(u"\"" + path + u"\" is not a folder.");
  }
  return std::make_unique<Win32Folder>(path);
}

}  // namespace ostrevane::win32
