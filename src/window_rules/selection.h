#pragma once
// The four selection commands: each sets check marks on the rows of the
// entry list, under its own step trap.

#include "catalogue/rows.h"
#include "catalogue/start_menu.h"
#include "window_rules/dialogs.h"
#include "window_rules/push_buttons.h"

namespace ostrevane {

struct SelectionContext {
  Rows& list;
  Dialogs& dialogs;
  PushButtonValues& buttons;
  Text title;  // the caption of the box that asks for a text
};

// "Select All" (PushButton4): every row checked.
void SelectAll(SelectionContext& context);
// "Unselect All" (PushButton5): every row unchecked.
void UnselectAll(SelectionContext& context);
// "Select All Containing This Text" (PushButton1): asks for a text and checks
// the rows whose display name contains it; other rows keep their check.
void SelectContaining(SelectionContext& context);
// "Select All Not Containing This Text" (PushButton3): the same for the rows
// whose display name does not contain it.
void SelectNotContaining(SelectionContext& context);

}  // namespace ostrevane
