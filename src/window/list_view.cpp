#include "window/list_view.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "base/twips.h"
#include "window/check_box_images.h"
#include "window/dpi.h"
#include "win32/win_text.h"
#include "window/window_base.h"
#include "window/gdi_handles.h"

namespace ostrevane::window {

using win32::FromWide;
using win32::Wide;

static_assert(kDefaultDpi == USER_DEFAULT_SCREEN_DPI);
namespace {

void CopyText(TextView text, wchar_t* buffer, int capacity) {
  if (!buffer || capacity <= 0) return;
  const std::size_t length =
      std::min<std::size_t>(text.size(), static_cast<std::size_t>(capacity - 1));
  std::copy_n(reinterpret_cast<const wchar_t*>(text.data()), length, buffer);
  buffer[length] = L'\0';
}

}  // namespace

void EntryListView::Create(HWND parent, int id) {
  Adopt(CreateChild(
      WS_EX_CLIENTEDGE, WC_LISTVIEWW, Text(),
      WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
      parent, id));
  ListView_SetExtendedListViewStyle(hwnd(),
                                    LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  // The check mark is the state image; the model supplies it for every row.
  SendMessageW(hwnd(), LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
  dpi_ = WindowDpi(hwnd());
  UseCheckBoxImages(dpi_);
  list_.SetObserver(this);
  RebuildColumns();
  SyncCount();
}

void EntryListView::SyncCount() {
  ListView_SetItemCountEx(hwnd(), static_cast<int>(list_.Size()), LVSICF_NOSCROLL);
  InvalidateRect(hwnd(), nullptr, FALSE);
}

void EntryListView::EndBatch() {
  if (batch_depth_ > 0 && --batch_depth_ == 0 && dirty_) {
    dirty_ = false;
    SyncCount();
  }
}

// Rows came, went or moved: the view takes the new count now, or once the
// batch ends.
void EntryListView::RowsMoved() {
  NoteChange(0, true);
  if (batch_depth_ > 0)
    dirty_ = true;
  else
    SyncCount();
}

void EntryListView::RowInserted(std::size_t) { RowsMoved(); }

// Only the rows from the removed one on change, and one row below the last
// is left empty: just that part of what is on screen is drawn again, so that
// removing rows below the visible ones, as a deletion pass through a long list
// mostly does, draws nothing but the scroll bar.
//
// Rows removed one after another are shown together: a removal soon after
// the list was last drawn stops the control drawing (the scroll bar too, which
// costs more to draw than the entry costs to move), and the list is drawn
// once, with every removal since, when the refresh interval is up. The
// control's count follows every removal at once all the same.
void EntryListView::RowRemoved(std::size_t position) {
  const int first = static_cast<int>(position) - 1;  // the row now where the removed one was
  if (batch_depth_ > 0) {
    NoteChange(first, true);
    dirty_ = true;
    return;
  }
  const int count = static_cast<int>(list_.Size());
  const DWORD now = GetTickCount();
  if (!held_ && now - shown_at_ < kRefreshMilliseconds) {
    SendMessageW(hwnd(), WM_SETREDRAW, FALSE, 0);
    held_ = true;
    SetTimer(hwnd(), kRefreshTimer, kRefreshMilliseconds, nullptr);
  }
  if (held_) {
    ListView_SetItemCountEx(hwnd(), count, LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
    NoteChange(first, true);
    return;
  }
  shown_at_ = now;
  const int top = ListView_GetTopIndex(hwnd());
  ListView_SetItemCountEx(hwnd(), count, LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
  RECT changed;
  GetClientRect(hwnd(), &changed);
  RECT row{};
  if (ListView_GetTopIndex(hwnd()) != top) {
    // A shorter list scrolled the view: every row moved.
  } else if (first < count && ListView_GetItemRect(hwnd(), first, &row, LVIR_BOUNDS)) {
    changed.top = std::max(changed.top, row.top);
  } else if (count > 0 && ListView_GetItemRect(hwnd(), count - 1, &row, LVIR_BOUNDS)) {
    changed.top = std::max(changed.top, row.bottom);
  }
  // Rows removed below the visible ones change nothing the user sees.
  NoteChange(first, changed.top < changed.bottom);
  if (changed.top < changed.bottom) InvalidateRect(hwnd(), &changed, FALSE);
}

void EntryListView::ShowHeldRows() {
  if (!held_) return;
  KillTimer(hwnd(), kRefreshTimer);
  held_ = false;
  // Drawing again takes the count into the scroll bar and draws every row.
  SendMessageW(hwnd(), WM_SETREDRAW, TRUE, 0);
  InvalidateRect(hwnd(), nullptr, FALSE);
  shown_at_ = GetTickCount();
}

void EntryListView::RowsReordered() { RowsMoved(); }

void EntryListView::NoteChange(int index, bool on_screen) {
  if (!toggling_) changes_.Changed(GetTickCount(), index, on_screen);
}

bool EntryListView::OnScreen(int index) const {
  const int top = ListView_GetTopIndex(hwnd());
  return index >= top && index <= top + ListView_GetCountPerPage(hwnd());
}

bool EntryListView::SeenAsItIs(int index) {
  // The message's own time says when the user made it, however long it
  // waited while a command kept the window busy.
  if (!changes_.Stale(static_cast<std::uint32_t>(GetMessageTime()), index)) return true;
  if (held_) {
    ShowHeldRows();
  } else {
    InvalidateRect(hwnd(), nullptr, FALSE);
  }
  return false;
}

void EntryListView::RowChanged(std::size_t position) {
  const int index = static_cast<int>(position) - 1;
  if (batch_depth_ > 0) {
    NoteChange(index, true);
    dirty_ = true;
    return;
  }
  NoteChange(index, held_ || OnScreen(index));
  ListView_RedrawItems(hwnd(), index, index);
}

void EntryListView::AddColumn(Text text) {
  columns_.Add(std::move(text));
  RebuildColumns();
}

void EntryListView::SetColumnWidth(std::size_t position, double twips) {
  columns_.SetWidth(position, twips);
  RebuildColumns();
}

void EntryListView::RebuildColumns() {
  HWND header = ListView_GetHeader(hwnd());
  const int existing = header ? Header_GetItemCount(header) : 0;
  for (int i = existing - 1; i >= 0; --i) ListView_DeleteColumn(hwnd(), i);
  for (std::size_t i = 1; i <= columns_.Count(); ++i) {
    const ListColumn& column = columns_.At(i);
    LVCOLUMNW lvc{};
    lvc.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    Text text = column.text;
    lvc.pszText = const_cast<wchar_t*>(Wide(text));
    lvc.cx = TwipsToPixels(WholeTwips(column.width_twips), dpi_);
    lvc.iSubItem = static_cast<int>(i - 1);
    ListView_InsertColumn(hwnd(), static_cast<int>(i - 1), &lvc);
  }
}

void EntryListView::SetDpi(int dpi) {
  if (dpi <= 0 || dpi == dpi_) return;
  HWND header = ListView_GetHeader(hwnd());
  const int columns = header ? Header_GetItemCount(header) : 0;
  for (int i = 0; i < columns; ++i) {
    // A column still at the width it was set to keeps that width in twips
    // exactly; one the user has dragged keeps its physical width.
    const int width = ListView_GetColumnWidth(hwnd(), i);
    const auto position = static_cast<std::size_t>(i) + 1;
    int twips = PixelsToTwips(width, dpi_);
    if (position <= columns_.Count()) {
      const int set_twips = WholeTwips(columns_.At(position).width_twips);
      if (TwipsToPixels(set_twips, dpi_) == width) twips = set_twips;
    }
    ListView_SetColumnWidth(hwnd(), i, TwipsToPixels(twips, dpi));
  }
  dpi_ = dpi;
  UseCheckBoxImages(dpi);
}

// The control draws its own check boxes once, at creation, at the system's
// metrics of that moment; these follow the list's DPI. It destroys the state
// image list it holds when it is destroyed (the list has no
// LVS_SHAREIMAGELISTS), so each one made here is handed over to it, and the
// one it hands back, its own at first, is destroyed here.
void EntryListView::UseCheckBoxImages(int dpi) {
  UniqueImageList images = CreateCheckBoxImages(hwnd(), dpi);
  if (!images) return;  // the boxes it has stay
  const UniqueImageList previous(ListView_SetImageList(hwnd(), images.release(), LVSIL_STATE));
}

void EntryListView::ToggleRow(std::size_t position) {
  if (position < 1 || position > list_.Size()) return;
  // The user's own tick changes the row the user sees, and a second click
  // made before it was drawn (a double click) ticks again, as in any list.
  toggling_ = true;
  try {
    list_.SetChecked(position, !list_.Entry(position).checked);
  } catch (const Failure&) {
    // A tick that cannot be set leaves the row as it was.
  }
  toggling_ = false;
}

std::optional<LRESULT> EntryListView::HandleNotification(UINT message, WPARAM, LPARAM lparam) {
  if (message != WM_NOTIFY) return std::nullopt;
  const NMHDR& header = *reinterpret_cast<const NMHDR*>(lparam);
  switch (header.code) {
    case LVN_GETDISPINFOW: {
      LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(lparam)->item;
      const std::size_t position = static_cast<std::size_t>(item.iItem) + 1;
      // The control may ask for a row that a command has just removed.
      const bool present = item.iItem >= 0 && position <= list_.Size();
      if (item.mask & LVIF_TEXT) {
        const StartMenuEntry entry = present ? list_.Entry(position) : StartMenuEntry{};
        const TextView text = item.iSubItem == 0 ? entry.text : entry.type;
        CopyText(item.iSubItem <= 1 ? text : TextView(), item.pszText, item.cchTextMax);
      }
      if (item.mask & LVIF_STATE) {
        const bool checked = present && list_.Entry(position).checked;
        item.state = (item.state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
        item.stateMask |= LVIS_STATEIMAGEMASK;
      }
      return 0;
    }
    case LVN_ODFINDITEMW: {
      // Typing the first letters of a name moves to the next row that starts
      // with them, as in any list.
      const auto& find = *reinterpret_cast<const NMLVFINDITEMW*>(lparam);
      if (!(find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find.lvfi.psz) return -1;
      const Text wanted = Lower(FromWide(find.lvfi.psz));
      const std::size_t count = list_.Size();
      for (std::size_t step = 0; step < count; ++step) {
        const std::size_t index =
            (static_cast<std::size_t>(std::max(find.iStart, 0)) + step) % count;
        const Text name = Lower(list_.Entry(index + 1).text);
        if (name.compare(0, wanted.size(), wanted) == 0) return static_cast<LRESULT>(index);
      }
      return -1;
    }
  }
  return std::nullopt;
}

// The tooltip learns where the pointer is from the list's mouse messages,
// handed on here rather than by a subclass of its own.
void EntryListView::RelayToTooltip(UINT message, WPARAM wparam, LPARAM lparam) {
  if (!tooltip_ || message < WM_MOUSEFIRST || message > WM_MOUSELAST) return;
  MSG relayed{hwnd(), message, wparam, lparam, static_cast<DWORD>(GetMessageTime()), {}};
  const DWORD at = GetMessagePos();
  relayed.pt = {GET_X_LPARAM(at), GET_Y_LPARAM(at)};
  SendMessageW(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

LRESULT EntryListView::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  RelayToTooltip(message, wparam, lparam);
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      LVHITTESTINFO hit{};
      hit.pt = {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
      const int index = ListView_HitTest(hwnd(), &hit);
      // A click made before the rows under it moved or changed, or while the
      // screen still showed them as they were, would reach another entry
      // than the one the user saw. The list is drawn afresh instead, for the
      // user to click again.
      if (!SeenAsItIs(index < 0 ? ListView_GetItemCount(hwnd()) : index)) return 0;
      // Only the check box ticks. The control answers a hit on another
      // column of the row with every "on the item" bit, the check box's too.
      if (index >= 0 && (hit.flags & LVHT_ONITEM) == LVHT_ONITEMSTATEICON) {
        ToggleRow(static_cast<std::size_t>(index) + 1);
      }
      break;  // the control still moves the focus and the selection
    }
    case WM_KEYDOWN: {
      const int focused = ListView_GetNextItem(hwnd(), -1, LVNI_FOCUSED);
      if (wparam == VK_SPACE) {
        if (focused >= 0 && SeenAsItIs(focused)) ToggleRow(static_cast<std::size_t>(focused) + 1);
        return 0;
      }
      ShowHeldRows();  // keys move over the rows as they are
      break;
    }
    case WM_MOUSEWHEEL:
    case WM_VSCROLL:
    case WM_HSCROLL:
      ShowHeldRows();
      break;
    case WM_PAINT: {
      // Painted while drawing is not held back, the screen shows the rows as
      // they are.
      const LRESULT painted = Default(message, wparam, lparam);
      if (!held_) changes_.Painted();
      return painted;
    }
    case WM_CHAR:
      if (wparam == L' ') return 0;  // not the start of a type-ahead search
      break;
    case WM_MOUSEMOVE:
      if (on_pointer_moved) on_pointer_moved();
      break;
    case WM_TIMER:
      if (wparam == kRefreshTimer) {
        ShowHeldRows();
        return 0;
      }
      break;
  }
  return Default(message, wparam, lparam);
}

}  // namespace ostrevane::window
