// Fuzzes the player type messages in both forms (named from protocol 8 on,
// positional before) and the 48-byte binary record, then runs the movement
// and stamina predictions on whatever type came out, as the substitution
// policy would.

#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/fuzz_support.h"
#include "geom/angle_deg.h"
#include "geom/vector_2d.h"
#include "strategy/player_type.h"

namespace {

void predict(const PlayerType& type) {
  type.getMaxDashCyclesSavingStamina(100.0, 8000.0, 1.0);
  type.cyclesToReachMaxSpeed(100.0);
  type.cyclesToReachDistance(30.0);
  type.dashPowerToKeepMaxSpeed(type.effort_max);
  type.kickRate(0.5, 45.0);
  Vector2D accel(1.0, 0.5);
  type.normalizeAccel(Vector2D(0.8, -0.4), &accel);
  double magnitude = 1.0;
  type.normalizeAccel(Vector2D(0.3, 0.9), AngleDeg(30.0), &magnitude);
  double stamina = 8000.0;
  double effort = 1.0;
  double recovery = 1.0;
  type.predictStaminaAfterNrDash(100.0, 30, &stamina, &effort, &recovery);
  type.predictStaminaAfterWait(10, &stamina, &effort, recovery);
  fuzz::nullStream() << type;
}

}  // namespace

BRENVO_FUZZ_INIT(player_type_fuzz) {
  fuzz::silenceStreams();
  fuzz::resetProcessState();
}

BRENVO_FUZZ_TARGET(player_type_fuzz) {
  const std::string message = fuzz::text(data, size);
  predict(PlayerType(message.c_str(), 9.4));
  predict(PlayerType(message.c_str(), 7.0));
  if (size >= sizeof(SoccerTypes::player_type_t)) {
    SoccerTypes::player_type_t record;
    std::memcpy(&record, data, sizeof(record));
    predict(PlayerType(record));
  }
  return 0;
}
