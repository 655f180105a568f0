#pragma once
// An order-statistics tree (a Fenwick tree) over slots that are live or dead:
// finds the slot of the n-th live slot, and the position of a live slot among
// the live ones, each in O(log n). A slot, once dead, stays dead until the
// next rebuild.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ostrevane {

class LiveSlotIndex {
 public:
  // `slots` slots, all live.
  void Rebuild(std::size_t slots);
  // One more slot, live, after the others.
  void Append();
  // Marks a live slot (0-based) dead.
  void Kill(std::size_t slot);
  // The 0-based slot of the position-th live slot; position is 1-based and at
  // most the number of live slots.
  std::size_t SlotOf(std::size_t position) const;
  // The number of live slots up to and including `slot` (0-based): the
  // 1-based position of a live slot.
  std::size_t PositionOf(std::size_t slot) const;

 private:
  std::vector<std::uint32_t> tree_{0};  // 1-based; slots are numbered in 32 bits
};

}  // namespace ostrevane
