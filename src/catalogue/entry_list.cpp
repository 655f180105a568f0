#include "catalogue/entry_list.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace ostrevane {

// ---- rows ------------------------------------------------------------------

std::size_t EntryList::SlotAt(std::size_t position) const {
  if (position < 1 || position > live_count_) throw Failure(failure_text::kIndexOutOfBounds);
  if (position - 1 < first_dead_) return position - 1;  // no dead slot before it
  return live_.SlotOf(position);
}

EntryList::Slot& EntryList::LiveSlot(std::size_t position) { return slots_[SlotAt(position)]; }
const EntryList::Slot& EntryList::LiveSlot(std::size_t position) const {
  return slots_[SlotAt(position)];
}

bool EntryList::KeyPresent(TextView key, std::uint64_t hash) const {
  bool present = false;
  keys_.ForEachWithHash(hash, [&](std::uint32_t slot) {
    present = present || (slots_[slot].live && KeyOf(slots_[slot]) == key);
  });
  return present;
}

void EntryList::StoreRow(Slot& slot, TextView key, TextView tag, TextView text) {
  // The record is built apart first: the texts given may be views of the
  // row's old record, which the new one may overwrite.
  Text& record = record_;
  record.assign(key);
  std::size_t tag_at = record.size();
  if (tag.size() <= key.size() && key.substr(key.size() - tag.size()) == tag) {
    tag_at = key.size() - tag.size();  // the key ends with the tag
  } else {
    record += tag;
  }
  std::size_t text_at = record.size();
  if (text.size() <= tag.size() && tag.substr(0, text.size()) == text) {
    text_at = tag_at;  // the text is the tag, or the start of it
  } else if (tag_at + tag.size() == record.size() && text.substr(0, tag.size()) == tag) {
    text_at = tag_at;  // the text goes on from the tag, which ends the record
    record += text.substr(tag.size());
  } else {
    record += text;
  }
  if (record.size() > TextPool::kLongest) throw Failure(failure_text::kOutOfMemory);
  if (slot.record_length > 0 && texts_.IsLast(slot.record, slot.record_length)) {
    texts_.CutBack(slot.record);  // the newest record is written over in place
  } else {
    abandoned_units_ += slot.record_length;
  }
  slot.record = texts_.Append(record);
  slot.record_length = static_cast<std::uint16_t>(record.size());
  slot.key_length = static_cast<std::uint16_t>(key.size());
  slot.tag_at = static_cast<std::uint16_t>(tag_at);
  slot.tag_length = static_cast<std::uint16_t>(tag.size());
  slot.text_at = static_cast<std::uint16_t>(text_at);
  slot.text_length = static_cast<std::uint16_t>(text.size());
}

// Rows written over and rows removed leave their records behind; once those
// outweigh the ones in use, the pool is written afresh.
void EntryList::MaybeCompactTexts() {
  if (abandoned_units_ > 4096 && abandoned_units_ > texts_.Used() / 2) CompactTexts();
}

std::uint16_t EntryList::TypeIndex(TextView type) {
  for (std::size_t i = 0; i < types_.size(); ++i) {
    if (types_[i] == type) return static_cast<std::uint16_t>(i);
  }
  if (types_.size() > 0xFFFF) throw Failure(failure_text::kOutOfMemory);
  types_.emplace_back(type);
  return static_cast<std::uint16_t>(types_.size() - 1);
}

void EntryList::CompactTexts() {
  TextPool kept;
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    Slot& slot = slots_[i];
    if (!slot.live) continue;
    slot.record = kept.Append(texts_.View(slot.record, slot.record_length));
  }
  texts_ = std::move(kept);
  abandoned_units_ = 0;
}

std::size_t EntryList::Add(Text key, Text text) {
  const std::uint64_t key_hash = HashExact(key);
  if (KeyPresent(key, key_hash)) throw Failure(failure_text::kKeyNotUnique);
  Slot slot;
  StoreRow(slot, key, TextView(), text);
  slots_.push_back(slot);
  MaybeCompactTexts();
  const auto index = static_cast<std::uint32_t>(slots_.size() - 1);
  keys_.Insert(index, key_hash);
  tags_.Insert(index, HashIgnoringCase(TextView()));
  live_.Append();
  ++live_count_;
  if (!sorted_) {
    if (observer_) observer_->RowInserted(live_count_);
    return live_count_;
  }
  SortRows();
  for (std::size_t p = 1; p <= live_count_; ++p) {
    if (KeyOf(LiveSlot(p)) == key) return p;
  }
  return live_count_;
}

Text EntryList::RowText(std::size_t position) const { return Text(TextOf(LiveSlot(position))); }

Text EntryList::RowKey(std::size_t position) const { return Text(KeyOf(LiveSlot(position))); }

bool EntryList::Checked(std::size_t position) const { return LiveSlot(position).checked; }

void EntryList::SetText(std::size_t position, Text text) {
  Slot& slot = LiveSlot(position);
  StoreRow(slot, KeyOf(slot), TagOf(slot), text);
  MaybeCompactTexts();
  if (observer_) observer_->RowChanged(position);
}

void EntryList::SetType(std::size_t position, Text type) {
  Slot& slot = LiveSlot(position);
  slot.type = TypeIndex(type);
  if (observer_) observer_->RowChanged(position);
}

void EntryList::SetTag(std::size_t position, Text tag) {
  const auto index = static_cast<std::uint32_t>(SlotAt(position));
  Slot& slot = slots_[index];
  StoreRow(slot, KeyOf(slot), tag, TextOf(slot));
  tags_.Erase(index);
  tags_.Insert(index, HashIgnoringCase(tag));
  MaybeCompactTexts();
}

