#pragma once
// What the process's account may do: the facts both programs tell their
// users about (an administrator's rights, the system account).

#include "base/text.h"

namespace ostrevane::win32 {

// Whether the process runs with an administrator's full rights (elevated).
bool ProcessIsElevated();

// Whether the process runs as the local system account (S-1-5-18), whose
// "current user" is no person: fleet tools run their scripts so.
bool RunningAsSystem();

// The security id of the account the process runs as, "S-1-5-21-...";
// empty when it cannot be read.
Text RunningAccountSid();

}  // namespace ostrevane::win32
