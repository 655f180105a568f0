// The deletion pass's own bookkeeping at 1,000, 10,000 and 100,000 rows,
// every other row checked: counting, reading checks and keys, decoding keys
// and removing rows, with a shell double that deletes nothing and an event
// pump that has nothing to run. Prints the time per row at each size and the
// ratio of the 100k figure to the 1k figure: removal by position that grew
// with the list would make the ratio climb far above 1.
#include "ratio_report.h"

#include <cstdio>
#include <map>
#include <memory>

#include "catalogue/entry_list.h"
#include "window_rules/deletion.h"
#include "support/fakes.h"

namespace ostrevane {
namespace {

class NoShell : public Recycler {
 public:
  std::optional<NotMoved> Recycle(const Text&) override { return std::nullopt; }
  std::optional<NotMoved> Inspect(const Text&) override { return std::nullopt; }
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

void BM_Deletion(benchmark::State& state) {
  const auto rows = static_cast<std::size_t>(state.range(0));
  NoShell shell;
  FixedRoots roots;
  NoEvents pump;
  testing::RecordingDialogs dialogs;
  {
    auto warm_up = MakeList(rows);  // untimed: leaves the allocator holding enough memory
    DeletionContext context{*warm_up, dialogs, pump, roots, shell, testing::kTitle};
    DeleteChecked(context);
  }
  for (auto _ : state) {
    state.PauseTiming();
    auto list = MakeList(rows);
    dialogs.shown.clear();
    DeletionContext context{*list, dialogs, pump, roots, shell, testing::kTitle};
    state.ResumeTiming();
    DeleteChecked(context);
    benchmark::DoNotOptimize(list->Count());
    state.PauseTiming();  // tearing the list down is not part of the pass
    list.reset();
    state.ResumeTiming();
  }
  if (dialogs.ErrorReports().size() != 0) state.SkipWithError("the pass reported a failure");
  state.counters["ns_per_item"] =
      bench::SecondsPerItem(static_cast<double>(rows), state.iterations());
}
BENCHMARK(BM_Deletion)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ostrevane

int main(int argc, char** argv) { return ostrevane::bench::RunWithRatios(argc, argv, "row"); }
