#include "win32/installer_win32.h"

#include <msi.h>

#include "win32/win_text.h"
#include "win32/system_error.h"

namespace ostrevane::win32 {
namespace {

template <typename Function>
Function Find(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

Text CodeAndWords(UINT error) {
  return u"error " + DecimalText(error) + u", " + SystemErrorText(error);
}

}  // namespace

TargetProbe::ProductAnswer ProductAnswerOf(INT install_state) {
  using Product = TargetProbe::Product;
  switch (install_state) {
    case INSTALLSTATE_DEFAULT:
      return {Product::kInstalled, {}};
    case INSTALLSTATE_UNKNOWN:
      return {Product::kNotInstalled, {}};
    case INSTALLSTATE_ADVERTISED:
      return {Product::kOther, u"Windows Installer has it advertised but not installed"};
    case INSTALLSTATE_ABSENT:
      return {Product::kOther, u"Windows Installer has it installed for another user"};
    case INSTALLSTATE_INVALIDARG:
      return {Product::kOther, u"Windows Installer does not take its product code"};
    default:
      return {Product::kOther,
              u"Windows Installer answered the state " + DecimalText(install_state)};
  }
}

bool InstallerQueries::Load() {
  if (tried_) return static_cast<bool>(module_);
  tried_ = true;
  // By its full path in the system folder, never from the program's folder
  // or the current one.
  wchar_t system[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(system, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    load_failure_ = u"the system folder could not be found";
    return false;
  }
  const Text path = FromWide(system, length) + u"\\msi.dll";
  module_.reset(LoadLibraryExW(Wide(path), nullptr, 0));
  if (!module_) {
    load_failure_ = u"msi.dll could not be loaded: " + SystemErrorText(GetLastError());
    return false;
  }
  get_shortcut_target_ = Find<GetShortcutTarget>(module_.get(), "MsiGetShortcutTargetW");
  query_product_state_ = Find<QueryProductState>(module_.get(), "MsiQueryProductStateW");
  get_component_path_ = Find<GetComponentPath>(module_.get(), "MsiGetComponentPathW");
  get_product_info_ex_ = Find<GetProductInfoEx>(module_.get(), "MsiGetProductInfoExW");
  if (!get_shortcut_target_ || !query_product_state_ || !get_component_path_) {
    load_failure_ = u"msi.dll lacks the functions that tell a product's state";
    module_.reset();
    return false;
  }
  return true;
}

TargetProbe::AdvertisedReading InstallerQueries::ReadAdvertised(const Text& shortcut_path) {
  if (!Load()) return {std::nullopt, u"Windows Installer cannot be asked: " + load_failure_};
  wchar_t product[MAX_GUID_CHARS + 1] = {};
  wchar_t feature[MAX_FEATURE_CHARS + 1] = {};
  wchar_t component[MAX_GUID_CHARS + 1] = {};
  const UINT error = get_shortcut_target_(Wide(shortcut_path), product, feature, component);
  if (error != ERROR_SUCCESS) {
    return {std::nullopt,
            u"Windows Installer could not read its descriptor (" + CodeAndWords(error) + u")"};
  }
  return {TargetProbe::Advertised{FromWide(product), FromWide(feature), FromWide(component)}, {}};
}

TargetProbe::ProductAnswer InstallerQueries::QueryProduct(const Text& product,
                                                          const Text& user_sid) {
  if (!Load()) {
    return {TargetProbe::Product::kOther, u"Windows Installer cannot be asked: " + load_failure_};
  }
  if (user_sid.empty()) return ProductAnswerOf(query_product_state_(Wide(product)));
  if (!get_product_info_ex_) {
    return {TargetProbe::Product::kOther,
            u"this Windows Installer cannot be asked about another user's products"};
  }
  // The user's own installs, then the machine's: not installed only when
  // neither knows the product.
  const std::pair<const wchar_t*, DWORD> contexts[] = {
      {Wide(user_sid), MSIINSTALLCONTEXT_USERMANAGED | MSIINSTALLCONTEXT_USERUNMANAGED},
      {nullptr, MSIINSTALLCONTEXT_MACHINE}};
  for (const auto& [sid, context] : contexts) {
    wchar_t state[16] = {};
    DWORD length = 16;
    const UINT error = get_product_info_ex_(Wide(product), sid, context,
                                            INSTALLPROPERTY_PRODUCTSTATE, state, &length);
    if (error == ERROR_SUCCESS) {
      // A state is one digit, "5" for installed.
      if (state[0] >= L'0' && state[0] <= L'9' && state[1] == L'\0') {
        return ProductAnswerOf(state[0] - L'0');
      }
      return {TargetProbe::Product::kOther,
              u"Windows Installer answered the state \"" + FromWide(state) + u"\" for that user"};
    }
    if (error == ERROR_UNKNOWN_PRODUCT) continue;
    return {TargetProbe::Product::kOther,
            u"Windows Installer could not tell for that user (" + CodeAndWords(error) + u")"};
  }
  return {TargetProbe::Product::kNotInstalled, {}};
}

Text InstallerQueries::ComponentPath(const Text& product, const Text& component) {
  if (!Load()) return {};
  Text path(MAX_PATH, u'\0');
  DWORD size = static_cast<DWORD>(path.size());
  INT state = get_component_path_(Wide(product), Wide(component), Wide(path), &size);
  if (state == INSTALLSTATE_MOREDATA) {
    path.assign(size + 1, u'\0');
    size = static_cast<DWORD>(path.size());
    state = get_component_path_(Wide(product), Wide(component), Wide(path), &size);
  }
  if (state != INSTALLSTATE_LOCAL && state != INSTALLSTATE_SOURCE) return {};
  path.resize(std::min<std::size_t>(size, path.size()));
  return path.substr(0, path.find(u'\0'));
}

}  // namespace ostrevane::win32
