#include "win32/system_error.h"

#include "win32/handles.h"
#include "win32/win_text.h"

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

void FailWithSystemError(DWORD code, SourcePlace where) {
  throw Failure(SystemErrorText(code), code, where);
}

void FailWithLastError(SourcePlace where) { FailWithSystemError(GetLastError(), where); }

}  // namespace ostrevane::win32
