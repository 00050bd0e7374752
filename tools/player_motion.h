#ifndef BRENVO_TOOLS_PLAYER_MOTION_H
#define BRENVO_TOOLS_PLAYER_MOTION_H

// Moves players as the simulation server does. Each cycle a player dashes:
// an acceleration is added to the velocity it kept from the cycle before, the
// sum is capped at its type's top speed, the player moves by it, and then the
// velocity is multiplied by its type's player_decay. The view reports that
// decayed velocity, so in a cycle without a jump the reported velocity is
// player_decay times the displacement, in the same direction.
// Holds only its random source; the players' state is in their views.

#include <random>

#include "tools/server_messages.h"

namespace practice {

class PlayerMotion {
 public:
  // The largest acceleration a dash may give (the server's player_accel_max).
  static constexpr double ACCEL_MAX = 1.0;

  explicit PlayerMotion(unsigned seed) : random(seed) {}

  // One cycle of `p`, of type `type`: a dash of random power towards
  // (to_x, to_y), its direction shaken by up to 45 degrees either way, and
  // the body turned to it (whole degrees, as the server reports them).
  void dashTowards(PlayerView* p, const PlayerTypeValues& type, double to_x, double to_y);

  // The server's rule for one cycle: u = v + accel, capped at the type's
  // player_speed_max; the position moves by u; v becomes player_decay * u.
  static void move(PlayerView* p, const PlayerTypeValues& type, double accel_x, double accel_y);

 private:
  std::mt19937 random;
};

}  // namespace practice

#endif
