// The icon as the built program carries it: read from the program file, as
// Explorer and the taskbar read it.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "support/wine_host.h"
#include "win32/handles.h"
#include "window/main_window.h"

namespace ostrevane {
namespace {

// An entry of an RT_GROUP_ICON resource (GRPICONDIRENTRY).
#pragma pack(push, 2)
struct IconGroupEntry {
  BYTE width, height, colors, reserved;
  WORD planes, bit_count;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)
static_assert(sizeof(IconGroupEntry) == 14);

std::vector<BYTE> ResourceBytes(HMODULE module, int id, const wchar_t* type) {
  const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
  if (!found) return {};
  const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
  if (!data) return {};
  return std::vector<BYTE>(data, data + SizeofResource(module, found));
}

TEST(ProgramIconTest, TheProgramCarriesEveryIconSizeAt32BitsPerPixelWithAlpha) {
  Text path = testing::DosPathOf(testing::Environment(L"OSTREVANE_PROGRAM_FILE"));
  ASSERT_FALSE(path.empty()) << "CTest names the program in OSTREVANE_PROGRAM_FILE";
  std::replace(path.begin(), path.end(), u'/', u'\\');
  const win32::UniqueModule program(LoadLibraryExW(
      win32::Wide(path), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  ASSERT_TRUE(program) << ToUtf8(path) << ": error " << GetLastError();

  const std::vector<BYTE> group =
      ResourceBytes(program.get(), window::kAppIconResource, RT_GROUP_ICON);
  ASSERT_GE(group.size(), 6u);
  WORD count = 0;
  std::memcpy(&count, group.data() + 4, sizeof(count));
  ASSERT_EQ(group.size(), 6 + count * sizeof(IconGroupEntry));

  std::vector<int> sizes;
  for (WORD i = 0; i < count; ++i) {
    IconGroupEntry entry;
    std::memcpy(&entry, group.data() + 6 + i * sizeof(entry), sizeof(entry));
    const int size = entry.width == 0 ? 256 : entry.width;
    sizes.push_back(size);
    // The frame's own header, not the group's entry, says what it holds.
    const std::vector<BYTE> frame = ResourceBytes(program.get(), entry.id, RT_ICON);
    BITMAPINFOHEADER header{};
    ASSERT_GE(frame.size(), sizeof(header)) << "frame " << size;
    std::memcpy(&header, frame.data(), sizeof(header));
    ASSERT_EQ(header.biSize, sizeof(header)) << "frame " << size << " is not a bitmap";
    EXPECT_EQ(header.biWidth, size);
    EXPECT_EQ(header.biHeight, 2 * size) << "frame " << size << ": colour and mask";
    EXPECT_EQ(header.biBitCount, 32) << "frame " << size;
    EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB)) << "frame " << size;
    const std::size_t colour_bytes = static_cast<std::size_t>(size) * size * 4;
    ASSERT_GE(frame.size(), sizeof(header) + colour_bytes) << "frame " << size;
    // Transparent corners, a middle all but opaque: the alpha channel is
    // drawn, not left empty (a frame without would be drawn by its mask).
    const auto alpha = [&](int x, int y) {  // rows are stored bottom up
      return frame[sizeof(header) + (static_cast<std::size_t>(size - 1 - y) * size + x) * 4 + 3];
    };
    EXPECT_EQ(alpha(0, 0), 0) << "frame " << size;
    EXPECT_EQ(alpha(size - 1, size - 1), 0) << "frame " << size;
    EXPECT_GE(alpha(size / 2, size / 2), 200) << "frame " << size;
  }
  std::sort(sizes.begin(), sizes.end());
  EXPECT_EQ(sizes, (std::vector<int>{16, 20, 24, 32, 40, 48, 64, 256}));
}

}  // namespace
}  // namespace ostrevane
