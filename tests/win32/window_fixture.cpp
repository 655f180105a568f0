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

}  // namespace ostrevane::testing
