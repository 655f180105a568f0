#include "catalogue/text_pool.h"

#include <algorithm>

#include "base/failure.h"

namespace ostrevane {

std::uint32_t TextPool::Append(TextView text) {
  if (text.size() > kLongest) throw Failure(failure_text::kOutOfMemory);
  const auto length = static_cast<std::uint32_t>(text.size());
  std::uint64_t start = end_;
  // A text that would cross into the next block starts at that block instead.
  if ((start & kBlockMask) + length > kBlockUnits) start = (start | kBlockMask) + 1;
  if (start + length > 0xFFFFFFFFull) throw Failure(failure_text::kOutOfMemory);
  if (length > 0) {
    const auto block = static_cast<std::size_t>(start >> kBlockBits);
    if (block >= blocks_.size()) blocks_.resize(block + 1);
    if (!blocks_[block]) blocks_[block] = std::make_unique_for_overwrite<char16_t[]>(kBlockUnits);
    std::copy(text.begin(), text.end(), blocks_[block].get() + (start & kBlockMask));
  }
  end_ = static_cast<std::uint32_t>(start + length);
  return static_cast<std::uint32_t>(start);
}

}  // namespace ostrevane
