#pragma once
// The columns of the list's report view, addressed by 1-based position as
// start-up addresses them. The window's list view draws from this, and a
// test's stand-in for the window keeps it too, so both refuse alike.

#include <cstddef>
#include <utility>
#include <vector>

#include "base/failure.h"
#include "base/text.h"

namespace ostrevane {

struct ListColumn {
  Text text;
  double width_twips = 0;
};

class ListColumns {
 public:
  void Add(Text text) { columns_.push_back({std::move(text), 0}); }
  std::size_t Count() const { return columns_.size(); }
  const ListColumn& At(std::size_t position) const { return columns_[Index(position)]; }
  // Fails for a column that is not there and for a width that is negative or
  // not a number.
  void SetWidth(std::size_t position, double twips) {
    const std::size_t index = Index(position);
    if (!(twips >= 0)) throw Failure(failure_text::kInvalidArgument);
    columns_[index].width_twips = twips;
  }

 private:
  std::size_t Index(std::size_t position) const {
    if (position < 1 || position > columns_.size()) throw Failure(failure_text::kIndexOutOfBounds);
    return position - 1;
  }

  std::vector<ListColumn> columns_;
};

}  // namespace ostrevane
