// A benchmark reporter that also prints, for each pair of benchmarks named
// "X" and "X_Baseline", the ratio of their times per iteration.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>

namespace qv::bench {

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override;
  // Prints "X: N.NN x baseline" lines to stdout.
  void PrintRatios() const;

 private:
  std::map<std::string, double> ns_per_iteration_;
};

// Runs the registered benchmarks and prints the ratios.
int RunWithRatios(int argc, char** argv);

}  // namespace qv::bench
