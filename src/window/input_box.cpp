#include "window/input_box.h"

#include <vector>

#include "win32/win_text.h"
#include "window/window_base.h"
#include "win32/system_error.h"

namespace ostrevane::window {

using win32::FailWithLastError;
using win32::Wide;
namespace {

// Builds a dialog template in memory, so the box needs no resource script and
// works from any module, tests included.
class TemplateBuilder {
 public:
  void Dialog(DWORD style, short cx, short cy, WORD items) {
    Dword(style);
    Dword(0);  // extended style
    Word(items);
    Short(0);
    Short(0);
    Short(cx);
    Short(cy);
    Word(0);      // no menu
    Word(0);      // standard dialog class
    String(L"");  // caption set at WM_INITDIALOG
    Word(9);      // font size in points, scaled with the dialog
    String(L"Segoe UI");
  }

  void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom,
            const wchar_t* text) {
    while (words_.size() % 2 != 0) Word(0);  // items start on a DWORD boundary
    Dword(style | WS_CHILD | WS_VISIBLE);
    Dword(0);
    Short(x);
    Short(y);
    Short(cx);
    Short(cy);
    Word(id);
    Word(0xFFFF);
    Word(atom);
    String(text);
    Word(0);  // no creation data
  }

  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void Word(WORD w) { words_.push_back(w); }
  void Short(short s) { words_.push_back(static_cast<WORD>(s)); }
  void Dword(DWORD d) {
    Word(LOWORD(d));
    Word(HIWORD(d));
  }
  void String(const wchar_t* s) {
    do Word(static_cast<WORD>(*s));
    while (*s++);
  }
  std::vector<WORD> words_;
};

constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kEditAtom = 0x0081;
constexpr WORD kStaticAtom = 0x0082;

struct InputBoxState {
  const Text* prompt;
  const Text* caption;
  Text answer;
};

INT_PTR CALLBACK InputBoxProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* state = reinterpret_cast<InputBoxState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      state = reinterpret_cast<InputBoxState*>(lparam);
      SetWindowLongPtrW(dialog, DWLP_USER, lparam);
      SetWindowTextW(dialog, Wide(*state->caption));
      SetDlgItemTextW(dialog, kInputBoxPromptId, Wide(*state->prompt));
      SetFocus(GetDlgItem(dialog, kInputBoxEditId));
      return FALSE;  // focus set here
    }
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case IDOK:
          state->answer = WindowText(GetDlgItem(dialog, kInputBoxEditId));
          EndDialog(dialog, IDOK);
          return TRUE;
        case IDCANCEL:  // Cancel, Escape and the Close box
          state->answer.clear();
          EndDialog(dialog, IDCANCEL);
          return TRUE;
      }
      break;
  }
  return FALSE;
}

}  // namespace

Text ShowInputBox(HWND owner, const Text& prompt, const Text& caption) {
  TemplateBuilder builder;
  builder.Dialog(DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 250,
                 82, 4);
  builder.Item(SS_LEFT | SS_NOPREFIX, 7, 7, 180, 40, kInputBoxPromptId, kStaticAtom, L"");
  builder.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 193, 7, 50, 14, IDOK, kButtonAtom, L"OK");
  builder.Item(BS_PUSHBUTTON | WS_TABSTOP, 193, 25, 50, 14, IDCANCEL, kButtonAtom, L"Cancel");
  builder.Item(ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 60, 236, 14, kInputBoxEditId,
               kEditAtom, L"");
  InputBoxState state{&prompt, &caption, Text()};
  const INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), builder.Get(), owner,
                                                 InputBoxProc, reinterpret_cast<LPARAM>(&state));
  if (result == -1 || result == 0) FailWithLastError();
  return state.answer;
}

}  // namespace ostrevane::window
