#include "catalogue/entry_list.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace ostrevane {

// ---- rows ------------------------------------------------------------------

void EntryList::Check(ListOperation operation) const {
  if (faults_) faults_->Before(operation);
}

std::size_t EntryList::SlotAt(std::size_t position) const {
  if (position < 1 || position > live_count_) throw Failure(failure_text::kIndexOutOfBounds);
  if (position - 1 < first_dead_) return position - 1;  // no dead slot before it
  return live_.SlotOf(position);
}

EntryList::Slot& EntryList::LiveSlot(std::size_t position) { return slots_[SlotAt(position)]; }
const EntryList::Slot& EntryList::LiveSlot(std::size_t position) const {
  return slots_[SlotAt(position)];
}

bool EntryList::KeyPresent(const Text& key, std::uint64_t hash) const {
  bool present = false;
  keys_.ForEachWithHash(hash, [&](std::uint32_t slot) {
    present = present || (slots_[slot].live && slots_[slot].entry.key == key);
  });
  return present;
}

std::size_t EntryList::Add(Text key, Text text) {
  Check(ListOperation::kAddRow);
  const std::uint64_t key_hash = HashExact(key);
  if (KeyPresent(key, key_hash)) throw Failure(failure_text::kKeyNotUnique);
  Slot slot;
  slot.entry.key = std::move(key);
  slot.entry.text = std::move(text);
  slot.key_hash = key_hash;
  slot.tag_hash = HashIgnoringCase(Text());
  slots_.push_back(std::move(slot));
  const auto index = static_cast<std::uint32_t>(slots_.size() - 1);
  keys_.Insert(index, slots_[index].key_hash);
  tags_.Insert(index, slots_[index].tag_hash);
  live_.Append();
  ++live_count_;
  if (!sorted_) {
    if (observer_) observer_->RowInserted(live_count_);
    return live_count_;
  }
  const Text added_key = slots_.back().entry.key;
  SortRows();
  for (std::size_t p = 1; p <= live_count_; ++p) {
    if (LiveSlot(p).entry.key == added_key) return p;
  }
  return live_count_;
}

std::size_t EntryList::Count() const {
  Check(ListOperation::kCount);
  return live_count_;
}

Text EntryList::RowText(std::size_t position) const {
  Check(ListOperation::kReadText);
  return LiveSlot(position).entry.text;
}

Text EntryList::RowKey(std::size_t position) const {
  Check(ListOperation::kReadKey);
  return LiveSlot(position).entry.key;
}

bool EntryList::Checked(std::size_t position) const {
  Check(ListOperation::kReadChecked);
  return LiveSlot(position).entry.checked;
}

void EntryList::SetText(std::size_t position, Text text) {
  Check(ListOperation::kWriteText);
  LiveSlot(position).entry.text = std::move(text);
  if (observer_) observer_->RowChanged(position);
}

void EntryList::SetType(std::size_t position, Text type) {
  Check(ListOperation::kWriteType);
  LiveSlot(position).entry.type = std::move(type);
  if (observer_) observer_->RowChanged(position);
}

void EntryList::SetTag(std::size_t position, Text tag) {
  Check(ListOperation::kWriteTag);
  const auto slot = static_cast<std::uint32_t>(SlotAt(position));
  tags_.Erase(slot);
  slots_[slot].tag_hash = HashIgnoringCase(tag);
  tags_.Insert(slot, slots_[slot].tag_hash);
  slots_[slot].entry.tag = std::move(tag);
}

void EntryList::SetChecked(std::size_t position, bool checked) {
  Check(ListOperation::kWriteChecked);
  Slot& slot = LiveSlot(position);
  if (slot.entry.checked == checked) return;
  slot.entry.checked = checked;
  if (observer_) observer_->RowChanged(position);
}

void EntryList::Remove(std::size_t position) {
  Check(ListOperation::kRemoveRow);
  const std::size_t slot = SlotAt(position);
  slots_[slot].live = false;
  live_.Kill(slot);
  first_dead_ = std::min(first_dead_, slot);
  --live_count_;
  const std::size_t dead = slots_.size() - live_count_;
  if (dead > 64 && dead > live_count_) Compact();
  if (observer_) observer_->RowRemoved(position);
}

const StartMenuEntry& EntryList::Entry(std::size_t position) const {
  return LiveSlot(position).entry;
}

// ---- tags ------------------------------------------------------------------

std::optional<std::size_t> EntryList::FindTag(TextView tag, std::size_t from) const {
  Check(ListOperation::kFindTag);
  if (from > live_count_) return std::nullopt;
  // Slots keep list order, so the rows from `from` on are the slots from its.
  const std::size_t from_slot = from <= 1 ? 0 : SlotAt(from);
  std::optional<std::size_t> first;
  tags_.ForEachWithHash(HashIgnoringCase(tag), [&](std::uint32_t slot) {
    if (slots_[slot].live && slot >= from_slot && (!first || slot < *first) &&
        EqualIgnoringCase(slots_[slot].entry.tag, tag)) {
      first = slot;
    }
  });
  if (!first) return std::nullopt;
  return live_.PositionOf(*first);
}

