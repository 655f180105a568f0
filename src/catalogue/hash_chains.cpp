#include "catalogue/hash_chains.h"

#include <algorithm>

namespace ostrevane {

namespace {

constexpr std::uint64_t kFnvOffset = 14695981039346656037ull;
constexpr std::uint64_t kFnvPrime = 1099511628211ull;

}  // namespace

std::uint64_t HashExact(TextView text) {
  std::uint64_t hash = kFnvOffset;
  for (char16_t unit : text) hash = (hash ^ unit) * kFnvPrime;
  return hash;
}

std::uint64_t HashIgnoringCase(TextView text) {
  const CaseMapping map = ActiveCaseMapping();
  std::uint64_t hash = kFnvOffset;
  for (char16_t unit : text) hash = (hash ^ map(unit)) * kFnvPrime;
  return hash;
}

bool EqualIgnoringCase(TextView a, TextView b) {
  if (a.size() != b.size()) return false;
  const CaseMapping map = ActiveCaseMapping();
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && map(a[i]) != map(b[i])) return false;
  }
  return true;
}

void HashChains::Clear(std::size_t expected) {
  std::size_t buckets = 16;
  while (buckets < expected) buckets *= 2;
  heads_.assign(expected ? buckets : 0, kNone);
  next_.assign(expected, kNone);
  hashes_.assign(expected, 0);
  count_ = 0;
}

void HashChains::Insert(std::uint32_t slot, std::uint64_t hash) {
  if (count_ + 1 > heads_.size()) Grow();
  if (slot >= next_.size()) {
    next_.resize(std::max<std::size_t>(slot + 1, next_.size() * 2), kNone);
    hashes_.resize(next_.size(), 0);
  }
  const std::size_t bucket = Short(hash) & (heads_.size() - 1);
  hashes_[slot] = Short(hash);
  next_[slot] = heads_[bucket];
  heads_[bucket] = slot;
  ++count_;
}

void HashChains::Erase(std::uint32_t slot) {
  std::uint32_t* link = &heads_[hashes_[slot] & (heads_.size() - 1)];
  while (*link != kNone && *link != slot) link = &next_[*link];
  if (*link == kNone) return;
  *link = next_[slot];
  next_[slot] = kNone;
  --count_;
}

void HashChains::Grow() {
  std::vector<std::uint32_t> chained;
  chained.reserve(count_);
  for (std::uint32_t head : heads_) {
    for (std::uint32_t s = head; s != kNone; s = next_[s]) chained.push_back(s);
  }
  heads_.assign(std::max<std::size_t>(16, heads_.size() * 2), kNone);
  for (std::uint32_t s : chained) {
    const std::size_t bucket = hashes_[s] & (heads_.size() - 1);
    next_[s] = heads_[bucket];
    heads_[bucket] = s;
  }
}

}  // namespace ostrevane
