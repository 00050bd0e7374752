// Fuzzes the server parameter message in both forms (named from protocol 8
// on, positional before), then derives the default player type from the
// result as the coach does.

#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "param/server_param.h"
#include "strategy/player_type.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::silenceStreams();
  fuzz::resetProcessState();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string message = fuzz::text(data, size);
  ServerParam& param = ServerParam::instance();
  param.parse(message.c_str(), 9.4);
  PlayerType named(param);
  named.cyclesToReachDistance(20.0);
  param.show(fuzz::nullStream(), false);
  param.setDefaultParam();

  param.parse(message.c_str(), 7.0);
  PlayerType positional(param);
  positional.cyclesToReachDistance(20.0);
  param.setDefaultParam();
  return 0;
}
