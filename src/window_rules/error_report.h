#pragma once
// The error report and the step trap every working handler runs under.
//
// A handler is a fixed sequence of numbered steps. When a step fails, the
// report names the failure, the handler's context text and the step number;
// the handler then goes on at the point fixed for that kind of step. The
// helpers here give each kind of step its resumption rule:
//   Run        a plain step: the next step follows.
//   Test       a condition: a failed test counts as true, so the steps it
//              guards run as though it had held.
//   CountedLoop
//              a failed loop head enters the body once with no row (position
//              0); the advance of a loop never started then fails in turn and
//              the handler goes on after the loop.
// A routine called from a step has no trap of its own: its first failure skips
// the rest of it and is reported with the calling step's number.

#include <array>
#include <cstddef>
#include <iterator>
#include <new>
#include <utility>

#include "window_rules/dialogs.h"
#include "window_rules/event_pump.h"
#include "base/failure.h"
#include "base/text.h"

namespace ostrevane {

inline constexpr char16_t kSupportAddress[] = u"support@ostrevane.com";

// Context texts of the handlers: where the handler lives, its name and a
// blank, each built once at compile time.
namespace context_text {

inline constexpr char16_t kHandlerHome[] = u"in Velmarrow2021/08/31.Form1.";

// A handler's name as a template argument.
template <std::size_t N>
struct HandlerName {
  constexpr HandlerName(const char16_t (&name)[N]) {  // NOLINT: implicit on purpose
    for (std::size_t i = 0; i < N; ++i) chars[i] = name[i];
  }
  char16_t chars[N];
};

template <HandlerName Name>
inline constexpr auto kContextOf = [] {
  constexpr std::size_t home = std::size(kHandlerHome) - 1;
  constexpr std::size_t name = std::size(Name.chars) - 1;
  std::array<char16_t, home + name + 2> text{};  // and a blank and the terminator
  for (std::size_t i = 0; i < home; ++i) text[i] = kHandlerHome[i];
  for (std::size_t i = 0; i < name; ++i) text[home + i] = Name.chars[i];
  text[home + name] = u' ';
  return text;
}();

inline constexpr const char16_t* kFormLoad = kContextOf<u"Form_Load">.data();
inline constexpr const char16_t* kPushButton1Click = kContextOf<u"PushButton1_Click">.data();
inline constexpr const char16_t* kPushButton2Click = kContextOf<u"PushButton2_Click">.data();
inline constexpr const char16_t* kPushButton3Click = kContextOf<u"PushButton3_Click">.data();
inline constexpr const char16_t* kSelectAllClick = kContextOf<u"chkSelectAll_Click">.data();
inline constexpr const char16_t* kUnselectAllClick = kContextOf<u"chkUnselectAll_Click">.data();
// A failure that escaped a window's handler, reported with the message's
// number in place of the step's.
inline constexpr char16_t kWindowProcedure[] = u"in the window procedure ";

}  // namespace context_text

// description CR LF context "at line " step CR CR "Please email screenshot ..."
Text ComposeErrorReport(TextView description, TextView context, int step);

class StepTrap {
 public:
  StepTrap(Dialogs& dialogs, Text context) : dialogs_(dialogs), context_(std::move(context)) {}

  // Runs a plain step; true when it completed.
  template <typename Action>
  bool Run(int step, Action&& action) {
    try {
      std::forward<Action>(action)();
      return true;
    } catch (const std::exception&) {
      Report(step, DescribeCaughtException());
    }
    return false;
  }

  // Runs a condition; a failed condition is reported and counts as true.
  template <typename Condition>
  bool Test(int step, Condition&& condition) {
    bool holds = true;
    Run(step, [&] { holds = std::forward<Condition>(condition)(); });
    return holds;
  }

  // Shows the report for `step`. If the box itself cannot be shown there is
  // nobody left to tell, so the handler simply goes on.
  void Report(int step, TextView description);

 private:
  Dialogs& dialogs_;
  Text context_;
};

enum class LoopDirection { kUp, kDown };

// A counted loop over row positions: `count()` (the head, step `head_step`)
// gives the number of rows, and `body(p)` runs for p from 1 up to it, or from
// it down to 1. The advance belongs to step `advance_step`.
template <typename Count, typename Body>
void CountedLoop(StepTrap& trap, int head_step, int advance_step, LoopDirection direction,
                 Count&& count, Body&& body) {
  std::size_t rows = 0;
  if (!trap.Run(head_step, [&] { rows = count(); })) {
    body(std::size_t{0});
    trap.Report(advance_step, failure_text::kLoopNotInitialized);
    return;
  }
  if (direction == LoopDirection::kUp) {
    for (std::size_t p = 1; p <= rows; ++p) body(p);
  } else {
    for (std::size_t p = rows; p >= 1; --p) body(p);
  }
}

}  // namespace ostrevane
