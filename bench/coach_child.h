#ifndef BRENVO_BENCH_COACH_CHILD_H
#define BRENVO_BENCH_COACH_CHILD_H

// Starts the real coach binary as a child process for the benchmarks, its
// output thrown away, and reads its memory while it runs. Owns nothing: the
// caller ends and reaps the child.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "bench/bench_support.h"

extern char** environ;

namespace bench {

// The coach towards 127.0.0.1:port as team kTeam; -1 when it cannot start.
inline pid_t spawnCoach(int port) {
  const std::string port_text = std::to_string(port);
  const char* argv[] = {BRENVO_COACH_PATH, "-host", "127.0.0.1", "-port",
                        port_text.c_str(), "-t",    kTeam,       nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  if (posix_spawn(&pid, BRENVO_COACH_PATH, &actions, nullptr, const_cast<char**>(argv), environ) !=
      0) {
    pid = -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  return pid;
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

inline void killChild(pid_t pid) {
  if (pid <= 0) return;
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
}

}  // namespace bench

#endif