void EntryList::SetChecked(std::size_t position, bool checked) {
  Slot& slot = LiveSlot(position);
  if (slot.checked == checked) return;
  slot.checked = checked;
  if (observer_) observer_->RowChanged(position);
}

void EntryList::Remove(std::size_t position) {
  const std::size_t slot = SlotAt(position);
  slots_[slot].live = false;
  abandoned_units_ += slots_[slot].record_length;
  live_.Kill(slot);
  first_dead_ = std::min(first_dead_, slot);
  --live_count_;
  const std::size_t dead = slots_.size() - live_count_;
  if (dead > 64 && dead > live_count_) {
    Compact();
  } else {
    MaybeCompactTexts();
  }
  if (observer_) observer_->RowRemoved(position);
}

StartMenuEntry EntryList::Entry(std::size_t position) const {
  const Slot& slot = LiveSlot(position);
  return {TextOf(slot), types_[slot.type], KeyOf(slot), TagOf(slot), slot.checked};
}

// ---- tags ------------------------------------------------------------------

std::optional<std::size_t> EntryList::FindTag(TextView tag, std::size_t from) const {
  if (from > live_count_) return std::nullopt;
  // Slots keep list order, so the rows from `from` on are the slots from its.
  const std::size_t from_slot = from <= 1 ? 0 : SlotAt(from);
  std::optional<std::size_t> first;
  tags_.ForEachWithHash(HashIgnoringCase(tag), [&](std::uint32_t slot) {
    if (slots_[slot].live && slot >= from_slot && (!first || slot < *first) &&
        EqualIgnoringCase(TagOf(slots_[slot]), tag)) {
      first = slot;
    }
  });
  if (!first) return std::nullopt;
  return live_.PositionOf(*first);
}

// ---- order -----------------------------------------------------------------

void EntryList::SetSorted(bool sorted) {
  sorted_ = sorted;
  if (sorted_) SortRows();
}

void EntryList::SetSortKey(int column) {
  if (column != kSortByText && column != kSortByType) {
    throw Failure(failure_text::kInvalidArgument);
  }
  sort_key_ = column;
  if (sorted_) SortRows();
}

void EntryList::Compact() {
  CompactTexts();
  ChunkedVector<Slot> kept;
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    if (slots_[i].live) kept.push_back(slots_[i]);
  }
  slots_ = std::move(kept);
  RebuildIndexes();
}

void EntryList::SortRows() {
  if (live_count_ != slots_.size()) Compact();  // every slot a row from here on
  std::vector<std::uint32_t> order(slots_.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<std::uint32_t>(i);
  // The indexes are built afresh once the rows have moved. They are let go
  // first, so that the sort keys, a long list's largest buffer, take the
  // memory they held rather than adding to it; a sort that fails builds them
  // again for the rows as they were.
  keys_ = HashChains();
  tags_ = HashChains();
  live_ = LiveSlotIndex();
  try {
    SortOrder(order);
  } catch (...) {
    RebuildIndexes();
    throw;
  }
  // The rows move to their places in cycles, one at a time, so that a long
  // list is never held twice; a placed position is marked by pointing at
  // itself.
  for (std::size_t start = 0; start < order.size(); ++start) {
    if (order[start] == start) continue;
    const Slot held = slots_[start];
    std::size_t to = start;
    while (order[to] != start) {
      const std::size_t from = order[to];
      slots_[to] = slots_[from];
      order[to] = static_cast<std::uint32_t>(to);
      to = from;
    }
    slots_[to] = held;
    order[to] = static_cast<std::uint32_t>(to);
  }
  order = {};
  RebuildIndexes();
  if (observer_) observer_->RowsReordered();
}

void EntryList::SortOrder(std::vector<std::uint32_t>& order) const {
  const SortKeyMapping sort_key = ActiveSortKey();
  if (sort_key_ == kSortByType) {
    // Types are a handful of texts: each is ranked once by its sort key
    // (types whose keys are equal rank alike), and rows compare by rank.
    std::vector<std::string> type_keys(types_.size());
    for (std::size_t i = 0; i < types_.size(); ++i) sort_key(types_[i], type_keys[i]);
    std::vector<std::uint32_t> rank(types_.size(), 0);
    for (std::size_t i = 0; i < types_.size(); ++i) {
      for (const std::string& other : type_keys) rank[i] += other < type_keys[i] ? 1 : 0;
    }
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
      return rank[slots_[a].type] < rank[slots_[b].type];
    });
    return;
  }
  // One sort key per row, end to end in one buffer, each ending where the
  // next begins; then positions are sorted rather than rows.
  std::string keys;
  std::vector<std::uint32_t> ends(slots_.size());
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    sort_key(TextOf(slots_[i]), keys);
    ends[i] = static_cast<std::uint32_t>(keys.size());
  }
  const auto view = [&](std::uint32_t i) {
    const std::uint32_t begin = i == 0 ? 0 : ends[i - 1];
    return std::string_view(keys).substr(begin, ends[i] - begin);
  };
  std::stable_sort(order.begin(), order.end(),
                   [&](std::uint32_t a, std::uint32_t b) { return view(a) < view(b); });
}

void EntryList::RebuildIndexes() {
  live_.Rebuild(slots_.size());
  first_dead_ = static_cast<std::size_t>(-1);
  live_count_ = slots_.size();
  keys_.Clear(slots_.size());
  tags_.Clear(slots_.size());
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    keys_.Insert(static_cast<std::uint32_t>(i), HashExact(KeyOf(slots_[i])));
    tags_.Insert(static_cast<std::uint32_t>(i), HashIgnoringCase(TagOf(slots_[i])));
  }
}

}  // namespace ostrevane
