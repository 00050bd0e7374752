// Fuzzes the global view in both grammars: the newer one (protocol 7 and
// above: x y vx vy body neck [pointto] [t]) and the older one.

#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "world/coach_visual_sensor.h"

BRENVO_FUZZ_INIT(view_fuzz) {
  fuzz::silenceStreams();
}

BRENVO_FUZZ_TARGET(view_fuzz) {
  const std::string message = fuzz::text(data, size);
  CoachVisualSensor sensor;
  const GameTime now(7, 1);
  sensor.parse(message.c_str(), fuzz::TEAM, 9.4, now);
  sensor.show(fuzz::nullStream());
  sensor.parse(message.c_str(), fuzz::TEAM, 6.0, now);
  sensor.show(fuzz::nullStream());
  // An empty team name matches no player; a name that is a prefix of the
  // one in the view must not match either.
  sensor.parseV7(message.c_str(), "");
  sensor.parseV7(message.c_str(), "Coach");
  return 0;
}
