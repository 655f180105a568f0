#pragma once
// What `help` and `version` print.

#include "base/text.h"

namespace ostrevane::console {

// The program's version as its version resource shows it ("7.00").
extern const TextView kVersionText;

// The usage, every option, the exit codes and two examples; lines of fewer
// than 80 columns, each ended by "\r\n".
Text HelpText();

// "ostrevane 7.00\r\n".
Text VersionLine();

}  // namespace ostrevane::console
