// Fuzzes the heterogeneous player parameter message in both forms (named
// from protocol 8 on, positional before).

#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "param/player_param.h"

BRENVO_FUZZ_INIT(player_param_fuzz) {
  fuzz::silenceStreams();
  fuzz::resetProcessState();
}

BRENVO_FUZZ_TARGET(player_param_fuzz) {
  const std::string message = fuzz::text(data, size);
  PlayerParam& param = PlayerParam::instance();
  param.parse(message.c_str(), 9.4);
  param.show(fuzz::nullStream(), true);
  param.setDefaultParam();
  param.parse(message.c_str(), 7.0);
  param.setDefaultParam();
  return 0;
}
