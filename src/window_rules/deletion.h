#pragma once
// "Start Deleting Checked Entries": counts the checked rows, asks once, then
// moves each row's entry that is checked when it is reached to the Recycle
// Bin and removes the row, walking from the last row to the first. The
// entries that were not moved keep their checked rows and are named, with
// why, in one report at the end of the pass.

#include <vector>

#include "catalogue/entry_key.h"
#include "catalogue/rows.h"
#include "catalogue/folder_service.h"
#include "catalogue/recycler.h"
#include "window_rules/dialogs.h"
#include "window_rules/event_pump.h"

namespace ostrevane {

struct DeletionContext {
  Rows& list;
  Dialogs& dialogs;
  EventPump& pump;
  RootLookup& roots;
  Recycler& recycler;
  Text title;  // the caption of the question and of the closing message
  // Whether the program runs with an administrator's rights: without them,
  // the report says how to remove the all users' entries it could not.
  bool elevated = false;
};

// An entry the pass did not move, by its row's name.
struct UnmovedEntry {
  Text name;
  Root root;
  NotMoved not_moved;
};

// The report's description of the entries a pass did not move.
Text UnmovedEntriesReport(const std::vector<UnmovedEntry>& entries, bool elevated);

// Deletes the checked rows' entries (PushButton2's command).
void DeleteChecked(DeletionContext& context);

}  // namespace ostrevane
