#ifndef BRENVO_TOOLS_PLAYER_MOTION_H
#define BRENVO_TOOLS_PLAYER_MOTION_H

// Moves players as the simulation server does. Each cycle a player either
// turns or dashes: a dash's acceleration is added to the velocity it kept from
// the cycle before, the sum is capped at its type's top speed, noise of up to
// player_rand times that speed is added to each component, the player moves
// by the result, and then the velocity is multiplied by its type's
// player_decay. The view reports that decayed velocity, so in a cycle without
// a jump the reported velocity is player_decay times the displacement, in the
// same direction, while a move may exceed what the type's dash can reach.
// Holds its random sources and each sprinter's target; the players' state is
// in their views, their stamina with the caller.

#include <random>

#include "tools/server_messages.h"

namespace practice {

// What a player does in a cycle: a dash of `power` in `direction` degrees
// from its body (0 straight ahead), or no dash (power 0) when it turns.
struct Dash {
  double power = 0;
  double direction = 0;
};

class PlayerMotion {
 public:
  // The largest acceleration a dash may give (the server's player_accel_max).
  static constexpr double ACCEL_MAX = 1.0;

  explicit PlayerMotion(unsigned seed) : random(seed), noise_random(seed + 1) {}

  // The server's player_rand; 0 (no noise) until set.
  void setNoise(double player_rand) { rand = player_rand; }

  // A jogging player of `p`: its body turned towards (to_x, to_y), shaken by
  // up to 45 degrees either way (whole degrees, as the server reports them),
  // and a dash straight ahead of random power, weaker near the target.
  Dash jog(PlayerView* p, double to_x, double to_y);

  // A sprinting player, one of `side` (0 or 1): a dash of power 100 straight
  // ahead while its body points within 20 degrees of its target; otherwise
  // it turns to the target (whole degrees) and does not dash. The target is a
  // point of the pitch drawn at random, drawn again once it is within 3 m.
  Dash sprint(PlayerView* p, int side);

  // The server's rule for one cycle: u = v + accel, capped at the type's
  // player_speed_max; each component of u shaken by up to player_rand * |u|;
  // the position moves by u; v becomes player_decay * u.
  void move(PlayerView* p, const PlayerTypeValues& type, double accel_x, double accel_y);

 private:
  std::mt19937 random;        // the players' choices
  std::mt19937 noise_random;  // the server's noise
  double rand = 0;
  double target_x[2][12] = {};
  double target_y[2][12] = {};
  bool has_target[2][12] = {};
};

}  // namespace practice

#endif
