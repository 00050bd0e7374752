// Fuzzes the server parameter message in both forms (named from protocol 8
// on, positional before), then derives the default player type from the
// result as the coach does.

#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "param/server_param.h"
#include "strategy/player_type.h"

BRENVO_FUZZ_INIT(server_param_fuzz) {
  fuzz::silenceStreams();
  fuzz::resetProcessState();
}

BRENVO_FUZZ_TARGET(server_param_fuzz) {
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
