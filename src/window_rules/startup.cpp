#include "window_rules/startup.h"

#include "window_rules/app_title.h"
#include "window_rules/error_report.h"
#include "catalogue/start_menu.h"

namespace ostrevane {

bool FileExists(FileQueries& files, const Text& path) {
  try {
    files.QueryLastModified(path);
    return true;
  } catch (...) {
    return false;
  }
}

void ApplySkin(StartupPlatform& platform, FileQueries& files) {
  const Text path = files.ExecutableFolder() + kSkinFileName;
  if (!files.FindNormalFile(path)) return;
  platform.SetFormBackColor(kColorButtonFace);
  for (const FormControl& control : platform.Controls()) {
    if (control.kind == ControlKind::kFrame) {
      platform.SetControlBackColor(control.name, kColorButtonFace);
    }
  }
  SkinEngine& skin = platform.Skin();
  skin.Load(path);
  skin.Paint();
}

Text StartUp(StartupPlatform& platform, FileQueries& files, Rows& list, FolderService& folders,
             Dialogs& dialogs) {
  StepTrap trap(dialogs, context_text::kFormLoad);
  trap.Run(100, [&] { ApplySkin(platform, files); });
  Text cursor_file;
  const bool load_cursor = trap.Test(104, [&] {
    cursor_file = files.ExecutableFolder() + kHandCursorFileName;
    return FileExists(files, cursor_file);
  });
  if (load_cursor) trap.Run(106, [&] { platform.LoadMouseIcon(cursor_file); });
  trap.Run(126, [&] { platform.SetCaption(kProductFullName); });
  trap.Run(126, [&] { platform.SetApplicationIcon(); });
  Text title = kProductFullName;
  trap.Run(126, [&] { title = CutAppTitle(kProductFullName); });
  trap.Run(128, [&] { platform.AddColumn(kColumnMenuItem); });
  trap.Run(130, [&] { platform.AddColumn(kColumnType); });
  trap.Run(132, [&] { platform.SetColumnWidth(1, kColumnMenuItemTwips); });
  trap.Run(134, [&] { platform.SetColumnWidth(2, kColumnTypeTwips); });
  trap.Run(136, [&] { ScanStartMenu(folders, list); });
  return title;
}

}  // namespace ostrevane
