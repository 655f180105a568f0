#include "win32/delete_rights.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "win32/win_text.h"
#include "win32/fill_growing.h"

namespace ostrevane::win32 {
namespace {

bool RunningUnderWine() {
  static const bool wine = [] {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
  }();
  return wine;
}

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

}  // namespace

HANDLE DeleteRights::Token() {
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

bool DeleteRights::MayDelete(HANDLE entry, const Text& folder_path) {
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

}  // namespace ostrevane::win32
