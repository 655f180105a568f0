#include "catalogue/live_slot_index.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace ostrevane {
namespace {

// Positions of the live slots in a plain array, the way the index must see them.
class PlainModel {
 public:
  void Rebuild(std::size_t slots) { live_.assign(slots, true); }
  void Append() { live_.push_back(true); }
  void Kill(std::size_t slot) { live_[slot] = false; }
  std::vector<std::size_t> LiveSlots() const {
    std::vector<std::size_t> slots;
    for (std::size_t s = 0; s < live_.size(); ++s) {
      if (live_[s]) slots.push_back(s);
    }
    return slots;
  }

 private:
  std::vector<bool> live_;
};

void ExpectAgrees(const LiveSlotIndex& index, const PlainModel& model) {
  const std::vector<std::size_t> live = model.LiveSlots();
  for (std::size_t p = 1; p <= live.size(); ++p) {
    ASSERT_EQ(index.SlotOf(p), live[p - 1]) << "position " << p;
    ASSERT_EQ(index.PositionOf(live[p - 1]), p) << "slot " << live[p - 1];
  }
}

TEST(LiveSlotIndexTest, PositionsSkipDeadSlotsAtTheStartMiddleAndEnd) {
  LiveSlotIndex index;
  index.Rebuild(5);
  index.Kill(0);
  index.Kill(2);
  index.Kill(4);
  EXPECT_EQ(index.SlotOf(1), 1u);
  EXPECT_EQ(index.SlotOf(2), 3u);
  EXPECT_EQ(index.PositionOf(1), 1u);
  EXPECT_EQ(index.PositionOf(3), 2u);
  index.Append();  // slot 5
  EXPECT_EQ(index.SlotOf(3), 5u);
  EXPECT_EQ(index.PositionOf(5), 3u);
}

TEST(LiveSlotIndexTest, AgreesWithAPlainArrayThroughAppendsKillsAndRebuilds) {
  std::mt19937 random(12);
  LiveSlotIndex index;
  PlainModel model;
  std::size_t slots = 0;
  for (int round = 0; round < 3; ++round) {
    // Appends across several powers of two, so that every node shape occurs.
    for (int i = 0; i < 300; ++i) {
      index.Append();
      model.Append();
      ++slots;
    }
    ExpectAgrees(index, model);
    for (int i = 0; i < 200; ++i) {
      const std::vector<std::size_t> live = model.LiveSlots();
      if (live.empty()) break;
      const std::size_t slot = live[random() % live.size()];
      index.Kill(slot);
      model.Kill(slot);
    }
    ExpectAgrees(index, model);
    if (round == 1) {
      index.Rebuild(slots);
      model.Rebuild(slots);
      ExpectAgrees(index, model);
    }
  }
}

}  // namespace
}  // namespace ostrevane
