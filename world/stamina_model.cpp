#include "world/stamina_model.h"

#include <algorithm>
#include <cmath>
#include <iostream>

#include "param/server_param.h"

namespace {

const double PI = 3.14159265358979323846;
// The pitch's outer limit: the server keeps every player within it.
const double LIMIT_X = ServerParam::DEFAULT_PITCH_LENGTH / 2 + ServerParam::DEFAULT_PITCH_MARGIN;
const double LIMIT_Y = ServerParam::DEFAULT_PITCH_WIDTH / 2 + ServerParam::DEFAULT_PITCH_MARGIN;
const double AT_LIMIT = 0.01;  // metres from the limit that count as on it
// The movement noise bounds each component of the velocity; across the
// body's axes a component may carry up to this many times that bound.
const double NOISE_ACROSS_AXES = std::sqrt(2.0);
// No dash reaches past this many times the server's largest power; a reading
// beyond it is noise on a player the dash hardly moves.
const double MAX_POWER_SHARE = 2.0;

}  // namespace

StaminaModel::StaminaModel() : viewed(false), kicked_off_half(-1) {
  std::fill(announced, announced + S_MAX_TYPES, false);
  configure(ServerParam::instance(), 9.4);
  for (Tracked& p : players) {
    p.state.type = 0;
    p.state.seen = false;
    p.state.goalie = false;
    p.moving_known = false;
    p.last_power = 0.0;
    p.window_at = 0;
    restore(&p);
  }
}

void StaminaModel::configure(const ServerParam& server, double version) {
  clock.configure(server, version);
  default_type = PlayerType(server);
  stamina_max = server.stamina_max;
  stamina_capacity = server.stamina_capacity;
  recover_init = server.recover_init;
  recover_dec_thr = server.recover_dec_thr;
  recover_dec = server.recover_dec;
  recover_min = server.recover_min;
  effort_dec_thr = server.effort_dec_thr;
  effort_dec = server.effort_dec;
  effort_inc_thr = server.effort_inc_thr;
  effort_inc = server.effort_inc;
  player_rand = server.player_rand;
  side_dash_rate = server.side_dash_rate;
  back_dash_rate = server.back_dash_rate;
  dash_angle_step = server.dash_angle_step;
  maxpower = server.maxpower;
}

void StaminaModel::addType(const PlayerType& type) {
  if (type.id < 0 || type.id >= S_MAX_TYPES || announced[type.id]) return;
  types[type.id] = type;
  announced[type.id] = true;
}

const PlayerType& StaminaModel::playerType(int id) const {
  if (id >= 0 && id < S_MAX_TYPES && announced[id]) return types[id];
  return default_type;
}

double StaminaModel::consumption(int unum) const {
  const Tracked& p = players[index(unum)];
  return p.window_count > 0 ? p.window_sum / p.window_count : 0.0;
}

void StaminaModel::restore(Tracked* p) const {
  p->state.stamina = stamina_max;
  p->state.effort = playerType(p->state.type).effort_max;
  p->state.recovery = recover_init;
  p->state.capacity = stamina_capacity;
  std::fill(p->window, p->window + S_WINDOW, 0.0);
  p->window_count = 1;
  p->window_sum = 0.0;
}

void StaminaModel::changeType(int unum, int type) {
  if (unum < 1 || unum > S_PLAYERS || type < 0) return;
  players[unum - 1].state.type = type;
  restore(&players[unum - 1]);
}

void StaminaModel::playMode(Referee::PlayMode mode, const GameTime& now) {
  if (mode != Referee::KICK_OFF) return;
  const int half = clock.halfOf(now.cycle);
  if (half <= kicked_off_half) return;  // a kick-off after a goal
  kicked_off_half = half;
  for (Tracked& p : players) {
    if (half < clock.normalHalves()) {
      restore(&p);
    } else if (half == clock.normalHalves()) {
      p.state.capacity = stamina_capacity;  // extra time: once, the capacity alone
    }
  }
}

void StaminaModel::observe(const std::vector<CoachVisualSensor::PlayerT>& ours,
                           const GameTime& now) {
  long steps = 1;
  long new_cycles = 1;
  if (!viewed) {
    viewed = true;
    if (now.cycle > 0) {
      std::cerr << "Coach: connected at cycle " << now.cycle
                << ", after kick-off: our players' stamina is followed as if they were fresh"
                << std::endl;
      kicked_off_half = clock.halfOf(now.cycle);
    }
  } else {
    if (now.cycle < last_view.cycle) return;
    new_cycles = static_cast<long>(now.cycle) - last_view.cycle;
    steps = new_cycles > 0 ? new_cycles + now.stopped
                           : static_cast<long>(now.stopped) - last_view.stopped;
    if (steps <= 0) return;
  }
  last_view = now;
  steps = std::min<long>(steps, S_MAX_GAP);
  new_cycles = std::min(new_cycles, steps);

  for (Tracked& p : players) p.state.seen = false;
  for (const CoachVisualSensor::PlayerT& seen : ours) {
    if (seen.unum < 1 || seen.unum > S_PLAYERS) continue;
    Tracked& p = players[seen.unum - 1];
    if (p.state.seen) continue;  // a number twice in one view: the first counts
    p.state.seen = true;
    p.state.goalie = seen.goalie;
    if (p.moving_known) {
      // Steps missed between two views: each with the last dash; the motion
      // across them shows no single dash.
      for (int i = 1; i < steps; ++i) step(&p, p.last_power, i <= new_cycles);
      double power = p.last_power;
      if (steps == 1 && readDash(p, seen, &power)) p.last_power = power;
      step(&p, power, steps <= new_cycles);
    } else {
      for (int i = 0; i < new_cycles; ++i) advanceWindow(&p);
    }
    p.pos = seen.pos;
    p.vel = seen.vel;
    p.moving_known = true;
  }
  // A player missing from the view: its next view shows no single step.
  for (Tracked& p : players) {
    if (!p.state.seen) p.moving_known = false;
  }
}

