#include "ratio_reporter.h"

#include <cstdio>

namespace qv::bench {

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
  ConsoleReporter::ReportRuns(runs);
  for (const Run& run : runs) {
    if (run.iterations > 0) {
      ns_per_iteration_[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
  }
}

void RatioReporter::PrintRatios() const {
  std::printf("\nRatios against the baseline of the same run:\n");
  for (const auto& [name, ns] : ns_per_iteration_) {
    auto baseline = ns_per_iteration_.find(name + "_Baseline");
    if (baseline == ns_per_iteration_.end() || baseline->second <= 0) continue;
    std::printf("  %-40s %6.2f x  (%.1f us vs %.1f us)\n", name.c_str(), ns / baseline->second,
                ns / 1000, baseline->second / 1000);
  }
}

int RunWithRatios(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}

}  // namespace qv::bench
