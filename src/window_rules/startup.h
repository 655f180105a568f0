#pragma once
// Start-up of the main window: skin, hand cursor, caption, icon, title, the
// list's columns and, last, the Start Menu scan, under one step trap.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/text.h"
#include "catalogue/rows.h"
#include "catalogue/folder_service.h"
#include "window_rules/dialogs.h"
#include "window_rules/file_queries.h"
#include "window_rules/skin_engine.h"
#include "window_form/form_layout.h"

namespace ostrevane {

inline constexpr char16_t kSkinFileName[] = u"\\x\\o.cjs";
inline constexpr char16_t kHandCursorFileName[] = u"\\HAND-M.CUR";

struct FormControl {
  Text name;
  ControlKind kind;
};

// What start-up needs from the window. Failing operations throw Failure.
class StartupPlatform {
 public:
  virtual ~StartupPlatform() = default;
  virtual void LoadMouseIcon(const Text& cursor_file) = 0;
  virtual void SetCaption(const Text& caption) = 0;
  virtual void SetApplicationIcon() = 0;
  virtual void SetFormBackColor(std::uint32_t color) = 0;
  virtual std::vector<FormControl> Controls() = 0;
  virtual void SetControlBackColor(const Text& name, std::uint32_t color) = 0;
  virtual SkinEngine& Skin() = 0;
  // The list's columns, each kept by the rule of ListColumns.
  virtual void AddColumn(const Text& text) = 0;
  virtual void SetColumnWidth(std::size_t position, double twips) = 0;
};

// True when the path's last-modified time can be read; never fails.
bool FileExists(FileQueries& files, const Text& path);

// Applies the skin file beside the executable, when there is one.
void ApplySkin(StartupPlatform& platform, FileQueries& files);

// The start-up of the main window (its load handler). Returns the
// application title in force afterwards: the product's full name until the
// step that cuts it has run.
Text StartUp(StartupPlatform& platform, FileQueries& files, Rows& list, FolderService& folders,
             Dialogs& dialogs);

}  // namespace ostrevane
