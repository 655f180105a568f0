#pragma once
// ListView1 on screen: a report-view list with a check box on every row that
// shows the entry list. It is an owner-data list, so the control holds no row
// of its own: it asks the model for what it draws, and a tick by mouse or
// Space goes straight into the model.

#include <windows.h>

#include <functional>

#include "base/twips.h"
#include "catalogue/entry_list.h"
#include "window_form/list_columns.h"
#include "window_form/row_changes.h"
#include "window/window_base.h"

namespace ostrevane::window {

class EntryListView : public WindowBase, public EntryListObserver {
 public:
  explicit EntryListView(EntryList& list) : list_(list) {}
  ~EntryListView() override { list_.SetObserver(nullptr); }

  void Create(HWND parent, int id);
  // Columns are shown as they are kept; each call fails as ListColumns does.
  void AddColumn(Text text);
  void SetColumnWidth(std::size_t position, double twips);
  // Column widths follow the window's DPI: twips as set at first, then the
  // user's own widths scaled.
  void SetDpi(int dpi);
  // While a batch is open, changes are collected and shown once at its end.
  void BeginBatch() { ++batch_depth_; }
  void EndBatch();
  // Toggles the check of the row at a 1-based position, as a click would.
  void ToggleRow(std::size_t position);

  // The tooltip that names the list: it is shown the list's mouse messages.
  void SetTooltip(HWND tooltip) { tooltip_ = tooltip; }

  // Called whenever the pointer moves over the list.
  std::function<void()> on_pointer_moved;

  // The id of the list's timer that ends a hold on drawing. The control's
  // own timers have small numbers or an address as their ids; this odd
  // number is neither.
  static constexpr UINT_PTR kRefreshTimer = 0x4F535201;

  void RowInserted(std::size_t position) override;
  void RowRemoved(std::size_t position) override;
  void RowChanged(std::size_t position) override;
  void RowsReordered() override;

 private:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  // The list's WM_NOTIFY: the model's rows as the owner-data list asks for
  // them, and the search by first letters.
  std::optional<LRESULT> HandleNotification(UINT message, WPARAM wparam, LPARAM lparam) override;
  void RelayToTooltip(UINT message, WPARAM wparam, LPARAM lparam);
  void SyncCount();
  void RowsMoved();
  void RebuildColumns();
  // Shows the rows removed while drawing was held back.
  void ShowHeldRows();
  // Notes that the rows from the 0-based `index` on changed, unless the
  // user's own tick changed them.
  void NoteChange(int index, bool on_screen);
  // Whether the 0-based row `index` was on screen as it is now when the
  // message being handled was made (its time); if not, the list is drawn
  // afresh for the user to see what is there now.
  bool SeenAsItIs(int index);
  bool OnScreen(int index) const;
  // Gives the control check boxes drawn for `dpi` as its state images.
  void UseCheckBoxImages(int dpi);
  // At most this often is the list drawn while rows keep being removed.
  static constexpr DWORD kRefreshMilliseconds = 250;

  HWND tooltip_ = nullptr;
  EntryList& list_;
  ListColumns columns_;
  int dpi_ = kDefaultDpi;
  int batch_depth_ = 0;
  bool dirty_ = false;
  bool held_ = false;   // drawing is held back until the refresh timer
  DWORD shown_at_ = 0;  // when a removal was last drawn (GetTickCount)
  RowChanges changes_;
  bool toggling_ = false;  // the user's own tick is changing a row
};

}  // namespace ostrevane::window
