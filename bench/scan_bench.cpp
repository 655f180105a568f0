// The scan at 1,000, 10,000 and 100,000 entries per root, half of the all
// users' entries namesakes of current-user entries. Prints the time per entry
// at each size and the ratio of the 100k figure to the 1k figure: a namesake
// search that grew with the list would make the ratio climb far above 1.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdio>
#include <map>
#include <memory>

#include "catalogue/start_menu.h"
#include "support/fakes.h"

namespace ostrevane {
namespace {

testing::FakeFolderService MakeRoots(std::size_t per_root) {
  testing::FakeFolderService folders;
  testing::FakeFolderService::Listing current, all;
  for (std::size_t i = 0; i < per_root; ++i) {
    const Text n = DecimalText(static_cast<long long>(i));
    // Half folders, half shortcuts; every other all-users entry a namesake.
    if (i % 2 == 0) {
      current.subfolders.push_back(u"Program " + n);
      all.subfolders.push_back(i % 4 == 0 ? u"Program " + n : u"Shared " + n);
    } else {
      current.files.push_back(u"Program " + n + u".lnk");
      all.files.push_back(i % 4 == 1 ? u"Program " + n + u".lnk" : u"Shared " + n + u".lnk");
    }
  }
  folders.SetRootListing(kCsidlPrograms, u"C", std::move(current));
  folders.SetRootListing(kCsidlCommonPrograms, u"A", std::move(all));
  return folders;
}

std::map<long, double> g_ns_per_entry;

void BM_Scan(benchmark::State& state) {
  const auto per_root = static_cast<std::size_t>(state.range(0));
  testing::FakeFolderService folders = MakeRoots(per_root);
  {
    EntryList warm_up;  // untimed: leaves the allocator holding enough memory
    ScanStartMenu(folders, warm_up);
  }
  for (auto _ : state) {
    auto list = std::make_unique<EntryList>();
    ScanStartMenu(folders, *list);
    benchmark::DoNotOptimize(list->Count());
    state.PauseTiming();  // tearing the list down is not part of the scan
    list.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<long>(2 * per_root));
  state.counters["ns_per_entry"] = benchmark::Counter(
      static_cast<double>(2 * per_root) * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Scan)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const auto it = run.counters.find("ns_per_entry");
      if (it != run.counters.end()) {
        g_ns_per_entry[std::stol(run.run_name.args)] = it->second.value * 1e9;
      }
    }
  }
};

}  // namespace
}  // namespace ostrevane

int main(int argc, char** argv) {
  // The program scans once, on fresh memory, at any size. A benchmark loop
  // instead reuses freed memory at small sizes while glibc hands large blocks
  // back to the kernel and faults them in anew at large ones; keeping freed
  // memory puts every size on the same footing.
  mallopt(M_MMAP_THRESHOLD, 1 << 30);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  benchmark::Initialize(&argc, argv);
  ostrevane::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto& figures = ostrevane::g_ns_per_entry;
  for (const auto& [size, ns] : figures)
    std::printf("scan: %ld entries per root: %.1f ns per entry\n", size, ns);
  if (figures.count(1000) && figures.count(100000)) {
    std::printf("scan: time per entry, 100k / 1k = %.2f (goal <= 1.5)\n",
                figures[100000] / figures[1000]);
  }
  return 0;
}
