// The four selection commands at 1,000, 10,000 and 100,000 rows. Prints the
// time per row of each command at each size and the ratio of the 100k figure
// to the 1k figure: work per row that grew with the list (a row lookup that
// walks the list, a text asked for again per row) would make it climb.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>

#include "commands/selection.h"

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
  SelectionContext context{list, dialogs, buttons};
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

void BM_SelectAll(benchmark::State& state) { TimeCommand(state, SelectAllClick, UnselectAllClick); }
void BM_UnselectAll(benchmark::State& state) {
  TimeCommand(state, UnselectAllClick, SelectAllClick);
}
void BM_SelectContaining(benchmark::State& state) {
  TimeCommand(state, PushButton1Click, UnselectAllClick);
}
void BM_SelectNotContaining(benchmark::State& state) {
  TimeCommand(state, PushButton3Click, UnselectAllClick);
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

// command -> rows -> nanoseconds per row
std::map<std::string, std::map<long, double>> g_ns_per_row;

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.aggregate_name != "median" || run.iterations == 0) continue;
      const long rows = std::stol(run.run_name.args);
      g_ns_per_row[run.run_name.function_name][rows] = run.real_accumulated_time * 1e9 /
                                                       static_cast<double>(run.iterations) /
                                                       static_cast<double>(rows);
    }
  }
};

}  // namespace
}  // namespace ostrevane

int main(int argc, char** argv) {
  // Keep freed memory in the process, so that small and large lists run on
  // the same footing (see scan_bench.cpp).
  mallopt(M_MMAP_THRESHOLD, 1 << 30);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  benchmark::Initialize(&argc, argv);
  ostrevane::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (auto& [command, figures] : ostrevane::g_ns_per_row) {
    for (const auto& [rows, ns] : figures)
      std::printf("%s: %ld rows: %.1f ns per row\n", command.c_str(), rows, ns);
    if (figures.count(1000) && figures.count(100000)) {
      std::printf("%s: time per row, 100k / 1k = %.2f (goal <= 1.5)\n", command.c_str(),
                  figures[100000] / figures[1000]);
    }
  }
  return 0;
}
