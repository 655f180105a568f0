#pragma once
// Texts stored end to end in large blocks and addressed by where they start:
// a long list of short texts costs one allocation per block instead of one
// per text, and no text ever moves. A text never spans two blocks.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "base/text.h"

namespace ostrevane {

class TextPool {
 public:
  // The longest text the pool takes: one block.
  static constexpr std::size_t kLongest = 0xFFFF;

  // Stores `text` after the texts already there and returns where it starts.
  // Fails with "Out of memory" for a text longer than kLongest or when the
  // pool's address space is used up.
  std::uint32_t Append(TextView text);
  TextView View(std::uint32_t start, std::size_t length) const {
    if (length == 0) return TextView();
    return TextView(blocks_[start >> kBlockBits].get() + (start & kBlockMask), length);
  }
  // True when the text at `start` of `length` units is the last one stored.
  bool IsLast(std::uint32_t start, std::size_t length) const { return start + length == end_; }
  // Gives back the space from `start` on, the last text or texts stored.
  void CutBack(std::uint32_t start) { end_ = start; }
  // The units from the first block's start to the last text's end.
  std::size_t Used() const { return end_; }

 private:
  static constexpr unsigned kBlockBits = 16;
  static constexpr std::uint32_t kBlockUnits = 1u << kBlockBits;
  static constexpr std::uint32_t kBlockMask = kBlockUnits - 1;
  std::vector<std::unique_ptr<char16_t[]>> blocks_;
  std::uint32_t end_ = 0;
};

}  // namespace ostrevane