// ---- order -----------------------------------------------------------------

void EntryList::SetSorted(bool sorted) {
  Check(ListOperation::kSetSorted);
  sorted_ = sorted;
  if (sorted_) SortRows();
}

void EntryList::SetSortKey(int column) {
  Check(ListOperation::kSetSortKey);
  if (column != kSortByText && column != kSortByType) {
    throw Failure(failure_text::kInvalidArgument);
  }
  sort_key_ = column;
  if (sorted_) SortRows();
}

void EntryList::Compact() {
  ChunkedVector<Slot> kept;
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    if (slots_[i].live) kept.push_back(std::move(slots_[i]));
  }
  slots_ = std::move(kept);
  RebuildIndexes();
}

void EntryList::SortRows() {
  if (live_count_ != slots_.size()) Compact();  // every slot a row from here on
  // One sort key per row, all in one buffer; then positions are sorted
  // rather than rows.
  const SortKeyMapping sort_key = ActiveSortKey();
  std::string keys;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> spans;  // offset, length
  spans.reserve(slots_.size());
  // Types repeat a handful of texts: their keys are made once each.
  std::vector<std::pair<const Text*, std::size_t>> made;  // text, index of its span
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    const StartMenuEntry& entry = slots_[i].entry;
    const Text& text = sort_key_ == kSortByType ? entry.type : entry.text;
    if (sort_key_ == kSortByType) {
      const auto same =
          std::find_if(made.begin(), made.end(), [&](const auto& m) { return *m.first == text; });
      if (same != made.end()) {
        spans.push_back(spans[same->second]);
        continue;
      }
      if (made.size() < 16) made.emplace_back(&text, i);
    }
    const std::size_t offset = keys.size();
    sort_key(text, keys);
    spans.emplace_back(static_cast<std::uint32_t>(offset),
                       static_cast<std::uint32_t>(keys.size() - offset));
  }
  const auto view = [&](std::uint32_t i) {
    return std::string_view(keys).substr(spans[i].first, spans[i].second);
  };
  std::vector<std::uint32_t> order(slots_.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<std::uint32_t>(i);
  std::stable_sort(order.begin(), order.end(),
                   [&](std::uint32_t a, std::uint32_t b) { return view(a) < view(b); });
  // The rows move to their places in cycles, one at a time, so that a long
  // list is never held twice; a placed position is marked by pointing at
  // itself.
  for (std::size_t start = 0; start < order.size(); ++start) {
    if (order[start] == start) continue;
    Slot held = std::move(slots_[start]);
    std::size_t to = start;
    while (order[to] != start) {
      const std::size_t from = order[to];
      slots_[to] = std::move(slots_[from]);
      order[to] = static_cast<std::uint32_t>(to);
      to = from;
    }
    slots_[to] = std::move(held);
    order[to] = static_cast<std::uint32_t>(to);
  }
  RebuildIndexes();
  if (observer_) observer_->RowsReordered();
}

void EntryList::RebuildIndexes() {
  live_.Rebuild(slots_.size());
  first_dead_ = static_cast<std::size_t>(-1);
  live_count_ = slots_.size();
  keys_.Clear(slots_.size());
  tags_.Clear(slots_.size());
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    keys_.Insert(static_cast<std::uint32_t>(i), slots_[i].key_hash);
    tags_.Insert(static_cast<std::uint32_t>(i), slots_[i].tag_hash);
  }
}

// ---- visiting --------------------------------------------------------------

std::size_t EntryList::VisitStart() const {
  Check(ListOperation::kVisitStart);
  return live_count_;
}

void EntryList::VisitNext() const { Check(ListOperation::kVisitNext); }

// ---- columns ---------------------------------------------------------------

void EntryList::AddColumn(Text text) {
  Check(ListOperation::kAddColumn);
  columns_.push_back(ListColumn{std::move(text), 0});
  if (observer_) observer_->ColumnsChanged();
}

const ListColumn& EntryList::Column(std::size_t position) const {
  if (position < 1 || position > columns_.size()) throw Failure(failure_text::kIndexOutOfBounds);
  return columns_[position - 1];
}

void EntryList::SetColumnWidth(std::size_t position, double twips) {
  Check(ListOperation::kSetColumnWidth);
  if (position < 1 || position > columns_.size()) throw Failure(failure_text::kIndexOutOfBounds);
  if (!(twips >= 0)) throw Failure(failure_text::kInvalidArgument);
  columns_[position - 1].width_twips = twips;
  if (observer_) observer_->ColumnsChanged();
}

}  // namespace ostrevane
