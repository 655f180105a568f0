#include "window_fixture.h"

#include <cstdint>

namespace ostrevane::testing {

namespace {
void Put16(std::string& out, std::uint16_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>(v >> 8);
}
void Put32(std::string& out, std::uint32_t v) {
  Put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
  Put16(out, static_cast<std::uint16_t>(v >> 16));
}
}  // namespace

std::string CursorFileBytes() {
  std::string image;
  Put32(image, 40);  // BITMAPINFOHEADER
  Put32(image, 32);
  Put32(image, 64);  // colour and mask halves
  Put16(image, 1);
  Put16(image, 1);
  for (int i = 0; i < 6; ++i) Put32(image, 0);
  Put32(image, 0x00000000);             // palette: black
  Put32(image, 0x00FFFFFF);             // white
  image += std::string(32 * 4, '\0');   // XOR bits: black
  std::string mask(32 * 4, '\xFF');     // AND bits: transparent ...
  for (int row = 8; row < 24; ++row) {  // ... but for a block in the middle
    mask[row * 4 + 1] = '\0';
    mask[row * 4 + 2] = '\0';
  }
  image += mask;

  std::string file;
  Put16(file, 0);
  Put16(file, 2);  // cursor
  Put16(file, 1);
  file += static_cast<char>(32);
  file += static_cast<char>(32);
  file += '\0';
  file += '\0';
  Put16(file, 16);  // hot spot
  Put16(file, 16);
  Put32(file, static_cast<std::uint32_t>(image.size()));
  Put32(file, 22);
  return file + image;
}

void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

PrintedControl::PrintedControl(HWND control) {
  RECT client;
  GetClientRect(control, &client);
  width_ = client.right;
  height_ = client.bottom;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const HDC dc = CreateCompatibleDC(nullptr);
  const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ old = SelectObject(dc, bitmap);
  SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  GdiFlush();
  const auto* first = static_cast<const std::uint32_t*>(bits);
  pixels_.assign(first, first + static_cast<std::size_t>(width_) * height_);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

COLORREF PrintedControl::At(int x, int y) const {
  const std::uint32_t bgr = pixels_[static_cast<std::size_t>(y) * width_ + x];
  return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
}

}  // namespace ostrevane::testing
