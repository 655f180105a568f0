#include "catalogue/entry_list.h"

#include <gtest/gtest.h>

#include <random>

#include "support/fakes.h"

namespace ostrevane {
namespace {

std::vector<Text> Texts(const EntryList& list) {
  std::vector<Text> texts;
  for (std::size_t p = 1; p <= list.Count(); ++p) texts.push_back(list.RowText(p));
  return texts;
}

TEST(EntryListTest, AddAppendsUncheckedRowsAndRefusesDuplicateKeysUnchanged) {
  EntryList list;
  EXPECT_EQ(list.Add(u"CA", u"a"), 1u);
  EXPECT_EQ(list.Add(u"CB", u"b"), 2u);
  EXPECT_FALSE(list.Checked(1));
  EXPECT_FALSE(list.Checked(2));

  try {
    list.Add(u"CA", u"again");
    FAIL() << "a duplicate key must fail";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.description(), u"Key is not unique in collection");
  }
  EXPECT_EQ(Texts(list), (std::vector<Text>{u"a", u"b"}));
  // Keys compare exactly: names differing only in case each get their row.
  EXPECT_EQ(list.Add(u"Ca", u"a lower"), 3u);
}

TEST(EntryListTest, FieldsAreStoredWithTheRowAndMissingPositionsFail) {
  EntryList list;
  const std::size_t row = list.Add(u"AGames.lnk", u"Games");
  list.SetTag(row, u"Games.lnk");
  list.SetType(row, u"Shortcut");
  list.SetText(row, list.RowText(row) + u" (All Users)");
  list.SetChecked(row, true);
  EXPECT_EQ(list.RowText(1), u"Games (All Users)");
  EXPECT_EQ(list.Entry(1).type, u"Shortcut");
  EXPECT_EQ(list.RowKey(1), u"AGames.lnk");
  EXPECT_EQ(list.Entry(1).tag, u"Games.lnk");
  EXPECT_TRUE(list.Checked(1));

  for (std::size_t bad : {std::size_t{0}, std::size_t{2}}) {
    EXPECT_THROW(list.Checked(bad), Failure);
    EXPECT_THROW(list.RowKey(bad), Failure);
    EXPECT_THROW(list.SetChecked(bad, true), Failure);
    EXPECT_THROW(list.Remove(bad), Failure);
  }
}

TEST(EntryListTest, RemoveMovesLaterRowsUpAndFreesTheKey) {
  EntryList list;
  for (const char16_t* name : {u"1", u"2", u"3", u"4"}) list.Add(Text(u"C") + name, name);
  list.Remove(2);
  EXPECT_EQ(Texts(list), (std::vector<Text>{u"1", u"3", u"4"}));
  EXPECT_EQ(list.RowKey(2), u"C3");
  EXPECT_NO_THROW(list.Add(u"C2", u"2 again"));
}

TEST(EntryListTest, FindTagGivesTheFirstRowInListOrderIgnoringCase) {
  EntryList list;
  EXPECT_EQ(list.FindTag(u"Games"), std::nullopt);
  list.SetTag(list.Add(u"C1", u"one"), u"Tools");
  list.SetTag(list.Add(u"C2", u"two"), u"GAMES");
  list.SetTag(list.Add(u"C3", u"three"), u"games");
  EXPECT_EQ(list.FindTag(u"Games"), 2u);
  EXPECT_EQ(list.FindTag(u"Games", 3), 3u);  // from a later row on
  EXPECT_EQ(list.FindTag(u"Games", 4), std::nullopt);
  EXPECT_EQ(list.FindTag(u"Tools.lnk"), std::nullopt);
  list.Remove(2);
  EXPECT_EQ(list.FindTag(u"games"), 2u);  // the former third row, moved up
  EXPECT_EQ(list.FindTag(u"games", 2), 2u);
  list.SetTag(2, u"Other");
  EXPECT_EQ(list.FindTag(u"games"), std::nullopt);
  EXPECT_EQ(list.FindTag(u"OTHER"), 2u);
}

TEST(EntryListTest, SortingIsStableCaseInsensitiveAndFollowsTheSortColumn) {
  EntryList list;
  const auto add = [&](const char16_t* key, const char16_t* text, const char16_t* type) {
    list.SetType(list.Add(key, text), type);
  };
  add(u"C1", u"beta", u"Shortcut");
  add(u"C2", u"Alpha", u"Folder");
  add(u"C3", u"alpha", u"Shortcut");
  add(u"C4", u"Gamma", u"Folder");
  list.SetSorted(false);
  EXPECT_EQ(Texts(list), (std::vector<Text>{u"beta", u"Alpha", u"alpha", u"Gamma"}));
  list.SetSorted(true);  // by text, the initial sort column
  EXPECT_EQ(Texts(list), (std::vector<Text>{u"Alpha", u"alpha", u"beta", u"Gamma"}));
  list.SetSortKey(EntryList::kSortByType);
  EXPECT_EQ(Texts(list), (std::vector<Text>{u"Alpha", u"Gamma", u"alpha", u"beta"}));
  EXPECT_EQ(list.FindTag(u""), 1u);  // the tag index follows the new order
  // Adding while sorted puts the row in its place, after its equals.
  EXPECT_EQ(list.Add(u"C5", u"delta"), 1u);  // its empty type sorts first
}

// Random adds, removals, checks and sorts against a plain vector model: the
// position index and the tag index must agree with it after every step.
TEST(EntryListTest, PositionsAndTagsAgreeWithAPlainModelUnderRandomChanges) {
  std::mt19937 random(12345);
  EntryList list;
  std::vector<StartMenuEntry> model;
  int next_key = 0;
  for (int round = 0; round < 4000; ++round) {
    const int action = static_cast<int>(random() % 10);
    if (action < 5 || model.empty()) {
      const Text key = u"C" + DecimalText(next_key++);
      const Text tag = u"t" + DecimalText(static_cast<long long>(random() % 50));
      const std::size_t at = list.Add(key, key);
      list.SetTag(at, tag);
      ASSERT_EQ(at, model.size() + 1);
      model.push_back({key, u"", key, tag, false});
    } else if (action < 8) {
      const std::size_t p = 1 + random() % model.size();
      list.Remove(p);
      model.erase(model.begin() + static_cast<long>(p - 1));
    } else if (action == 8) {
      const std::size_t p = 1 + random() % model.size();
      list.SetChecked(p, true);
      model[p - 1].checked = true;
    } else {
      const Text tag = u"T" + DecimalText(static_cast<long long>(random() % 50));
      std::optional<std::size_t> expected;
      for (std::size_t i = 0; i < model.size(); ++i) {
        if (Lower(model[i].tag) == Lower(tag)) {
          expected = i + 1;
          break;
        }
      }
      ASSERT_EQ(list.FindTag(tag), expected);
    }
    ASSERT_EQ(list.Count(), model.size());
  }
  for (std::size_t i = 0; i < model.size(); ++i) {
    ASSERT_EQ(list.RowKey(i + 1), model[i].key);
    ASSERT_EQ(list.Checked(i + 1), model[i].checked);
  }
}

}  // namespace
}  // namespace ostrevane

namespace ostrevane {
namespace {

// Many distinct texts take the merge-sort path, few take the grouping path:
// both must give the stable, case-insensitive order of a reference sort.
TEST(EntryListTest, SortMatchesAStableReferenceSortForManyAndFewDistinctTexts) {
  for (const int distinct : {3, 500}) {
    std::mt19937 random(distinct);
    EntryList list;
    std::vector<std::pair<Text, Text>> reference;  // folded text, key
    for (int i = 0; i < 600; ++i) {
      const long long pick = static_cast<long long>(random() % distinct);
      const Text text = (i % 2 ? u"Name " : u"NAME ") + DecimalText(pick);
      const Text key = u"C" + DecimalText(i);
      list.Add(key, text);
      reference.emplace_back(Lower(text), key);
    }
    std::stable_sort(reference.begin(), reference.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    list.SetSorted(true);
    for (std::size_t p = 1; p <= list.Count(); ++p) {
      ASSERT_EQ(list.RowKey(p), reference[p - 1].second) << "distinct " << distinct;
    }
  }
}

}  // namespace
}  // namespace ostrevane
