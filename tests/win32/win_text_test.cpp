#include "win32/win_text.h"
#include "win32/fill_growing.h"

#include <gtest/gtest.h>

#include <vector>

namespace ostrevane {
namespace {

using win32::FillGrowing;

// A call that writes `text` as Windows calls do, in one of their ways of
// saying that the buffer was too small.
enum class TooSmall { kSaysSizeNeeded, kCutsShort, kFails };

std::optional<Text> Filled(const Text& text, TooSmall way, std::size_t first_size,
                           int* calls = nullptr) {
  return FillGrowing<Text>(
      [&](Text& buffer, DWORD size) -> DWORD {
        if (calls) ++*calls;
        if (text.size() < size) {
          buffer.replace(0, text.size(), text);
          return static_cast<DWORD>(text.size());
        }
        if (way == TooSmall::kCutsShort) return size;
        return way == TooSmall::kSaysSizeNeeded ? static_cast<DWORD>(text.size() + 1) : 0;
      },
      first_size);
}

TEST(FillGrowingTest, GrowsUntilTheAnswerFitsWhicheverWayTheCallSaysItDidNot) {
  const Text long_text(1000, u'x');
  struct Case {
    Text text;
    TooSmall way;
    std::size_t first_size;
    std::optional<Text> expected;
  };
  const Case cases[] = {
      {u"short", TooSmall::kSaysSizeNeeded, 260, u"short"},
      {long_text, TooSmall::kSaysSizeNeeded, 10, long_text},
      {long_text, TooSmall::kCutsShort, 10, long_text},
      // Filling the buffer to its last element leaves no room for the
      // terminator: that is too small, however the call says it.
      {Text(10, u'y'), TooSmall::kCutsShort, 10, Text(10, u'y')},
      {Text(9, u'y'), TooSmall::kCutsShort, 10, Text(9, u'y')},
      {long_text, TooSmall::kFails, 10, std::nullopt},
      {Text(), TooSmall::kSaysSizeNeeded, 10, std::nullopt},  // 0 written is a failure
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Filled(c.text, c.way, c.first_size), c.expected)
        << c.text.size() << " from " << c.first_size << " way " << static_cast<int>(c.way);
  }
}

TEST(FillGrowingTest, GivesUpOnACallThatNeverFits) {
  int calls = 0;
  EXPECT_EQ(Filled(Text(1 << 20, u'z'), TooSmall::kCutsShort, 4, &calls), std::nullopt);
  EXPECT_LE(calls, 8);
}

TEST(FillGrowingTest, ReadsTheProgramsPathWhateverSizeItStartsAt) {
  const auto module_path = [](std::size_t first_size) {
    return FillGrowing<Text>(
        [](Text& buffer, DWORD size) {
          return GetModuleFileNameW(nullptr, win32::Wide(buffer), size);
        },
        first_size);
  };
  const std::optional<Text> whole = module_path(MAX_PATH);
  ASSERT_TRUE(whole);
  EXPECT_TRUE(whole->ends_with(u".exe"));
  EXPECT_EQ(module_path(1), whole);
  EXPECT_EQ(module_path(whole->size()), whole);
}

}  // namespace
}  // namespace ostrevane
