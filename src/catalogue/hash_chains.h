#pragma once
// An index from a 64-bit hash to the slots (0-based) that carry it: slots are
// chained through one array per field, without an allocation per slot. The
// caller compares the slots it is shown, since different texts may share a
// hash. Erased and dead slots may stay chained; lookups are for the caller to
// filter.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/text.h"

namespace ostrevane {

class HashChains {
 public:
  static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

  // Empties the index, sized for `expected` slots.
  void Clear(std::size_t expected = 0);
  void Insert(std::uint32_t slot, std::uint64_t hash);
  // Unchains the slot; a slot not chained is left alone.
  void Erase(std::uint32_t slot);

  // Calls visit(slot) for every chained slot whose hash is `hash`.
  template <typename Visit>
  void ForEachWithHash(std::uint64_t hash, Visit&& visit) const {
    if (heads_.empty()) return;
    for (std::uint32_t s = heads_[Short(hash) & (heads_.size() - 1)]; s != kNone; s = next_[s]) {
      if (hashes_[s] == Short(hash)) visit(s);
    }
  }

 private:
  // The hash folded into 32 bits is what is kept per slot, at half the
  // memory: enough to pass over nearly every other slot in a chain.
  static std::uint32_t Short(std::uint64_t hash) {
    return static_cast<std::uint32_t>(hash ^ (hash >> 32));
  }
  void Grow();
  std::vector<std::uint32_t> heads_;
  std::vector<std::uint32_t> next_;
  std::vector<std::uint32_t> hashes_;
  std::size_t count_ = 0;
};

// Hashes of a text: exactly, or ignoring letter case with the active case
// mapping (texts equal ignoring case hash alike).
std::uint64_t HashExact(TextView text);
std::uint64_t HashIgnoringCase(TextView text);
// Equality ignoring letter case with the active case mapping.
bool EqualIgnoringCase(TextView a, TextView b);

}  // namespace ostrevane