void StaminaModel::advanceWindow(Tracked* p) const {
  p->window_at = (p->window_at + 1) % S_WINDOW;
  if (p->window_at == 0) {
    // Once a round the sum is made anew, so rounding never piles up.
    p->window_sum = 0.0;
    for (int i = 1; i < S_WINDOW; ++i) p->window_sum += p->window[i];
  } else {
    p->window_sum -= p->window[p->window_at];
  }
  p->window[p->window_at] = 0.0;
  if (p->window_count < S_WINDOW) ++p->window_count;
}

// The server's order: the dash's cost, then recovery and effort by the
// stamina left, then the stamina regained out of the capacity.
void StaminaModel::step(Tracked* p, double power, bool new_cycle) const {
  if (new_cycle) advanceWindow(p);
  const PlayerType& type = playerType(p->state.type);
  Player& s = p->state;
  const double cost = std::max(0.0, std::min(power, s.stamina + type.extra_stamina));
  s.stamina = std::max(0.0, s.stamina - cost);
  p->window[p->window_at] += cost;
  p->window_sum += cost;

  if (s.stamina <= recover_dec_thr * stamina_max && s.recovery > recover_min) {
    s.recovery = std::max(recover_min, s.recovery - recover_dec);
  }
  if (s.stamina <= effort_dec_thr * stamina_max && s.effort > type.effort_min) {
    s.effort = std::max(type.effort_min, s.effort - effort_dec);
  }
  if (s.stamina >= effort_inc_thr * stamina_max && s.effort < type.effort_max) {
    s.effort = std::min(type.effort_max, s.effort + effort_inc);
  }
  const double gain = std::max(
      0.0, std::min({s.recovery * type.stamina_inc_max, stamina_max - s.stamina, s.capacity}));
  s.stamina += gain;
  s.capacity -= gain;
}

double StaminaModel::directionRate(double dir) const {
  double angle = std::fabs(dir);
  if (dash_angle_step > 0) angle = std::round(angle / dash_angle_step) * dash_angle_step;
  angle = std::min(angle, 180.0);
  if (angle <= 90.0) return 1.0 - (1.0 - side_dash_rate) * angle / 90.0;
  return side_dash_rate + (back_dash_rate - side_dash_rate) * (angle - 90.0) / 90.0;
}

// The server reports a player's velocity after it moved and decayed, so the
// move before the decay was vel / decay and the acceleration of the step
// is that move minus the previous velocity, noise included. Where something
// else displaced the player (a collision, the referee or the trainer placing
// it) the velocity is not decay times the move, and the dash is not seen:
// the last one is taken again. At the pitch's outer limit the server holds
// the position but not the velocity, so the velocity still shows the dash.
bool StaminaModel::readDash(const Tracked& p, const CoachVisualSensor::PlayerT& now,
                            double* power) const {
  *power = p.last_power;
  const PlayerType& type = playerType(p.state.type);
  const double decay = type.player_decay;
  const double rate = type.dash_power_rate * p.state.effort;
  if (decay <= 0.0 || rate <= 0.0) return false;

  const Vector2D move = now.pos - p.pos;
  if (move == Vector2D() && now.vel == Vector2D() && p.vel != Vector2D()) {
    *power = 0.0;  // stopped where it stood: the server halted play
    return false;
  }
  const bool displaced = std::fabs(now.vel.x - decay * move.x) > S_MOTION_TOLERANCE ||
                         std::fabs(now.vel.y - decay * move.y) > S_MOTION_TOLERANCE;
  const bool at_limit =
      std::fabs(now.pos.x) >= LIMIT_X - AT_LIMIT || std::fabs(now.pos.y) >= LIMIT_Y - AT_LIMIT;
  if (displaced && !at_limit) return false;

  const Vector2D before_decay = now.vel * (1.0 / decay);
  const Vector2D accel = before_decay - p.vel;
  // The body the view shows: a player that dashes does not turn in the
  // same step on a real server, and a server that lets it do both turns it
  // first.
  const double body = now.body * PI / 180.0;
  const double ahead = accel.x * std::cos(body) + accel.y * std::sin(body);
  const double across = -accel.x * std::sin(body) + accel.y * std::cos(body);
  const double noise = player_rand * before_decay.length() * NOISE_ACROSS_AXES;

  if (std::fabs(across) <= noise && ahead >= -noise) {
    // Straight ahead, or no dash at all: the part along the body, whose noise
    // averages out.
    *power = std::max(0.0, ahead) / rate;
  } else {
    // Any other direction; one that points backwards is read as a dash aimed
    // backwards with positive power, as a current server allows no other.
    const double dir = std::atan2(across, ahead) * 180.0 / PI;
    *power = accel.length() / (rate * directionRate(dir));
  }
  if (!std::isfinite(*power)) {
    *power = p.last_power;  // a view no server writes
    return false;
  }
  *power = std::min(*power, MAX_POWER_SHARE * maxpower);
  return true;
}
