#pragma once
// The rows of the entry list and the rules the list keeps for them. This is
// the one copy of the entries: the on-screen list view only shows it.
//
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
#include "catalogue/rows.h"
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

// Told about every change, so that a view can follow the model.
class EntryListObserver {
 public:
  virtual ~EntryListObserver() = default;
  virtual void RowInserted(std::size_t position) = 0;
  virtual void RowRemoved(std::size_t position) = 0;
  virtual void RowChanged(std::size_t position) = 0;
  virtual void RowsReordered() = 0;
};

class EntryList final : public Rows {
 public:
  std::size_t Add(Text key, Text text) override;
  std::size_t Count() const override { return live_count_; }

  Text RowText(std::size_t position) const override;
  Text RowKey(std::size_t position) const override;
  bool Checked(std::size_t position) const override;
  void SetText(std::size_t position, Text text) override;
  void SetType(std::size_t position, Text type) override;
  void SetTag(std::size_t position, Text tag) override;
  void SetChecked(std::size_t position, bool checked) override;
  void Remove(std::size_t position) override;

  std::optional<std::size_t> FindTag(TextView tag, std::size_t from = 1) const override;

  void SetSorted(bool sorted) override;
  bool Sorted() const { return sorted_; }
  void SetSortKey(int column) override;
  int SortKey() const { return sort_key_; }

  // For views, which read every row they draw: the count and a whole row,
  // without a virtual call or a copy of its texts.
  std::size_t Size() const { return live_count_; }
  StartMenuEntry Entry(std::size_t position) const;

  void SetObserver(EntryListObserver* observer) { observer_ = observer; }

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

  std::size_t SlotAt(std::size_t position) const;
  Slot& LiveSlot(std::size_t position);
  const Slot& LiveSlot(std::size_t position) const;
  bool KeyPresent(TextView key, std::uint64_t hash) const;
  void Compact();
  void SortRows();
  // Sorts `order`, the slots 0 to n - 1, into the order of the sort column.
  void SortOrder(std::vector<std::uint32_t>& order) const;
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
  bool sorted_ = false;
  int sort_key_ = kSortByText;
  EntryListObserver* observer_ = nullptr;
};

}  // namespace ostrevane
