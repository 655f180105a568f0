#pragma once
// What both fuzz targets stand on: the input read as a stream of choices,
// and a check that stops the run where an invariant breaks.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ostrevane::fuzzing {

// A broken invariant ends the run at once, so libFuzzer keeps the input.
#define CHECK(condition)                \
  do {                                  \
    if (!(condition)) __builtin_trap(); \
  } while (0)

// The fuzzer's bytes, handed out one choice at a time; zeros once used up.
class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  std::uint16_t Unit() { return static_cast<std::uint16_t>(Byte() | (Byte() << 8)); }
  bool empty() const { return at_ >= size_; }
  std::vector<std::uint8_t> Rest() { return {data_ + at_, data_ + size_}; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

}  // namespace ostrevane::fuzzing
