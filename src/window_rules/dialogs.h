#pragma once
// The modal boxes the handlers show. A box that cannot be shown throws Failure.

#include "base/failure.h"
#include "base/text.h"

namespace ostrevane {

inline constexpr char16_t kErrorReportCaption[] = u"Application Error";

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // The error report: warning icon, one OK button, caption "Application Error".
  virtual void ShowErrorReport(const Text& message) = 0;
  // Yes and No, no icon; true when Yes was chosen.
  virtual bool AskYesNo(const Text& question, const Text& caption) = 0;
  // One OK button, no icon.
  virtual void ShowMessage(const Text& message, const Text& caption) = 0;
  // A prompt with an empty edit box, OK and Cancel; OK gives the typed text,
  // Cancel or closing the box gives the empty text.
  virtual Text AskText(const Text& prompt, const Text& caption) = 0;
};

}  // namespace ostrevane
