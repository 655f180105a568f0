#pragma once
// The rows of the entry list and the rules the list keeps for them. This is
// the one copy of the entries: the on-screen list view only shows it.
//
// Rows are addressed by 1-based position, as the list view addresses them.
// A row's texts are kept as one record in a text pool, and the tag and the
// display text share the key's units wherever they repeat them (an entry's
// key is its root letter and its name; its text is mostly that name, or the
// name without its extension); a type is an index into the few types there
// are.
// Removal leaves a dead slot behind and an order-statistics tree maps a
// position to its slot, so removing rows one by one from a long list stays
// cheap; dead slots are swept out once they outnumber the live ones.

#include <cstddef>
#include <optional>
#include <cstdint>
#include <vector>

#include "base/failure.h"
#include "base/text.h"
#include "catalogue/chunked_vector.h"
#include "catalogue/hash_chains.h"
#include "catalogue/live_slot_index.h"
#include "catalogue/text_pool.h"

namespace ostrevane {

// A row as the list holds it. The texts are views into the list: they stay
// valid until the list next changes.
struct StartMenuEntry {
  TextView text;  // display name, first column
  TextView type;  // first subitem: "Folder" or "Shortcut"
  TextView key;   // entry key, unique within the list
  TextView tag;   // match name: the entry's own name in its root
  bool checked = false;
};

struct ListColumn {
  Text text;
  double width_twips = 0;
};

// Every operation the list offers, named so that a test can make any one of
// them fail.
enum class ListOperation {
  kAddRow,
  kCount,
  kReadText,
  kWriteText,
  kWriteType,
  kWriteTag,
  kReadKey,
  kReadChecked,
  kWriteChecked,
  kRemoveRow,
  kFindTag,
  kSetSorted,
  kSetSortKey,
  kVisitStart,
  kVisitNext,
  kAddColumn,
  kSetColumnWidth,
};

// Consulted before each operation; throws Failure to make that operation fail.
class ListFaults {
 public:
  virtual ~ListFaults() = default;
  virtual void Before(ListOperation operation) = 0;
};

// Told about every change, so that a view can follow the model.
class EntryListObserver {
 public:
  virtual ~EntryListObserver() = default;
  virtual void RowInserted(std::size_t position) = 0;
  virtual void RowRemoved(std::size_t position) = 0;
  virtual void RowChanged(std::size_t position) = 0;
  virtual void RowsReordered() = 0;
  virtual void ColumnsChanged() = 0;
};

class EntryList {
 public:
  // Sort columns: the row's text, or its type (first subitem).
  static constexpr int kSortByText = 0;
  static constexpr int kSortByType = 1;

  // Appends an unchecked row (in sorted order while sorting is on) and
  // returns its position. Fails, changing nothing, when the key is present.
  std::size_t Add(Text key, Text text);
  std::size_t Count() const;

  // Field access; each fails when there is no row at `position`.
  Text RowText(std::size_t position) const;
  Text RowKey(std::size_t position) const;
  bool Checked(std::size_t position) const;
  void SetText(std::size_t position, Text text);
  void SetType(std::size_t position, Text type);
  void SetTag(std::size_t position, Text tag);
  void SetChecked(std::size_t position, bool checked);
  // Removes the row; every later row moves up by one.
  void Remove(std::size_t position);

  // The first row at or after position `from`, in list order, whose tag
  // equals `tag`, ignoring letter case as Windows does for file names; no
  // such row is not a failure.
  std::optional<std::size_t> FindTag(TextView tag, std::size_t from = 1) const;

  // Sorting is ascending and stable, comparing texts without regard to case.
  // Switching it on sorts by the sort column; changing the sort column while
  // it is on sorts again.
  void SetSorted(bool sorted);
  bool Sorted() const { return sorted_; }
  void SetSortKey(int column);
  int SortKey() const { return sort_key_; }

  // Visiting every row in order, as a for-each over the rows does it: the
  // start gives the number of rows to visit, each advance may fail on its own.
  std::size_t VisitStart() const;
  void VisitNext() const;

  // Columns of the report view.
  void AddColumn(Text text);
  std::size_t ColumnCount() const { return columns_.size(); }
  const ListColumn& Column(std::size_t position) const;
  void SetColumnWidth(std::size_t position, double twips);

  // For views: the number of rows and a whole row, without the fault hook.
  std::size_t Size() const { return live_count_; }
  StartMenuEntry Entry(std::size_t position) const;

  void SetObserver(EntryListObserver* observer) { observer_ = observer; }
  void SetFaults(ListFaults* faults) { faults_ = faults; }

 private:
  // A row: its record in the pool opens with the key; the tag and the text
  // are ranges of the record, which may overlap the key and each other.
  struct Slot {
    std::uint32_t record = 0;
    std::uint16_t record_length = 0;
    std::uint16_t key_length = 0;
    std::uint16_t tag_at = 0;
    std::uint16_t tag_length = 0;
    std::uint16_t text_at = 0;
    std::uint16_t text_length = 0;
    std::uint16_t type = 0;  // index into types_
    bool checked = false;
    bool live = true;
  };

  TextView KeyOf(const Slot& slot) const { return texts_.View(slot.record, slot.key_length); }
  TextView TagOf(const Slot& slot) const {
    return texts_.View(slot.record + slot.tag_at, slot.tag_length);
  }
  TextView TextOf(const Slot& slot) const {
    return texts_.View(slot.record + slot.text_at, slot.text_length);
  }
  // Writes the row's record anew; fails, changing nothing, for texts too long
  // to keep.
  void StoreRow(Slot& slot, TextView key, TextView tag, TextView text);
  std::uint16_t TypeIndex(TextView type);
  void MaybeCompactTexts();
  void CompactTexts();

  void Check(ListOperation operation) const;
  std::size_t SlotAt(std::size_t position) const;
  Slot& LiveSlot(std::size_t position);
  const Slot& LiveSlot(std::size_t position) const;
  bool KeyPresent(TextView key, std::uint64_t hash) const;
  void Compact();
  void SortRows();
  void RebuildIndexes();

  ChunkedVector<Slot> slots_;
  LiveSlotIndex live_;
  std::size_t live_count_ = 0;
  // Every slot below this one is live, so a position that falls below it is
  // its own slot without asking the tree. Rows removed from the end first, as
  // the deletion pass removes them, leave the rows before them on this path.
  std::size_t first_dead_ = static_cast<std::size_t>(-1);
  TextPool texts_;
  Text record_;                      // where StoreRow builds a record, kept for the next one
  std::size_t abandoned_units_ = 0;  // records in the pool that no row uses
  std::vector<Text> types_{Text()};
  HashChains keys_;  // exact key
  HashChains tags_;  // tag, ignoring case
  std::vector<ListColumn> columns_;
  bool sorted_ = false;
  int sort_key_ = kSortByText;
  EntryListObserver* observer_ = nullptr;
  ListFaults* faults_ = nullptr;
};

}  // namespace ostrevane
