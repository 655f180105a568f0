#pragma once
// A list for a command to work on, seen through rows that can be made to
// fail, and what tests read back from a list row by row, in list order.

#include <set>
#include <string>
#include <vector>

#include "catalogue/entry_list.h"
#include "support/fakes.h"

namespace ostrevane::testing {

inline std::vector<Text> RowKeys(const EntryList& list, bool checked_only = false) {
  std::vector<Text> keys;
  for (std::size_t p = 1; p <= list.Size(); ++p) {
    if (!checked_only || list.Entry(p).checked) keys.emplace_back(list.Entry(p).key);
  }
  return keys;
}
inline std::vector<Text> CheckedKeys(const EntryList& list) { return RowKeys(list, true); }

inline std::set<Text> CheckedNames(const EntryList& list) {
  std::set<Text> names;
  for (std::size_t p = 1; p <= list.Size(); ++p) {
    if (list.Entry(p).checked) names.emplace(list.Entry(p).text);
  }
  return names;
}

// The check marks, one '1' or '0' per row.
inline std::string Marks(const EntryList& list) {
  std::string marks;
  for (std::size_t p = 1; p <= list.Size(); ++p) marks += list.Entry(p).checked ? '1' : '0';
  return marks;
}

// The base of a test's scene: the list, which the test fills and reads, and
// the rows over it that it hands to a command.
struct ListScene {
  ListScene() = default;
  ListScene(const ListScene&) = delete;
  ListScene& operator=(const ListScene&) = delete;

  std::vector<Text> RowKeys() const { return testing::RowKeys(list); }
  std::vector<Text> CheckedKeys() const { return testing::CheckedKeys(list); }
  std::set<Text> CheckedNames() const { return testing::CheckedNames(list); }
  std::string Marks() const { return testing::Marks(list); }

  EntryList list;
  FaultyRows rows{list};
};

}  // namespace ostrevane::testing
