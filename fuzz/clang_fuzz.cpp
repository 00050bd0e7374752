// Fuzzes the players' CLang version announcements.

#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "strategy/clang_manager.h"

BRENVO_FUZZ_INIT(clang_fuzz) {
  fuzz::silenceStreams();
  fuzz::resetProcessState();
}

BRENVO_FUZZ_TARGET(clang_fuzz) {
  CLangManager clang;
  for (const std::string& message : fuzz::splitAtNul(data, size, 16)) {
    clang.parseCLangVer(message.c_str());
  }
  for (int unum = -1; unum <= 12; ++unum) clang.playerVersion(unum);
  return 0;
}
