#pragma once
// The rows as the scan and the window's commands use them: what they ask of
// the entry list, and nothing more. Rows are addressed by 1-based position,
// as the list view addresses them; failing operations throw Failure.

#include <cstddef>
#include <optional>

#include "base/text.h"

namespace ostrevane {

class Rows {
 public:
  // Sort columns: the row's text, or its type (first subitem).
  static constexpr int kSortByText = 0;
  static constexpr int kSortByType = 1;

  virtual ~Rows() = default;

  // Appends an unchecked row (in sorted order while sorting is on) and
  // returns its position. Fails, changing nothing, when the key is present.
  virtual std::size_t Add(Text key, Text text) = 0;
  virtual std::size_t Count() const = 0;

  // Field access; each fails when there is no row at `position`.
  virtual Text RowText(std::size_t position) const = 0;
  virtual Text RowKey(std::size_t position) const = 0;
  virtual bool Checked(std::size_t position) const = 0;
  virtual void SetText(std::size_t position, Text text) = 0;
  virtual void SetType(std::size_t position, Text type) = 0;
  virtual void SetTag(std::size_t position, Text tag) = 0;
  virtual void SetChecked(std::size_t position, bool checked) = 0;
  // Removes the row; every later row moves up by one.
  virtual void Remove(std::size_t position) = 0;

  // The first row at or after position `from`, in list order, whose tag
  // equals `tag`, ignoring letter case as Windows does for file names; no
  // such row is not a failure.
  virtual std::optional<std::size_t> FindTag(TextView tag, std::size_t from = 1) const = 0;

  // Sorting is ascending and stable, comparing texts without regard to case.
  // Switching it on sorts by the sort column; changing the sort column while
  // it is on sorts again.
  virtual void SetSorted(bool sorted) = 0;
  virtual void SetSortKey(int column) = 0;
};

}  // namespace ostrevane
