#include "window_form/row_changes.h"

#include <algorithm>

namespace ostrevane {
namespace {

// Whether `time` is `reference` or later, across the wrap of the tick count.
bool AtOrAfter(std::uint32_t time, std::uint32_t reference) {
  return static_cast<std::int32_t>(time - reference) >= 0;
}

}  // namespace

void RowChanges::Changed(std::uint32_t time, int from, bool on_screen) {
  from = std::max(from, 0);
  if (on_screen) unpainted_from_ = std::min(unpainted_from_, from);
  if (changes_.size() == kKept) {
    changes_[1].from = std::min(changes_[0].from, changes_[1].from);
    changes_.erase(changes_.begin());
  }
  changes_.push_back({time, from});
}

bool RowChanges::Stale(std::uint32_t time, int index) const {
  if (index >= unpainted_from_) return true;
  // A change within the same tick as the click may have come after it.
  return std::any_of(changes_.begin(), changes_.end(), [&](const Change& change) {
    return index >= change.from && AtOrAfter(change.time, time);
  });
}

}  // namespace ostrevane
