#pragma once
// Windows' own folders in the Start Menu: the Startup folders, and the
// folders Windows set up for its own tools (Accessibility, Accessories,
// Administrative Tools, Maintenance, System Tools, Windows PowerShell). They
// often hold nothing but desktop.ini, so a rule for empty or dead folders
// would take them on almost every machine; no rule selects them.

#include <cstdint>
#include <span>
#include <vector>

#include "base/text.h"
#include "catalogue/folder_service.h"

namespace ostrevane {

// Whether a desktop.ini (its bytes: UTF-16 with a byte-order mark, UTF-8, or
// an ANSI code page) gives its folder a LocalizedResourceName inside the
// Windows folder (`windows_folder`, e.g. "C:\Windows"): "@%SystemRoot%\...",
// "@%windir%\..." or an absolute path below it, as Windows' own Start Menu
// folders do. A vendor's own resource, a malformed line or none says no.
bool NamesWindowsResource(std::span<const std::uint8_t> desktop_ini, TextView windows_folder);

// Which of `folder_names`, the top-level folders of the Programs folder at
// `root`, are one of the Startup folders at `startup_paths`, the paths the
// system gives. Compared by identity, not by name: the name shown for
// Startup differs by language, and a path may be spelled another way.
std::vector<Text> StartupFoldersAmong(FolderService& folders, const Text& root,
                                      const std::vector<Text>& folder_names,
                                      const std::vector<Text>& startup_paths);

}  // namespace ostrevane
