// The benchmark program: first the peak resident memory of the coach over a
// whole practice match, then every benchmark of this folder, then each
// subject as a ratio against its floor from the same run.
//
//   brenvo_bench [--skip-match] [Google Benchmark flags...]
//
// The machines this runs on are shared, so `make bench` asks for several
// repetitions in random order and the ratios use the medians.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "tools/practice_server.h"

extern char** environ;

namespace {

const long kMemoryTargetKib = 5 * 1024;

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

// Peak resident memory (KiB) of the coach started with only "--help".
long idleCoachKib() {
  const char* argv[] = {BRENVO_COACH_PATH, "--help", nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  const int failed =
      posix_spawn(&pid, BRENVO_COACH_PATH, &actions, nullptr, const_cast<char**>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) return -1;
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid) return -1;
  return usage.ru_maxrss;
}

// Plays the practice server's demo match against the coach and reports the
// coach's peak resident memory. Must run before any other child process:
// the peak of the waited-for children is read afterwards.
void measureMatchMemory() {
  practice::DemoOptions options;
  options.coach_path = BRENVO_COACH_PATH;
  options.team = bench::kTeam;
  options.timeout_s = 60;
  std::ostringstream log;
  const int result = practice::runDemo(options, log);
  rusage children{};
  getrusage(RUSAGE_CHILDREN, &children);
  const long match_kib = children.ru_maxrss;
  const long idle_kib = idleCoachKib();
  if (result != 0) {
    std::printf("practice match failed:\n%s\n", log.str().c_str());
  }
  std::printf(
      "peak resident memory of the coach over a practice match: %ld KiB (%.2f MiB); "
      "target < %ld KiB: %s\n",
      match_kib, match_kib / 1024.0, kMemoryTargetKib,
      match_kib < kMemoryTargetKib ? "met" : "MISSED");
  std::printf("peak resident memory of the coach with --help only:      %ld KiB (%.2f MiB)\n\n",
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
