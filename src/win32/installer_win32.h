#pragma once
// What Windows Installer says of advertised shortcuts: msi.dll is loaded
// when the first one is judged, so that a run without any never loads it,
// and only query functions are called: nothing here installs, repairs or
// provides a product.

#include <windows.h>

#include "catalogue/shortcut_status.h"
#include "win32/handles.h"

namespace ostrevane::win32 {

class InstallerQueries {
 public:
  TargetProbe::AdvertisedReading ReadAdvertised(const Text& shortcut_path);
  TargetProbe::ProductAnswer QueryProduct(const Text& product, const Text& user_sid);
  Text ComponentPath(const Text& product, const Text& component);

 private:
  // Loads msi.dll from the system folder once; false when it cannot be had,
  // with the reason in load_failure_.
  bool Load();

  using GetShortcutTarget = UINT(WINAPI*)(LPCWSTR, LPWSTR, LPWSTR, LPWSTR);
  using QueryProductState = INT(WINAPI*)(LPCWSTR);
  using GetComponentPath = INT(WINAPI*)(LPCWSTR, LPCWSTR, LPWSTR, DWORD*);
  using GetProductInfoEx = UINT(WINAPI*)(LPCWSTR, LPCWSTR, DWORD, LPCWSTR, LPWSTR, DWORD*);

  bool tried_ = false;
  UniqueModule module_;
  Text load_failure_;
  GetShortcutTarget get_shortcut_target_ = nullptr;
  QueryProductState query_product_state_ = nullptr;
  GetComponentPath get_component_path_ = nullptr;
  GetProductInfoEx get_product_info_ex_ = nullptr;
};

// The state Windows Installer answered for a product, as the rule reads it.
TargetProbe::ProductAnswer ProductAnswerOf(INT install_state);

}  // namespace ostrevane::win32
