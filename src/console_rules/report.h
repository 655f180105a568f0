#pragma once
// The output of list and recycle in its three formats. Every line ends with
// "\r\n". Text and TSV show the selected entries, one a line, each written
// as soon as its action is known; text ends with one summary line. JSON is
// one document with every entry in scope, written at the end. Every run
// ends with its summary line or its document, a failed one too.

#include <cstddef>

#include "console_rules/call.h"
#include "console_rules/entries.h"

namespace ostrevane::console {

struct Report {
  const Call* call = nullptr;  // none when the words could not be read
  const Scan* scan = nullptr;  // none when the run ended before the scan
  Format format = Format::kText;
  bool elevated = false;
  bool running_as_system = false;
  int exit_code = 0;
  Text error;       // what was wrong with a wrong call
  Text stopped_by;  // the internal error that stopped the run, if one did
};

struct Counts {
  std::size_t entries = 0;
  std::size_t selected = 0;
  std::size_t would_recycle = 0;
  std::size_t recycled = 0;
  std::size_t failed = 0;
  std::size_t refused = 0;
  std::size_t gone = 0;
  std::size_t held = 0;
  std::size_t denied = 0;  // of the refused: this account may not remove them
};

Counts Count(const std::vector<CliEntry>& entries);

TextView ActionName(Action action);

// What comes before the first entry: TSV's header line; nothing otherwise.
Text RenderHeader(const Report& report);
// In text, a line for a folder in scope that was not listed (a profile's
// folder that is gone, on the network, or unreadable); nothing otherwise.
Text RenderRootNotWalked(const Report& report, const ScanRoot& root);
// An entry's line in text or TSV; nothing in JSON.
Text RenderEntry(const Report& report, const CliEntry& entry);
// What ends the output: text's summary line, or the whole JSON document.
Text RenderEnding(const Report& report);

}  // namespace ostrevane::console
