// Fuzzes the heterogeneous player parameter message in both forms (named
// from protocol 8 on, positional before).

#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "param/player_param.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::silenceStreams();
  fuzz::resetProcessState();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string message = fuzz::text(data, size);
  PlayerParam& param = PlayerParam::instance();
  param.parse(message.c_str(), 9.4);
  param.show(fuzz::nullStream(), true);
  param.setDefaultParam();
  param.parse(message.c_str(), 7.0);
  param.setDefaultParam();
  return 0;
}
