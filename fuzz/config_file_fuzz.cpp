// Fuzzes the configuration file reader: the input is written to a private
// file in TMPDIR (default /dev/shm, a memory file system, or /tmp without
// it) and read into the coach configuration, with the separator the coach
// uses and with two more.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_support.h"
#include "param/coach_config.h"
#include "param/config_file_reader.h"

namespace {

std::string S_path;

void removeFile() {
  if (!S_path.empty()) std::remove(S_path.c_str());
}

}  // namespace

BRENVO_FUZZ_INIT(config_file_fuzz) {
  fuzz::silenceStreams();
  fuzz::resetProcessState();
  const char* dir = std::getenv("TMPDIR");
  if (dir == nullptr || dir[0] == '\0') dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  S_path = std::string(dir) + "/brenvo-config-fuzz-" + std::to_string(getpid()) + ".conf";
  std::atexit(removeFile);
}

BRENVO_FUZZ_TARGET(config_file_fuzz) {
  std::FILE* file = std::fopen(S_path.c_str(), "wb");
  if (file == nullptr) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);

  CoachConfig& config = CoachConfig::instance();
  ConfigFileReader(S_path, ":").read(config);
  config.show(fuzz::nullStream(), true);
  fuzz::resetProcessState();
  ConfigFileReader(S_path, ":= \t").read(config);
  fuzz::resetProcessState();
  ConfigFileReader(S_path, "").read(config);
  fuzz::resetProcessState();
  return 0;
}
