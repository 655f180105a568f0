#pragma once
// What the user may have seen of the list's rows when a click was made. A
// click or key that was made before the rows under it changed, or while the
// screen still shows them as they were, would act on another row than the
// one the user saw: such a click must not tick anything. Times are the
// system's millisecond tick counts, which wrap around.

#include <cstdint>
#include <vector>

namespace ostrevane {

class RowChanges {
 public:
  static constexpr int kNoRow = 0x7FFFFFFF;

  // The rows from the 0-based `from` on changed at `time` (moved, came, went
  // or were ticked by a command); `on_screen` when that shows on screen once
  // the list is next painted.
  void Changed(std::uint32_t time, int from, bool on_screen);
  // The list was painted with every change so far.
  void Painted() { unpainted_from_ = kNoRow; }
  // Whether a click or key made at `time` on the 0-based row `index` could
  // reach another row than the one the user saw there.
  bool Stale(std::uint32_t time, int index) const;

 private:
  struct Change {
    std::uint32_t time;
    int from;
  };
  // A few changes are kept, the newest last; past that the oldest two become
  // one that covers both, which can only make more clicks stale, never fewer.
  static constexpr std::size_t kKept = 32;
  std::vector<Change> changes_;
  int unpainted_from_ = kNoRow;
};

}  // namespace ostrevane
