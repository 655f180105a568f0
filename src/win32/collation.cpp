#include "win32/collation.h"

#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "base/text.h"

namespace ostrevane::win32 {
namespace {

std::array<char16_t, 0x10000> g_lower;

char16_t SystemLower(char16_t unit) { return g_lower[unit]; }

void SystemSortKey(TextView text, std::string& out) {
  if (text.empty()) return;  // sorts first
  const auto* source = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  constexpr DWORD kFlags = LCMAP_SORTKEY | NORM_IGNORECASE;
  const int size = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, kFlags, source, length, nullptr, 0,
                                 nullptr, nullptr, 0);
  const std::size_t at = out.size();
  if (size > 0) {
    out.resize(at + static_cast<std::size_t>(size));
    // A sort key is bytes, handed back through the wide-string parameter.
    const int written =
        LCMapStringEx(LOCALE_NAME_USER_DEFAULT, kFlags, source, length,
                      reinterpret_cast<LPWSTR>(out.data() + at), size, nullptr, nullptr, 0);
    if (written > 0) {
      out.resize(at + static_cast<std::size_t>(written));
      return;
    }
    out.resize(at);
  }
  PortableSortKey(text, out);  // text the system cannot collate, such as a lone surrogate
}

}  // namespace

void InstallSystemCaseMapping() {
  // One call maps every code unit outside the surrogate range; surrogates and
  // anything the system does not map one-to-one keep their own value.
  std::vector<wchar_t> all;
  all.reserve(0x10000);
  for (unsigned u = 1; u < 0x10000; ++u) {
    if (u < 0xD800 || u > 0xDFFF) all.push_back(static_cast<wchar_t>(u));
  }
  std::vector<wchar_t> lower(all.size());
  const int mapped = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, all.data(),
                                   static_cast<int>(all.size()), lower.data(),
                                   static_cast<int>(lower.size()), nullptr, nullptr, 0);
  for (unsigned u = 0; u < 0x10000; ++u) g_lower[u] = PortableLower(static_cast<char16_t>(u));
  if (mapped == static_cast<int>(all.size())) {
    for (std::size_t i = 0; i < all.size(); ++i) {
      g_lower[static_cast<char16_t>(all[i])] = static_cast<char16_t>(lower[i]);
    }
  }
  SetCaseMapping(&SystemLower);
}

void InstallSystemSortKeys() { SetSortKeyMapping(&SystemSortKey); }

}  // namespace ostrevane::win32
