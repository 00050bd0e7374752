// Fuzzes the command line: the input's NUL-separated parts are the
// arguments after the program name. They go through the reader and through
// the coach's own start-up, with every "--coach-config" argument dropped so
// that the fuzzer never opens a file it names.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "coach/coach_agent.h"
#include "fuzz/fuzz_support.h"
#include "param/coach_config.h"
#include "param/command_line_reader.h"

BRENVO_FUZZ_INIT(command_line_fuzz) {
  fuzz::silenceStreams();
  fuzz::resetProcessState();
}

BRENVO_FUZZ_TARGET(command_line_fuzz) {
  const std::vector<std::string> parts = fuzz::splitAtNul(data, size, 64);
  std::vector<const char*> argv = {"brenvo_coach"};
  for (const std::string& part : parts) {
    if (std::strcmp(part.c_str(), "--coach-config") == 0) continue;
    argv.push_back(part.c_str());
  }
  const int argc = static_cast<int>(argv.size());
  argv.push_back(nullptr);

  CoachConfig& config = CoachConfig::instance();
  CommandLineReader(argc, argv.data()).read(config);
  fuzz::resetProcessState();

  static CoachAgent agent;
  agent.init(argc, argv.data());
  fuzz::resetProcessState();
  return 0;
}
