#pragma once
// The error reports the tests expect of a handler, composed by the program's
// own function so that only the description and the step differ per case.

#include "window_rules/error_report.h"

namespace ostrevane::testing {

// Report(description, step): the report the handler with this context shows.
class HandlerReports {
 public:
  explicit constexpr HandlerReports(const char16_t* context) : context_(context) {}
  Text operator()(TextView description, int step) const {
    return ComposeErrorReport(description, context_, step);
  }

 private:
  const char16_t* context_;
};

inline constexpr HandlerReports kStartUpReport{context_text::kFormLoad};
inline constexpr HandlerReports kDeletionReport{context_text::kPushButton2Click};

}  // namespace ostrevane::testing
