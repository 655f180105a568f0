#pragma once
// The system's own text rules made the whole program's: the case mapping and
// the sort order that the catalogue's portable rules then use.

namespace ostrevane::win32 {

// Installs the system's own lower-case mapping (the invariant locale's) as
// the process-wide case mapping.
void InstallSystemCaseMapping();

// Installs the user's collation (case ignored) as the process-wide sort key,
// so that the list sorts names as Windows does.
void InstallSystemSortKeys();

}  // namespace ostrevane::win32
