// A console reporter that also keeps each benchmark's seconds per iteration,
// for the comparisons some benchmarks print at the end. With repetitions the
// median stands for the benchmark; the other aggregates (mean, deviation,
// coefficient of variation) are left out, since a percentage read as seconds
// would make a nonsense ratio.
#pragma once

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <map>
#include <string>
#include <vector>

namespace bench {

class TimeCollect : public benchmark::ConsoleReporter {
 public:
  TimeCollect() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}
  std::map<std::string, double> seconds;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.iterations <= 0) continue;
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      seconds[run.run_name.str()] = run.real_accumulated_time / double(run.iterations);
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace bench
