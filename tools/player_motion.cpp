#include "tools/player_motion.h"

#include <algorithm>
#include <cmath>

namespace practice {

void PlayerMotion::dashTowards(PlayerView* p, const PlayerTypeValues& type, double to_x,
                               double to_y) {
  std::uniform_real_distribution<double> power(30, 100);
  std::uniform_real_distribution<double> shake(-M_PI / 4, M_PI / 4);
  const double distance = std::hypot(to_x - p->x, to_y - p->y);
  double direction = distance > 0.01 ? std::atan2(to_y - p->y, to_x - p->x) : p->body * M_PI / 180;
  direction += shake(random);
  // Near its target a player only shuffles, as a player waiting for the ball.
  const double scale = std::min(1.0, 0.3 + distance / 5);
  const double accel =
      std::min(ACCEL_MAX, power(random) * scale * type.dash_power_rate * type.effort_max);
  double body = std::round(direction * 180 / M_PI);
  if (body > 180) body -= 360;
  if (body <= -180) body += 360;
  p->body = body;
  move(p, type, accel * std::cos(direction), accel * std::sin(direction));
}

void PlayerMotion::move(PlayerView* p, const PlayerTypeValues& type, double accel_x,
                        double accel_y) {
  double ux = p->vx + accel_x;
  double uy = p->vy + accel_y;
  const double speed = std::hypot(ux, uy);
  if (speed > type.player_speed_max) {
    ux *= type.player_speed_max / speed;
    uy *= type.player_speed_max / speed;
  }
  p->x += ux;
  p->y += uy;
  p->vx = type.player_decay * ux;
  p->vy = type.player_decay * uy;
}

}  // namespace practice
