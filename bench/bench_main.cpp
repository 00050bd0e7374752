// The benchmark program: first the peak resident memory of the coach over a
// whole practice match, then every benchmark of this folder, then each
// subject as a ratio against its floor from the same run.
//
//   brenvo_bench [--skip-match] [Google Benchmark flags...]
//
// The machines this runs on are shared, so `make bench` asks for several
// repetitions in random order and the ratios use the medians.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "bench/coach_child.h"
#include "tools/demo_match.h"

namespace {

const long MEMORY_TARGET_KIB = 5 * 1024;

// Records the time per iteration of every benchmark it prints: the median
// of the repetitions when there are several, else the one run.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred || run.iterations == 0) continue;
      const std::string& name = run.run_name.function_name;
      const double seconds = run.real_accumulated_time / run.iterations;
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        seconds_[name] = seconds;
        from_median_.insert(name);
      } else if (run.run_type == Run::RT_Iteration && from_median_.count(name) == 0) {
        seconds_[name] = seconds;
      }
    }
  }

  void printRatios() const {
    std::printf("\n%-22s %-20s %12s %12s %7s %7s\n", "subject", "floor", "subject ns", "floor ns",
                "ratio", "target");
    for (const bench::Comparison& c : bench::comparisons()) {
      const auto subject = seconds_.find(c.subject);
      const auto floor = seconds_.find(c.floor);
      if (subject == seconds_.end() || floor == seconds_.end()) {
        std::printf("%-22s %-20s %12s\n", c.subject, c.floor, "not measured");
        continue;
      }
      const double ratio = subject->second / floor->second;
      char target[32] = "-";
      if (c.target > 0) {
        std::snprintf(target, sizeof(target), "%.2fx %s", c.target,
                      ratio <= c.target ? "met" : "MISSED");
      }
      std::printf("%-22s %-20s %12.0f %12.0f %6.2fx %s\n", c.subject, c.floor,
                  subject->second * 1e9, floor->second * 1e9, ratio, target);
    }
  }

 private:
  std::map<std::string, double> seconds_;
  std::set<std::string> from_median_;
};

// Plays the practice server's demo match against the coach and reports the
// coach's peak resident memory, read from the running process at every
// simulation step, against the coach's own after start-up (before any
// message of the server arrived).
void measureMatchMemory() {
  long idle_kib = -1;
  {
    practice::PracticeServer server;
    practice::ChildProcess coach;
    practice::Datagram init;
    if (bench::startCoach(&coach, server.port()) && server.waitInit(&init, 5000)) {
      idle_kib = bench::peakResidentKib(coach.pid());
    }
  }

  practice::PracticeServer server;
  practice::ChildProcess coach;
  const bool started = bench::startCoach(&coach, server.port());
  practice::DemoOptions options;
  options.coach_path = BRENVO_COACH_PATH;
  options.team = bench::TEAM;
  options.timeout_s = 60;
  std::ostringstream log;
  practice::DemoMatch match(&server, options, log);
  long match_kib = -1;
  const bool played = started && match.play([&]() {
    match_kib = std::max(match_kib, bench::peakResidentKib(coach.pid()));
    return coach.exited();
  });
  if (!played) std::printf("the practice match failed:\n%s\n", log.str().c_str());

  std::printf(
      "peak resident memory of the coach over a practice match: %ld KiB (%.2f MiB); "
      "target < %ld KiB: %s\n",
      match_kib, match_kib / 1024.0, MEMORY_TARGET_KIB,
      match_kib > 0 && match_kib < MEMORY_TARGET_KIB ? "met" : "MISSED");
  std::printf("peak resident memory of the coach after start-up:        %ld KiB (%.2f MiB)\n\n",
              idle_kib, idle_kib / 1024.0);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  bool match = true;
  std::vector<char*> args;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--skip-match") == 0) {
      match = false;
    } else {
      args.push_back(argv[i]);
    }
  }
  int count = static_cast<int>(args.size());
  if (match) measureMatchMemory();

  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.printRatios();
  benchmark::Shutdown();
  return 0;
}
