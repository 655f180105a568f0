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
  // Types that differ only in letter case are equal: the rows keep their order.
  list.SetSortKey(EntryList::kSortByText);
  ASSERT_EQ(list.RowText(4), u"delta");
  list.SetType(4, u"folder");
  list.SetSortKey(EntryList::kSortByType);
  EXPECT_EQ(Texts(list), (std::vector<Text>{u"Alpha", u"delta", u"Gamma", u"alpha", u"beta"}));
}

// A sort key that fails for "Broken" fails the sort.
void SortKeyFailingForBroken(TextView text, std::string& out) {
  if (text == u"Broken") throw Failure(failure_text::kOutOfMemory);
  PortableSortKey(text, out);
}

TEST(EntryListTest, ASortThatFailsLeavesTheRowsAndTheirIndexesAsTheyWere) {
  EntryList list;
  for (const char16_t* name : {u"Zeta", u"Broken", u"Alpha"})
    list.SetTag(list.Add(name, name), name);
  SetSortKeyMapping(&SortKeyFailingForBroken);
  EXPECT_THROW(list.SetSorted(true), Failure);
  SetSortKeyMapping(nullptr);
  EXPECT_EQ(Texts(list), (std::vector<Text>{u"Zeta", u"Broken", u"Alpha"}));
  EXPECT_EQ(list.FindTag(u"alpha"), 3u);
  EXPECT_THROW(list.Add(u"Zeta", u"again"), Failure);
  list.Remove(1);
  EXPECT_EQ(list.FindTag(u"ALPHA"), 2u);
}

// Random adds, removals, checks, new texts and tags against a plain vector
// model: the position index, the tag index and every row's texts must agree
// with it. The texts share their units with the key in every way a row's
// record allows (the tag as the key's end or not, the text as the tag, its
// start, the tag and more, or apart), and rows written over again and again
// make the list write its texts afresh many times.
TEST(EntryListTest, PositionsTagsAndTextsAgreeWithAPlainModelUnderRandomChanges) {
  std::mt19937 random(12345);
  EntryList list;
  struct Row {
    Text text, type, key, tag;
    bool checked = false;
  };
  std::vector<Row> model;
  int next_key = 0;
  const auto some_tag = [&](const Text& key) -> Text {
    if (random() % 3 == 0) return u"T" + DecimalText(static_cast<long long>(random() % 50));
    return key.substr(1);  // the key's own end, as the scan's tags are
  };
  const auto some_text = [&](const Text& tag) -> Text {
    switch (random() % 4) {
      case 0:
        return tag;
      case 1:
        return tag.substr(0, tag.size() / 2);
      case 2:
        return tag + u" (All Users)";
      default:
        return u"other " + DecimalText(static_cast<long long>(random() % 1000));
    }
  };
  for (int round = 0; round < 6000; ++round) {
    const int action = static_cast<int>(random() % 12);
    if (action < 5 || model.empty()) {
      const Text key = u"Ct" + DecimalText(next_key++);
      const Text tag = some_tag(key);
      const std::size_t at = list.Add(key, key);
      list.SetTag(at, tag);
      list.SetType(at, random() % 2 ? u"Folder" : u"Shortcut");
      ASSERT_EQ(at, model.size() + 1);
      model.push_back({key, Text(list.Entry(at).type), key, tag, false});
    } else if (action < 8) {
      const std::size_t p = 1 + random() % model.size();
      list.Remove(p);
      model.erase(model.begin() + static_cast<long>(p - 1));
    } else if (action == 8) {
      const std::size_t p = 1 + random() % model.size();
      list.SetChecked(p, true);
      model[p - 1].checked = true;
    } else if (action == 9) {
      const std::size_t p = 1 + random() % model.size();
      model[p - 1].text = some_text(model[p - 1].tag);
      list.SetText(p, model[p - 1].text);
    } else if (action == 10) {
      const std::size_t p = 1 + random() % model.size();
      model[p - 1].tag = some_tag(model[p - 1].key);
      list.SetTag(p, model[p - 1].tag);
    } else {
      const Text tag = u"T" + DecimalText(static_cast<long long>(random() % (next_key + 1)));
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
    const StartMenuEntry row = list.Entry(i + 1);
    ASSERT_EQ(row.key, model[i].key);
    ASSERT_EQ(row.text, model[i].text);
    ASSERT_EQ(row.tag, model[i].tag);
    ASSERT_EQ(row.type, model[i].type);
    ASSERT_EQ(row.checked, model[i].checked);
  }
}

TEST(EntryListTest, TextsTooLongToKeepAreRefusedAndTheRowStaysAsItWas) {
  EntryList list;
  list.Add(u"CGames", u"Games");
  list.SetTag(1, u"Games");
  const Text huge(TextPool::kLongest, u'x');
  EXPECT_THROW(list.SetText(1, huge), Failure);
  EXPECT_THROW(list.Add(huge, u"x"), Failure);
  EXPECT_EQ(list.Count(), 1u);
  EXPECT_EQ(list.Entry(1).text, u"Games");
  EXPECT_EQ(list.Entry(1).tag, u"Games");
  EXPECT_EQ(list.FindTag(u"games"), 1u);
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
