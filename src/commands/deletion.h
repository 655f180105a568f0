#pragma once
// "Start Deleting Checked Entries": counts the checked rows, asks once, then
// moves each row's entry that is checked when it is reached to the Recycle
// Bin and removes the row, walking from the last row to the first.

#include "catalogue/entry_list.h"
#include "commands/dialogs.h"
#include "commands/event_pump.h"
#include "catalogue/folder_service.h"
#include "catalogue/recycler.h"

namespace ostrevane {

struct DeletionContext {
  EntryList& list;
  Dialogs& dialogs;
  EventPump& pump;
  RootLookup& roots;
  Recycler& recycler;
  Text title;  // the caption of the question and of the closing message
};

// Deletes the checked rows' entries (PushButton2's command).
void DeleteChecked(DeletionContext& context);

}  // namespace ostrevane
