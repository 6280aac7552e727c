#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>

namespace zorvane {

// The console's usual table, while keeping each benchmark's CPU time per iteration in seconds:
// the median when the benchmark was repeated, else its one run. Failed runs are left out.
class MedianReporter : public benchmark::ConsoleReporter {
 public:
  MedianReporter() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override;

  // Seconds per iteration of the benchmark of that name; negative when it did not run.
  double Seconds(const std::string& name) const;

 private:
  std::map<std::string, double> seconds_;
};

}  // namespace zorvane
