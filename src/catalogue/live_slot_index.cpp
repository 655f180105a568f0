#include "catalogue/live_slot_index.h"

namespace ostrevane {
namespace {

// The lowest set bit of i: the span of slots that tree node i counts.
constexpr std::size_t LowBit(std::size_t i) { return i & (~i + 1); }

}  // namespace

void LiveSlotIndex::Rebuild(std::size_t slots) {
  tree_.assign(slots + 1, 0);
  for (std::size_t i = 1; i <= slots; ++i) {
    tree_[i] += 1;
    const std::size_t parent = i + LowBit(i);
    if (parent <= slots) tree_[parent] += tree_[i];
  }
}

void LiveSlotIndex::Append() {
  const std::size_t i = tree_.size();
  // The new node covers (i - lowbit(i), i]: itself plus the nodes below it.
  std::uint32_t sum = 1;
  for (std::size_t j = i - 1; j > i - LowBit(i); j -= LowBit(j)) sum += tree_[j];
  tree_.push_back(sum);
}

void LiveSlotIndex::Kill(std::size_t slot) {
  for (std::size_t i = slot + 1; i < tree_.size(); i += LowBit(i)) tree_[i] -= 1;
}

std::size_t LiveSlotIndex::SlotOf(std::size_t position) const {
  std::size_t at = 0;
  std::size_t step = 1;
  while (step * 2 < tree_.size()) step *= 2;
  for (; step > 0; step /= 2) {
    if (at + step < tree_.size() && tree_[at + step] < position) {
      at += step;
      position -= tree_[at];
    }
  }
  return at;  // 0-based slot of the position-th live slot
}

std::size_t LiveSlotIndex::PositionOf(std::size_t slot) const {
  std::size_t sum = 0;
  for (std::size_t i = slot + 1; i > 0; i -= LowBit(i)) sum += tree_[i];
  return sum;
}

}  // namespace ostrevane
