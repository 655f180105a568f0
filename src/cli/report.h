#pragma once
// The output of list and recycle in its three formats. Every line ends with
// "\r\n". Text and TSV show the selected entries, one a line; JSON is one
// document with every entry in scope.

#include <cstddef>

#include "cli/call.h"
#include "cli/entries.h"

namespace ostrevane::cli {

struct Report {
  const Call& call;
  const Scan& scan;
  bool elevated = false;
  bool running_as_system = false;
  int exit_code = 0;
  Text stopped_by;  // the internal error that stopped the recycling, if one did
};

struct Counts {
  std::size_t entries = 0;
  std::size_t selected = 0;
  std::size_t would_recycle = 0;
  std::size_t recycled = 0;
  std::size_t failed = 0;
  std::size_t refused = 0;
  std::size_t denied = 0;  // of the refused: this account may not remove them
};

Counts Count(const std::vector<CliEntry>& entries);

TextView ActionName(Action action);

// The whole output in the call's format.
Text RenderReport(const Report& report);

}  // namespace ostrevane::cli
