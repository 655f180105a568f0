#include "window_rules/error_report.h"

namespace ostrevane {

Text ComposeErrorReport(TextView description, TextView context, int step) {
  Text message(description);
  message += u"\r\n";
  message += context;
  message += u"at line ";
  message += DecimalText(step);
  message += u"\r\r";
  message += u"Please email screenshot of this message to ";
  message += kSupportAddress;
  return message;
}

void StepTrap::Report(int step, TextView description) {
  try {
    dialogs_.ShowErrorReport(ComposeErrorReport(description, context_, step));
  } catch (const Failure&) {
  }
}

}  // namespace ostrevane
