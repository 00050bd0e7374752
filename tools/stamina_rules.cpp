#include "tools/stamina_rules.h"

#include <algorithm>
#include <cmath>

namespace practice {

StaminaParams readStaminaParams(const std::string& m) {
  StaminaParams p;
  p.stamina_max = paramValue(m, "stamina_max", p.stamina_max);
  p.stamina_capacity = paramValue(m, "stamina_capacity", p.stamina_capacity);
  p.recover_init = paramValue(m, "recover_init", p.recover_init);
  p.recover_dec_thr = paramValue(m, "recover_dec_thr", p.recover_dec_thr);
  p.recover_dec = paramValue(m, "recover_dec", p.recover_dec);
  p.recover_min = paramValue(m, "recover_min", p.recover_min);
  p.effort_dec_thr = paramValue(m, "effort_dec_thr", p.effort_dec_thr);
  p.effort_dec = paramValue(m, "effort_dec", p.effort_dec);
  p.effort_inc_thr = paramValue(m, "effort_inc_thr", p.effort_inc_thr);
  p.effort_inc = paramValue(m, "effort_inc", p.effort_inc);
  p.side_dash_rate = paramValue(m, "side_dash_rate", p.side_dash_rate);
  p.back_dash_rate = paramValue(m, "back_dash_rate", p.back_dash_rate);
  return p;
}

StaminaState StaminaRules::fresh(const PlayerTypeValues& type) const {
  StaminaState state;
  state.stamina = params.stamina_max;
  state.effort = type.effort_max;
  state.recovery = params.recover_init;
  state.capacity = params.stamina_capacity;
  return state;
}

double StaminaRules::dash(StaminaState* state, const PlayerTypeValues& type, double power) const {
  power = std::max(-100.0, std::min(100.0, power));
  const double rate = power < 0 ? 2 : 1;
  const double available = std::max(0.0, state->stamina + type.extra_stamina);
  double cost = std::fabs(power) * rate;
  if (cost > available) {
    cost = available;
    power = std::copysign(available / rate, power);
  }
  state->stamina = std::max(0.0, state->stamina - cost);
  return power;
}

double StaminaRules::acceleration(const StaminaState& state, const PlayerTypeValues& type,
                                  double power, double direction) const {
  return std::fabs(power) * type.dash_power_rate * state.effort *
         directionRate(power < 0 ? direction + 180 : direction);
}

double StaminaRules::directionRate(double direction) const {
  double off = std::fabs(std::remainder(direction, 360.0));  // 0 to 180
  if (off <= 90) return 1 - (1 - params.side_dash_rate) * off / 90;
  return params.side_dash_rate + (params.back_dash_rate - params.side_dash_rate) * (off - 90) / 90;
}

void StaminaRules::afterCommands(StaminaState* s, const PlayerTypeValues& type) const {
  const double max = params.stamina_max;
  if (s->stamina <= params.recover_dec_thr * max) {
    s->recovery = std::max(params.recover_min, s->recovery - params.recover_dec);
  }
  if (s->stamina <= params.effort_dec_thr * max) {
    s->effort = std::max(type.effort_min, s->effort - params.effort_dec);
  }
  if (s->stamina >= params.effort_inc_thr * max) {
    s->effort = std::min(type.effort_max, s->effort + params.effort_inc);
  }
  const double growth =
      std::max(0.0, std::min({s->recovery * type.stamina_inc_max, max - s->stamina, s->capacity}));
  s->stamina += growth;
  s->capacity -= growth;
}

}  // namespace practice
