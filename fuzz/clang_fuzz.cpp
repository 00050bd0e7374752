// Fuzzes the players' CLang version announcements.

#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "strategy/clang_manager.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::silenceStreams();
  fuzz::resetProcessState();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CLangManager clang;
  for (const std::string& message : fuzz::splitAtNul(data, size, 16)) {
    clang.parseCLangVer(message.c_str());
  }
  for (int unum = -1; unum <= 12; ++unum) clang.playerVersion(unum);
  return 0;
}
