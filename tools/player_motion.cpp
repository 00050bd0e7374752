#include "tools/player_motion.h"

#include <algorithm>
#include <cmath>

namespace practice {

namespace {

double wholeDegrees(double radians) {
  double degrees = std::round(radians * 180 / M_PI);
  if (degrees > 180) degrees -= 360;
  if (degrees <= -180) degrees += 360;
  return degrees;
}

}  // namespace

Dash PlayerMotion::jog(PlayerView* p, double to_x, double to_y) {
  std::uniform_real_distribution<double> power(30, 100);
  std::uniform_real_distribution<double> shake(-M_PI / 4, M_PI / 4);
  const double distance = std::hypot(to_x - p->x, to_y - p->y);
  double direction = distance > 0.01 ? std::atan2(to_y - p->y, to_x - p->x) : p->body * M_PI / 180;
  direction += shake(random);
  // Near its target a player only shuffles, as a player waiting for the ball.
  const double scale = std::min(1.0, 0.3 + distance / 5);
  p->body = wholeDegrees(direction);
  Dash dash;
  dash.power = power(random) * scale;
  return dash;
}

Dash PlayerMotion::sprint(PlayerView* p, int side) {
  const int unum = std::max(0, std::min(11, p->unum));
  double& x = target_x[side][unum];
  double& y = target_y[side][unum];
  if (!has_target[side][unum] || std::hypot(x - p->x, y - p->y) < 3) {
    x = std::uniform_real_distribution<double>(-45, 45)(random);
    y = std::uniform_real_distribution<double>(-28, 28)(random);
    has_target[side][unum] = true;
  }
  const double towards = wholeDegrees(std::atan2(y - p->y, x - p->x));
  double off = std::fabs(towards - p->body);
  if (off > 180) off = 360 - off;
  Dash dash;
  if (off > 20) {
    p->body = towards;
  } else {
    dash.power = 100;
  }
  return dash;
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
  const double spread = rand * std::min(speed, type.player_speed_max);
  if (spread > 0) {
    std::uniform_real_distribution<double> noise(-spread, spread);
    ux += noise(noise_random);
    uy += noise(noise_random);
  }
  p->x += ux;
  p->y += uy;
  p->vx = type.player_decay * ux;
  p->vy = type.player_decay * uy;
}

}  // namespace practice
