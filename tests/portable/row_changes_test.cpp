#include "window_form/row_changes.h"

#include <gtest/gtest.h>

namespace ostrevane {
namespace {

struct Click {
  std::uint32_t time;
  int row;
  bool stale;
};

// Each case: the changes, whether the list was painted after them, and
// clicks with whether each could reach another row than the user saw.
TEST(RowChangesTest, AClickCountsOnlyOnARowShownAsItIsWhenTheClickWasMade) {
  struct Change {
    std::uint32_t time;
    int from;
    bool on_screen;
  };
  struct Case {
    const char* name;
    std::vector<Change> changes;
    bool painted;
    std::vector<Click> clicks;
  };
  const std::vector<Case> cases = {
      {"not painted yet: rows from the change on show what was there",
       {{1000, 4, true}},
       false,
       {{2000, 3, false}, {2000, 4, true}, {2000, 9, true}}},
      {"painted: a click made before the change, or in its tick, reaches a moved row",
       {{1000, 4, true}},
       true,
       {{999, 4, true}, {1000, 4, true}, {999, 3, false}, {1001, 4, false}}},
      {"below the visible rows nothing shows, but an earlier click still missed",
       {{1000, 40, false}},
       false,
       {{2000, 10, false}, {2000, 40, false}, {999, 40, true}}},
      {"the tick count wraps around",
       {{0xFFFFFFF0u, 2, true}},
       true,
       {{0x00000005u, 2, false}, {0xFFFFFFE0u, 2, true}}},
      {"no change at all", {}, false, {{0, 0, false}, {5, 100, false}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RowChanges changes;
    for (const Change& change : c.changes)
      changes.Changed(change.time, change.from, change.on_screen);
    if (c.painted) changes.Painted();
    for (const Click& click : c.clicks) {
      EXPECT_EQ(changes.Stale(click.time, click.row), click.stale)
          << "click at " << click.time << " on row " << click.row;
    }
  }
}

TEST(RowChangesTest, ManyChangesLaterNeverForgetAnEarlierOne) {
  RowChanges changes;
  changes.Changed(100, 2, true);
  for (std::uint32_t time = 200; time < 300; ++time) changes.Changed(time, 50, true);
  changes.Painted();
  EXPECT_TRUE(changes.Stale(50, 3));  // made before the first change, above the later ones
  EXPECT_TRUE(changes.Stale(250, 60));
  EXPECT_FALSE(changes.Stale(300, 60));
}

}  // namespace
}  // namespace ostrevane
