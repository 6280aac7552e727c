#include "tools/bench/median_reporter.h"

namespace zorvane {

void MedianReporter::ReportRuns(const std::vector<Run>& runs) {
  ConsoleReporter::ReportRuns(runs);
  // The repetitions come before their aggregates, so a median overwrites them.
  for (const Run& run : runs) {
    if (run.error_occurred) continue;
    const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
    if (run.run_type != Run::RT_Iteration && !median) continue;
    seconds_[run.run_name.function_name] =
        run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
  }
}

double MedianReporter::Seconds(const std::string& name) const {
  const auto found = seconds_.find(name);
  return found == seconds_.end() ? -1 : found->second;
}

}  // namespace zorvane
