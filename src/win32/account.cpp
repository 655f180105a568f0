#include "win32/account.h"

#include <windows.h>

#include <sddl.h>

#include "win32/handles.h"
#include "win32/win_text.h"

namespace ostrevane::win32 {
namespace {

// Asks the process's token for one class of information into `buffer`.
template <typename Buffer>
bool ReadProcessToken(TOKEN_INFORMATION_CLASS what, Buffer& buffer) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  const UniqueKernelHandle owned(token);
  DWORD size = 0;
  return GetTokenInformation(token, what, &buffer, sizeof buffer, &size);
}

}  // namespace

bool ProcessIsElevated() {
  TOKEN_ELEVATION elevation{};
  return ReadProcessToken(TokenElevation, elevation) && elevation.TokenIsElevated;
}

namespace {

union TokenUserBuffer {
  TOKEN_USER user;
  BYTE bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
};

}  // namespace

bool RunningAsSystem() {
  TokenUserBuffer buffer;
  return ReadProcessToken(TokenUser, buffer) &&
         IsWellKnownSid(buffer.user.User.Sid, WinLocalSystemSid);
}

Text RunningAccountSid() {
  TokenUserBuffer buffer;
  wchar_t* text = nullptr;
  if (!ReadProcessToken(TokenUser, buffer) ||
      !ConvertSidToStringSidW(buffer.user.User.Sid, &text)) {
    return {};
  }
  const UniqueLocalText owned(text);
  return FromWide(text);
}

}  // namespace ostrevane::win32
