// The four selection commands at 1,000, 10,000 and 100,000 rows. Prints the
// time per row of each command at each size and the ratio of the 100k figure
// to the 1k figure: work per row that grew with the list (a row lookup that
// walks the list, a text asked for again per row) would make it climb.
#include "ratio_report.h"

#include <chrono>
#include <cstdio>
#include <map>
#include <string>

#include "catalogue/entry_list.h"
#include "window_rules/selection.h"

namespace ostrevane {
namespace {

// Answers every input box with the same text and records nothing, so that
// long runs do not grow a log.
class AnsweringDialogs : public Dialogs {
 public:
  explicit AnsweringDialogs(Text answer) : answer_(std::move(answer)) {}
  void ShowErrorReport(const Text&) override {}
  bool AskYesNo(const Text&, const Text&) override { return true; }
  void ShowMessage(const Text&, const Text&) override {}
  Text AskText(const Text&, const Text&) override { return answer_; }

 private:
  Text answer_;
};

class IgnoringButtons : public PushButtonValues {
 public:
  void SetValue(PushButtonId, std::int32_t) override {}
};

// Names shaped like a real Start Menu, in mixed case, some with namesake
// marks; at every size about one row in 36 holds the search text.
void Fill(EntryList& list, std::size_t rows) {
  for (std::size_t i = 0; i < rows; ++i) {
    const Text n = DecimalText(static_cast<long long>(i));
    Text name;
    switch (i % 4) {
      case 0:
        name = u"Program Suite " + n;
        break;
      case 1:
        name = u"Shared Tools " + n + u" (All Users)";
        break;
      case 2:
        name = u"UTILITIES " + n;
        break;
      default:
        name = u"Readme " + n + u" (Current User)";
        break;
    }
    list.Add(u"C" + n, std::move(name));
  }
}

constexpr char16_t kSearchText[] = u"TOOLS 1";

// Each iteration times one command alone; putting the rows back into the
// state the command starts from is not timed.
template <typename Command, typename Reset>
void TimeCommand(benchmark::State& state, Command&& command, Reset&& reset) {
  const auto rows = static_cast<std::size_t>(state.range(0));
  EntryList list;
  Fill(list, rows);
  AnsweringDialogs dialogs{Text(kSearchText)};
  IgnoringButtons buttons;
  SelectionContext context{list, dialogs, buttons, u"Ostrevane"};
  reset(context);
  command(context);  // warm-up, untimed
  for (auto _ : state) {
    reset(context);
    const auto start = std::chrono::steady_clock::now();
    command(context);
    const auto end = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<long>(rows));
}

void BM_SelectAll(benchmark::State& state) { TimeCommand(state, SelectAll, UnselectAll); }
void BM_UnselectAll(benchmark::State& state) { TimeCommand(state, UnselectAll, SelectAll); }
void BM_SelectContaining(benchmark::State& state) {
  TimeCommand(state, SelectContaining, UnselectAll);
}
void BM_SelectNotContaining(benchmark::State& state) {
  TimeCommand(state, SelectNotContaining, UnselectAll);
}

// Each size runs five times and the median counts: one command over 1,000
// rows takes microseconds, short enough for a busy machine to disturb.
void Sizes(benchmark::internal::Benchmark* benchmark) {
  benchmark->Arg(1000)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMicrosecond);
  benchmark->Repetitions(5)->ReportAggregatesOnly(true);
}
BENCHMARK(BM_SelectAll)->Apply(Sizes);
BENCHMARK(BM_UnselectAll)->Apply(Sizes);
BENCHMARK(BM_SelectContaining)->Apply(Sizes);
BENCHMARK(BM_SelectNotContaining)->Apply(Sizes);

}  // namespace
}  // namespace ostrevane

int main(int argc, char** argv) { return ostrevane::bench::RunWithRatios(argc, argv, "row"); }
