// The scan at 1,000, 10,000 and 100,000 entries per root, half of the all
// users' entries namesakes of current-user entries. Prints the time per entry
// at each size and the ratio of the 100k figure to the 1k figure: a namesake
// search that grew with the list would make the ratio climb far above 1.
#include "ratio_report.h"

#include <cstdio>
#include <map>
#include <memory>

#include "catalogue/entry_list.h"
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
  state.counters["ns_per_item"] =
      bench::SecondsPerItem(static_cast<double>(2 * per_root), state.iterations());
}
BENCHMARK(BM_Scan)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ostrevane

int main(int argc, char** argv) { return ostrevane::bench::RunWithRatios(argc, argv, "entry"); }
