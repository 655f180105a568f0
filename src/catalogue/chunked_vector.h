#pragma once
// A vector that grows in fixed chunks: elements never move when it grows, and
// no single allocation grows with the number of elements, so long lists cost
// neither reallocation copies nor huge fresh mappings.

#include <cstddef>
#include <memory>
#include <vector>

namespace ostrevane {

template <typename T, std::size_t kChunk = 1024>
class ChunkedVector {
 public:
  std::size_t size() const { return size_; }

  T& operator[](std::size_t i) { return chunks_[i / kChunk][i % kChunk]; }
  const T& operator[](std::size_t i) const { return chunks_[i / kChunk][i % kChunk]; }

  void push_back(T value) {
    if (size_ == chunks_.size() * kChunk) chunks_.push_back(std::make_unique<T[]>(kChunk));
    (*this)[size_] = std::move(value);
    ++size_;
  }

 private:
  std::vector<std::unique_ptr<T[]>> chunks_;
  std::size_t size_ = 0;
};

}  // namespace ostrevane
