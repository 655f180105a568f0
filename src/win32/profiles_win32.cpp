#include "win32/profiles_win32.h"

#include <windows.h>

#include <sddl.h>

#include "win32/account.h"
#include "win32/win_text.h"
#include "win32/fill_growing.h"

namespace ostrevane::win32 {
namespace {

constexpr wchar_t kProfileList[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
constexpr char16_t kUserShellFolders[] =
    u"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

class UniqueKey {
 public:
  UniqueKey(HKEY parent, const Text& path) {
    if (RegOpenKeyExW(parent, Wide(path), 0, KEY_READ | KEY_WOW64_64KEY, &key_) != ERROR_SUCCESS) {
      key_ = nullptr;
    }
  }
  UniqueKey(const UniqueKey&) = delete;
  UniqueKey& operator=(const UniqueKey&) = delete;
  ~UniqueKey() {
    if (key_) RegCloseKey(key_);
  }
  HKEY get() const { return key_; }
  explicit operator bool() const { return key_ != nullptr; }

 private:
  HKEY key_ = nullptr;
};

// A text value as stored: variables are left for the caller to expand for
// the right profile.
std::optional<Text> StoredText(HKEY parent, const Text& key, const Text& name) {
  constexpr DWORD kFlags =
      RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND | RRF_SUBKEY_WOW6464KEY;
  const std::optional<Text> value = FillGrowing<Text>([&](Text& buffer, DWORD size) -> std::size_t {
    DWORD bytes = size * sizeof(char16_t);
    const LSTATUS status =
        RegGetValueW(parent, Wide(key), Wide(name), kFlags, nullptr, Wide(buffer), &bytes);
    if (status == ERROR_MORE_DATA) return bytes / sizeof(char16_t) + 1;
    if (status != ERROR_SUCCESS) return 0;
    // The count includes the terminating NUL, which the value ends with.
    return bytes / sizeof(char16_t);
  });
  if (!value) return std::nullopt;
  Text text = *value;
  return text.substr(0, text.find(u'\0'));
}

}  // namespace

std::vector<Text> Win32ProfileSource::ProfileSids() {
  std::vector<Text> sids;
  const UniqueKey list(HKEY_LOCAL_MACHINE, FromWide(kProfileList));
  if (!list) return sids;
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];
    DWORD length = 256;
    const LSTATUS status =
        RegEnumKeyExW(list.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status == ERROR_SUCCESS) sids.push_back(FromWide(name, length));
  }
  return sids;
}

std::optional<Text> Win32ProfileSource::ProfileImagePath(const Text& sid) {
  return StoredText(HKEY_LOCAL_MACHINE, FromWide(kProfileList) + u"\\" + sid, u"ProfileImagePath");
}

bool Win32ProfileSource::HiveLoaded(const Text& sid) {
  return static_cast<bool>(UniqueKey(HKEY_USERS, sid));
}

std::optional<Text> Win32ProfileSource::UserShellFolder(const Text& sid, const Text& name) {
  return StoredText(HKEY_USERS, sid + kUserShellFolders, name);
}

std::optional<Text> Win32ProfileSource::AccountName(const Text& sid) {
  PSID binary = nullptr;
  if (!ConvertStringSidToSidW(Wide(sid), &binary)) return std::nullopt;
  wchar_t name[256], domain[256];
  DWORD name_length = 256, domain_length = 256;
  SID_NAME_USE use;
  const BOOL found =
      LookupAccountSidW(nullptr, binary, name, &name_length, domain, &domain_length, &use);
  LocalFree(binary);
  if (!found) return std::nullopt;
  const Text account = FromWide(name);
  const Text domain_name = FromWide(domain);
  return domain_name.empty() ? account : domain_name + u"\\" + account;
}

Text Win32ProfileSource::RunningSid() { return RunningAccountSid(); }

}  // namespace ostrevane::win32
