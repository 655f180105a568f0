#pragma once
// How names and words are written into the output, so that every line stays
// one line and a reader can get each name back exactly.

#include "base/text.h"

namespace ostrevane::console {

// For the text output and the error line: control characters as escapes
// (\t, \n, \r, \xNN), so that a name with a line break cannot split its line.
// Meant for people, so a backslash stays as it is.
Text OneLine(TextView text);

// A field of the TSV output: "\" as "\\", tab as "\t", line feed as "\n",
// carriage return as "\r"; every other unit as it is.
Text TsvField(TextView text);

// A JSON string with its quotes (RFC 8259), in ASCII only: every control
// character and every unit beyond ASCII as a \uXXXX escape of its UTF-16
// code unit. A lone surrogate, which a
// Windows name may hold, thus survives as itself, and the document reads the
// same whatever code page a console or a shell decodes it with.
Text JsonString(TextView text);

}  // namespace ostrevane::console
