#include "catalogue/text_pool.h"

#include <gtest/gtest.h>

#include "base/failure.h"

namespace ostrevane {
namespace {

TEST(TextPoolTest, TextsReadBackWholeAcrossBlocksAndTheLastCanBeWrittenAgain) {
  TextPool pool;
  const Text first(40000, u'a'), second(40000, u'b');
  const std::uint32_t a = pool.Append(first);
  const std::uint32_t empty = pool.Append(Text());
  // Too long for the rest of the first block: it starts the next one whole.
  const std::uint32_t b = pool.Append(second);
  EXPECT_EQ(pool.View(a, first.size()), first);
  EXPECT_TRUE(pool.View(empty, 0).empty());
  EXPECT_EQ(pool.View(b, second.size()), second);
  EXPECT_GE(b, a + first.size());

  EXPECT_TRUE(pool.IsLast(b, second.size()));
  EXPECT_FALSE(pool.IsLast(a, first.size()));
  pool.CutBack(b);
  const std::uint32_t c = pool.Append(u"again");
  EXPECT_EQ(c, b);
  EXPECT_EQ(pool.View(c, 5), u"again");
  EXPECT_EQ(pool.View(a, first.size()), first);

  EXPECT_NO_THROW(pool.Append(Text(TextPool::kLongest, u'z')));
  EXPECT_THROW(pool.Append(Text(TextPool::kLongest + 1, u'z')), Failure);
}

}  // namespace
}  // namespace ostrevane
