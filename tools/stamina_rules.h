#ifndef BRENVO_TOOLS_STAMINA_RULES_H
#define BRENVO_TOOLS_STAMINA_RULES_H

// The server's stamina rules for one player: what a dash may cost and how
// hard it pushes, then the recovery, effort and capacity updates that follow
// the commands of every step, and what a kick-off or a substitution restores.
// Holds the parameters only; the players' states belong to the caller.

#include <string>

#include "tools/server_messages.h"

namespace practice {

// The server parameters of the rules. A coach of protocol 9.4 is not told
// stamina_capacity, side_dash_rate or back_dash_rate: their defaults are a
// current server's.
struct StaminaParams {
  double stamina_max = 8000;
  double stamina_capacity = 130600;
  double recover_init = 1;
  double recover_dec_thr = 0.3;  // of stamina_max
  double recover_dec = 0.002;
  double recover_min = 0.5;
  double effort_dec_thr = 0.3;  // of stamina_max
  double effort_dec = 0.005;
  double effort_inc_thr = 0.6;  // of stamina_max
  double effort_inc = 0.01;
  double side_dash_rate = 0.4;
  double back_dash_rate = 0.7;
};

// The parameters as a "(server_param ...)" message announces them; those it
// does not carry keep their defaults.
StaminaParams readStaminaParams(const std::string& server_param);

struct StaminaState {
  double stamina = 0;
  double effort = 0;
  double recovery = 0;
  double capacity = 0;
};

// A player's state at the first step of a cycle.
struct StaminaSnapshot {
  int cycle = 0;
  int unum = 0;
  StaminaState state;
};

class StaminaRules {
 public:
  explicit StaminaRules(const StaminaParams& params = StaminaParams()) : params(params) {}

  const StaminaParams& parameters() const { return params; }

  // A fresh player of `type`: full stamina and capacity, the type's highest
  // effort, recover_init. What each normal half's kick-off and a
  // substitution give back.
  StaminaState fresh(const PlayerTypeValues& type) const;

  // A dash of `power` (-100 to 100): costs power, or 2|power| backwards, but
  // never more than stamina plus the type's extra_stamina (the power shrinks
  // to what that pays for); stamina does not fall below 0. Returns the power
  // the dash gets.
  double dash(StaminaState* state, const PlayerTypeValues& type, double power) const;

  // The push of a dash of the power it got, `direction` degrees from the
  // body: |power| * dash_power_rate * effort * directionRate, where a dash
  // of negative power pushes the other way (direction + 180).
  double acceleration(const StaminaState& state, const PlayerTypeValues& type, double power,
                      double direction) const;

  // 1 straight ahead, falling linearly to side_dash_rate at 90 degrees
  // either side and going linearly on to back_dash_rate at 180.
  double directionRate(double direction) const;

  // After the commands of a step: recovery falls below recover_dec_thr, effort
  // falls below effort_dec_thr and rises above effort_inc_thr (each bounded
  // by its limits), then stamina grows by recovery * stamina_inc_max, at most
  // to stamina_max and at most by the capacity left, which it uses up.
  void afterCommands(StaminaState* state, const PlayerTypeValues& type) const;

 private:
  StaminaParams params;
};

}  // namespace practice

#endif
