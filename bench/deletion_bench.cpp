// The deletion pass's own bookkeeping at 1,000, 10,000 and 100,000 rows,
// every other row checked: counting, reading checks and keys, decoding keys
// and removing rows, with a shell double that deletes nothing and an event
// pump that has nothing to run. Prints the time per row at each size and the
// ratio of the 100k figure to the 1k figure: removal by position that grew
// with the list would make the ratio climb far above 1.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdio>
#include <map>
#include <memory>

#include "commands/deletion.h"
#include "support/fakes.h"

namespace ostrevane {
namespace {

class NoShell : public Recycler {
 public:
  void MoveToRecycleBin(const Text&) override {}
  bool Exists(const Text&) override { return false; }
};

class FixedRoots : public RootLookup {
 public:
  Text RootPath(int csidl) override {
    return csidl == kCsidlPrograms ? u"C:\\Users\\me\\Start Menu\\Programs"
                                   : u"C:\\ProgramData\\Start Menu\\Programs";
  }
};

class NoEvents : public EventPump {
 public:
  void DoEvents() override {}
};

std::unique_ptr<EntryList> MakeList(std::size_t rows) {
  auto list = std::make_unique<EntryList>();
  for (std::size_t i = 0; i < rows; ++i) {
    const Text name = u"Program " + DecimalText(static_cast<long long>(i));
    const std::size_t p = list->Add((i % 3 ? u"C" : u"A") + name + u".lnk", name);
    list->SetChecked(p, i % 2 == 0);
  }
  return list;
}

std::map<long, double> g_ns_per_row;

void BM_Deletion(benchmark::State& state) {
  const auto rows = static_cast<std::size_t>(state.range(0));
  NoShell shell;
  FixedRoots roots;
  NoEvents pump;
  testing::RecordingDialogs dialogs;
  {
    auto warm_up = MakeList(rows);  // untimed: leaves the allocator holding enough memory
    DeletionContext context{*warm_up, dialogs, pump, roots, shell};
    PushButton2Click(context);
  }
  for (auto _ : state) {
    state.PauseTiming();
    auto list = MakeList(rows);
    dialogs.shown.clear();
    DeletionContext context{*list, dialogs, pump, roots, shell};
    state.ResumeTiming();
    PushButton2Click(context);
    benchmark::DoNotOptimize(list->Count());
    state.PauseTiming();  // tearing the list down is not part of the pass
    list.reset();
    state.ResumeTiming();
  }
  if (dialogs.ErrorReports().size() != 0) state.SkipWithError("the pass reported a failure");
  state.counters["ns_per_row"] =
      benchmark::Counter(static_cast<double>(rows) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Deletion)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const auto it = run.counters.find("ns_per_row");
      if (it != run.counters.end()) {
        g_ns_per_row[std::stol(run.run_name.args)] = it->second.value * 1e9;
      }
    }
  }
};

}  // namespace
}  // namespace ostrevane

int main(int argc, char** argv) {
  // Freed memory is kept, so that large and small sizes alike reuse it rather
  // than fault fresh pages in (see scan_bench.cpp).
  mallopt(M_MMAP_THRESHOLD, 1 << 30);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  benchmark::Initialize(&argc, argv);
  ostrevane::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto& figures = ostrevane::g_ns_per_row;
  for (const auto& [size, ns] : figures)
    std::printf("deletion: %ld rows, every other checked: %.1f ns per row\n", size, ns);
  if (figures.count(1000) && figures.count(100000)) {
    std::printf("deletion: time per row, 100k / 1k = %.2f (goal <= 1.5)\n",
                figures[100000] / figures[1000]);
  }
  return 0;
}
