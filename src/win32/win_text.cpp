#include "win32/win_text.h"

#include "win32/handles.h"

#include <array>
#include <string>
#include <vector>

namespace ostrevane::win32 {

Text SystemErrorText(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  const UniqueLocalText owned(buffer);
  Text text = length ? FromWide(buffer, length) : Text();
  while (!text.empty() && (text.back() == u'\r' || text.back() == u'\n' || text.back() == u' ')) {
    text.pop_back();
  }
  if (text.empty()) text = u"Windows error " + DecimalText(static_cast<long long>(code));
  return text;
}

void FailWithSystemError(DWORD code) { throw Failure(SystemErrorText(code)); }

void FailWithLastError() { FailWithSystemError(GetLastError()); }

namespace {

std::array<char16_t, 0x10000> g_lower;

char16_t SystemLower(char16_t unit) { return g_lower[unit]; }

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

namespace {

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

void InstallSystemSortKeys() { SetSortKeyMapping(&SystemSortKey); }

Text ExecutableFolder() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) FailWithLastError();
    if (length < buffer.size()) {
      return Text(FolderPart(FromWide(buffer.data(), length)));
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace ostrevane::win32
