#include "window/skin_engine_win32.h"

#include <windows.h>

#include <string>

#include "win32/handles.h"
#include "win32/win_text.h"
#include "win32/system_error.h"

namespace ostrevane::window {

using win32::FailWithLastError;
using win32::SystemErrorText;
using win32::UniqueFile;
using win32::Wide;

void Win32SkinEngine::Load(const Text& path) {
  UniqueFile file(CreateFileW(Wide(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    throw Failure(u"The skin file \"" + path + u"\" cannot be read: " +
                  SystemErrorText(GetLastError()));
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) FailWithLastError();
  constexpr LONGLONG kLargestSkin = 1 << 20;
  if (size.QuadPart > kLargestSkin) {
    throw Failure(u"The skin file \"" + path + u"\" cannot be used: it is larger than 1 MB.");
  }
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!bytes.empty() &&
      !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
    throw Failure(u"The skin file \"" + path + u"\" cannot be read: " +
                  SystemErrorText(GetLastError()));
  }
  bytes.resize(read);
  loaded_ = ParseSkin(bytes, path);
}

void Win32SkinEngine::Paint() {
  if (!loaded_) throw Failure(u"No skin has been loaded, so there is nothing to apply.");
  painting_ = true;
}

}  // namespace ostrevane::window
