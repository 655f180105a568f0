#include "catalogue/hash_chains.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace ostrevane {
namespace {

std::vector<std::uint32_t> SlotsWith(const HashChains& chains, std::uint64_t hash) {
  std::vector<std::uint32_t> slots;
  chains.ForEachWithHash(hash, [&](std::uint32_t slot) { slots.push_back(slot); });
  std::sort(slots.begin(), slots.end());
  return slots;
}

TEST(HashChainsTest, FindsEverySlotOfAHashAndOnlyThoseAcrossGrowth) {
  HashChains chains;
  EXPECT_TRUE(SlotsWith(chains, 7).empty());  // never sized: nothing to visit
  // Hashes that share their low bits land in one bucket and must still be
  // told apart; 1,000 slots make the table grow several times.
  for (std::uint32_t slot = 0; slot < 1000; ++slot)
    chains.Insert(slot, std::uint64_t{slot % 3} << 40);
  for (std::uint64_t group = 0; group < 3; ++group) {
    const std::vector<std::uint32_t> found = SlotsWith(chains, group << 40);
    ASSERT_EQ(found.size(), group == 0 ? 334u : 333u);
    for (std::uint32_t slot : found) EXPECT_EQ(slot % 3, group);
  }
  EXPECT_TRUE(SlotsWith(chains, 3ull << 40).empty());
}

TEST(HashChainsTest, EraseUnchainsOneSlotAndClearEmptiesAll) {
  HashChains chains;
  chains.Clear(4);
  for (std::uint32_t slot : {0u, 1u, 2u, 3u}) chains.Insert(slot, 42);
  chains.Erase(2);
  chains.Erase(2);  // not chained any more: nothing happens
  EXPECT_EQ(SlotsWith(chains, 42), (std::vector<std::uint32_t>{0, 1, 3}));
  chains.Insert(2, 43);  // back under another hash
  EXPECT_EQ(SlotsWith(chains, 43), (std::vector<std::uint32_t>{2}));
  chains.Clear(2);
  EXPECT_TRUE(SlotsWith(chains, 42).empty());
  EXPECT_TRUE(SlotsWith(chains, 43).empty());
}

TEST(HashChainsTest, TextsEqualIgnoringCaseHashAlikeAndCompareEqual) {
  EXPECT_EQ(HashIgnoringCase(u"Games.LNK"), HashIgnoringCase(u"games.lnk"));
  EXPECT_EQ(HashIgnoringCase(u"ИГРЫ"), HashIgnoringCase(u"игры"));
  EXPECT_NE(HashExact(u"Games.LNK"), HashExact(u"games.lnk"));
  EXPECT_NE(HashIgnoringCase(u"Games"), HashIgnoringCase(u"Game"));
  EXPECT_TRUE(EqualIgnoringCase(u"Ärger", u"äRGER"));
  EXPECT_FALSE(EqualIgnoringCase(u"Game", u"Games"));
  EXPECT_FALSE(EqualIgnoringCase(u"Game", u"Gamf"));
}

}  // namespace
}  // namespace ostrevane
