#ifndef BRENVO_BENCH_COACH_CHILD_H
#define BRENVO_BENCH_COACH_CHILD_H

// Starts the real coach binary as a child process for the benchmarks, its
// output thrown away, and reads its memory while it runs. The ChildProcess
// ends and reaps it.

#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "tools/child_process.h"
#include "tools/demo_run.h"

namespace bench {

// The coach towards 127.0.0.1:port as team TEAM; false when it cannot start.
inline bool startCoach(practice::ChildProcess* coach, int port) {
  std::vector<std::string> args = practice::coachArguments(port, TEAM);
  args.insert(args.begin(), BRENVO_COACH_PATH);
  return coach->start(args, practice::ChildProcess::Output::DISCARD);
}

// The peak resident memory (VmHWM, KiB) of a running process; -1 once it is
// gone. Unlike the peak that wait4 reports, it counts only the program
// itself, not the parent whose copy it was before exec.
inline long peakResidentKib(pid_t pid) {
  const std::string path = "/proc/" + std::to_string(pid) + "/status";
  std::FILE* file = std::fopen(path.c_str(), "r");
  if (file == nullptr) return -1;
  char line[256];
  long kib = -1;
  while (std::fgets(line, sizeof(line), file) != nullptr) {
    if (std::sscanf(line, "VmHWM: %ld kB", &kib) == 1) break;
  }
  std::fclose(file);
  return kib;
}

}  // namespace bench

#endif
