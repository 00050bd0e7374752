#ifndef BRENVO_FUZZ_FUZZ_SUPPORT_H
#define BRENVO_FUZZ_FUZZ_SUPPORT_H

// Helpers shared by the fuzz targets: their entry points (for libFuzzer, or
// registered for the replay in the unit tests), a sink for the coach's
// diagnostics, the fuzzer's bytes as NUL-terminated messages, and a reset of
// the process-wide parameter sets so that one input never changes how the
// next is handled. Never keeps a pointer into the fuzzer's data.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <map>
#include <streambuf>
#include <string>
#include <vector>

#include "param/coach_config.h"
#include "param/player_param.h"
#include "param/server_param.h"
#include "world/game_time.h"

// Each target file writes its start-up as BRENVO_FUZZ_INIT(name) { ... } and
// its entry as BRENVO_FUZZ_TARGET(name) { ... } (the body sees `data` and
// `size`). Built for libFuzzer they are LLVMFuzzerInitialize and
// LLVMFuzzerTestOneInput; built into the unit tests (BRENVO_FUZZ_REPLAY) they
// are registered by name instead, and the tests replay the committed corpus
// through the very same code, under the sanitizers too.
#ifdef BRENVO_FUZZ_REPLAY
#define BRENVO_FUZZ_INIT(name)                                                   \
  static void name##_init();                                                     \
  static const fuzz::Registration name##_init_registration(#name, &name##_init); \
  static void name##_init()
#define BRENVO_FUZZ_TARGET(name)                                               \
  static int name##_run(const uint8_t* data, size_t size);                     \
  static const fuzz::Registration name##_run_registration(#name, &name##_run); \
  static int name##_run(const uint8_t* data, size_t size)
#else
#define BRENVO_FUZZ_INIT(name)                         \
  static void name##_init();                           \
  extern "C" int LLVMFuzzerInitialize(int*, char***) { \
    name##_init();                                     \
    return 0;                                          \
  }                                                    \
  static void name##_init()
#define BRENVO_FUZZ_TARGET(name) \
  extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
#endif

namespace fuzz {

// A target as the replay sees it.
struct Target {
  void (*init)() = nullptr;
  int (*run)(const uint8_t* data, size_t size) = nullptr;
};

// Every target built into this program, by name.
inline std::map<std::string, Target>& targets() {
  static std::map<std::string, Target> registry;
  return registry;
}

struct Registration {
  Registration(const char* name, void (*init)()) { targets()[name].init = init; }
  Registration(const char* name, int (*run)(const uint8_t*, size_t)) { targets()[name].run = run; }
};

// The coached side of the recordings the seed corpus was cut from, so that
// the seeds exercise the "our team" paths.
const char TEAM[] = "Coachees";

// Swallows everything written to it.
class NullBuffer : public std::streambuf {
 protected:
  int overflow(int c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

inline std::ostream& nullStream() {
  static NullBuffer sink;
  static std::ostream os(&sink);
  return os;
}

// Sends std::cout and std::cerr into the sink: every bad input is reported,
// and writing millions of reports would only slow the fuzzer down.
// BRENVO_FUZZ_VERBOSE=1 in the environment keeps them. The replay in the
// unit tests silences them itself, for the replay only.
inline void silenceStreams() {
#ifdef BRENVO_FUZZ_REPLAY
  return;
#endif
  const char* verbose = std::getenv("BRENVO_FUZZ_VERBOSE");
  if (verbose != nullptr && verbose[0] == '1') return;
  std::cout.rdbuf(nullStream().rdbuf());
  std::cerr.rdbuf(nullStream().rdbuf());
}

// The input as one text; c_str() ends it at its first NUL, as the coach
// reads a datagram.
inline std::string text(const uint8_t* data, size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

// The input cut at every NUL byte, the wire's end of a message. At most
// max_parts parts; the last one is kept even when no NUL ends it.
inline std::vector<std::string> splitAtNul(const uint8_t* data, size_t size, size_t max_parts) {
  std::vector<std::string> parts;
  const char* p = reinterpret_cast<const char*>(data);
  const char* end = p + size;
  while (p < end && parts.size() < max_parts) {
    const char* stop = p;
    while (stop < end && *stop != '\0') ++stop;
    parts.emplace_back(p, stop);
    p = stop + 1;
  }
  return parts;
}

// Puts every process-wide setting back to its default (team name TEAM).
inline void resetProcessState() {
  CoachConfig::instance().setDefaultParam();
  CoachConfig::instance().team_name = TEAM;
  ServerParam::instance().setDefaultParam();
  PlayerParam::instance().setDefaultParam();
  GameTime::S_last_stop_cycle = 0;
  GameTime::S_last_stop_count = 0;
}

}  // namespace fuzz

#endif
