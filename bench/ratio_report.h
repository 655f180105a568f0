#pragma once
// The common main of the benchmarks: runs them, then prints for each the time
// per item at every size and the ratio of the 100k figure to the 1k figure,
// which is what the goals are stated in.
//
// A benchmark gives its time per item either as the counter "ns_per_item"
// (an inverted rate over items) or through manual time with repetitions, in
// which case the median is taken.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <map>
#include <string>

namespace ostrevane::bench {

// The inverted-rate counter that gives seconds per item.
inline benchmark::Counter SecondsPerItem(double items_per_iteration, benchmark::IterationCount n) {
  return benchmark::Counter(items_per_iteration * static_cast<double>(n),
                            benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  // benchmark -> size -> nanoseconds per item
  std::map<std::string, std::map<long, double>> figures;

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      if (run.iterations == 0) continue;
      const long size = std::stol(run.run_name.args);
      double ns;
      if (const auto it = run.counters.find("ns_per_item"); it != run.counters.end()) {
        ns = it->second.value * 1e9;
      } else {
        ns = run.real_accumulated_time * 1e9 / static_cast<double>(run.iterations) /
             static_cast<double>(size);
      }
      figures[run.run_name.function_name][size] = ns;
    }
  }
};

// `item` names what is counted ("entry per root", "row").
inline int RunWithRatios(int argc, char** argv, const char* item) {
  // A benchmark loop reuses freed memory at small sizes, while glibc hands
  // large blocks back to the kernel and faults them in anew at large ones.
  // Keeping freed memory in the process puts every size on the same footing,
  // as the program itself, which works on fresh memory at any size, is.
  mallopt(M_MMAP_THRESHOLD, 1 << 30);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (auto& [name, sizes] : reporter.figures) {
    for (const auto& [size, ns] : sizes) {
      std::printf("%s: %ld, %.1f ns per %s\n", name.c_str(), size, ns, item);
    }
    if (sizes.count(1000) && sizes.count(100000)) {
      std::printf("%s: time per %s, 100k / 1k = %.2f (goal <= 1.5)\n", name.c_str(), item,
                  sizes[100000] / sizes[1000]);
    }
  }
  return 0;
}

}  // namespace ostrevane::bench
