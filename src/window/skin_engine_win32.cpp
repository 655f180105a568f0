#include "window/skin_engine_win32.h"

#include <string>

#include "win32/handles.h"
#include "win32/win_text.h"

namespace ostrevane::win32 {

void Win32SkinEngine::LoadSkin(const Text& path, const Text& /*options*/) {
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
  colors_ = ParseSkin(bytes, path);
  loaded_ = true;
}

void Win32SkinEngine::ApplyToWindow(std::uintptr_t window) {
  const HWND hwnd = reinterpret_cast<HWND>(window);
  if (!loaded_) throw Failure(u"No skin has been loaded, so there is nothing to apply.");
  if (!IsWindow(hwnd))
    throw Failure(u"The skin cannot be applied: the window handle is not valid.");
  applied_ = true;
  RedrawWindow(hwnd, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
}

std::optional<COLORREF> Win32SkinEngine::Background() const {
  if (!applied_ || !paint_backgrounds_) return std::nullopt;
  return colors_.window;
}

std::optional<COLORREF> Win32SkinEngine::FrameText() const {
  if (!applied_ || !paint_frames_) return std::nullopt;
  return colors_.frame_text;
}

std::optional<COLORREF> Win32SkinEngine::FrameLine() const {
  if (!applied_ || !paint_frames_) return std::nullopt;
  return colors_.frame_line;
}

const SkinColors* Win32SkinEngine::ButtonColors() const {
  return applied_ && (flags_ & kSkinPaintsButtons) ? &colors_ : nullptr;
}

}  // namespace ostrevane::win32
