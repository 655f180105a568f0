#pragma once
// Text as the program holds it: UTF-16 code units, the same on Windows and on
// Linux, so that the portable rules see exactly the names the shell gives.

#include <string>
#include <string_view>

namespace ostrevane {

using Text = std::u16string;
using TextView = std::u16string_view;

// Maps one UTF-16 code unit to its lower-case form; code units without a
// single-unit lower case map to themselves.
using CaseMapping = char16_t (*)(char16_t);

// A portable simple lower-case mapping: ASCII, Latin-1, Latin Extended-A,
// Greek and Cyrillic. The Windows build installs the system's mapping instead.
char16_t PortableLower(char16_t unit);

// The mapping in force for this process (PortableLower until replaced).
CaseMapping ActiveCaseMapping();
void SetCaseMapping(CaseMapping mapping);

// Lower-cases every code unit with the active mapping; the length never changes.
Text Lower(TextView text);

// Appends the sort key of `text` to `out`: texts sort as their keys compare,
// byte by byte, without regard to letter case.
using SortKeyMapping = void (*)(TextView text, std::string& out);

// The portable key: the lower-cased code units, most significant byte first.
void PortableSortKey(TextView text, std::string& out);

// The key in force for this process (PortableSortKey until replaced; the
// Windows build installs the user's collation, which sorts É with E).
SortKeyMapping ActiveSortKey();
void SetSortKeyMapping(SortKeyMapping mapping);

// Decimal digits of a number, without sign padding or separators.
Text DecimalText(long long number);

// A path split at its last separator (a backslash or a slash): the folder before it (empty
// without one) and the name after it (the whole path without one).
TextView FolderPart(TextView path);
TextView NamePart(TextView path);

// Conversions for diagnostics and tests; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(TextView text);
Text FromUtf8(std::string_view utf8);

}  // namespace ostrevane
