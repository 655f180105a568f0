#pragma once
// Start-up of the main window: skin, hand cursor, caption, icon, title, the
// list's columns and, last, the Start Menu scan, under one step trap.

#include <cstdint>
#include <vector>

#include "form/form_layout.h"
#include "catalogue/entry_list.h"
#include "commands/dialogs.h"
#include "catalogue/folder_service.h"
#include "commands/skin_engine.h"
#include "base/text.h"

namespace ostrevane {

inline constexpr char16_t kSkinFileName[] = u"\\x\\o.cjs";
inline constexpr char16_t kHandCursorFileName[] = u"\\HAND-M.CUR";
inline constexpr char16_t kColumnMenuItem[] = u"Menu Item";
inline constexpr char16_t kColumnType[] = u"Type";
inline constexpr double kColumnMenuItemTwips = 6000;
inline constexpr double kColumnTypeTwips = 1000;

struct FormControl {
  Text name;
  ControlKind kind;
};

// What start-up needs from the window and the system. Failing operations
// throw Failure.
class StartupPlatform {
 public:
  virtual ~StartupPlatform() = default;
  virtual Text ExecutableFolder() = 0;
  // Asks the file system for the path's last-modified time.
  virtual void QueryLastModified(const Text& path) = 0;
  // A directory search for `path` that matches only files with normal
  // attributes: no folder, nothing hidden or system.
  virtual bool FindNormalFile(const Text& path) = 0;
  virtual void LoadMouseIcon(const Text& cursor_file) = 0;
  virtual void SetCaption(const Text& caption) = 0;
  virtual void SetApplicationIcon() = 0;
  virtual void SetFormBackColor(std::uint32_t color) = 0;
  virtual std::vector<FormControl> Controls() = 0;
  virtual void SetControlBackColor(const Text& name, std::uint32_t color) = 0;
  virtual SkinEngine& Skin() = 0;
  virtual std::uintptr_t WindowHandle() = 0;
};

// True when the path's last-modified time can be read; never fails.
bool FileExists(StartupPlatform& platform, const Text& path);

// Applies the skin file beside the executable, when there is one.
void ApplySkin(StartupPlatform& platform);

// The start-up of the main window (its load handler). Returns the
// application title in force afterwards: the product's full name until the
// step that cuts it has run.
Text StartUp(StartupPlatform& platform, EntryList& list, FolderService& folders, Dialogs& dialogs);

}  // namespace ostrevane
