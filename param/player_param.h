#ifndef BRENVO_PARAM_PLAYER_PARAM_H
#define BRENVO_PARAM_PLAYER_PARAM_H

// The server's heterogeneous-player parameters: how many player types exist,
// how many type changes a team may make and how many players may share one
// type, plus the ranges from which the server derives its types. A
// process-wide singleton; replaced by each "(player_param " message.

#include "param/param_map.h"

class PlayerParam : public ParamMap {
 public:
  static constexpr int DEFAULT_PLAYER_TYPES = 7;
  static constexpr int DEFAULT_SUBS_MAX = 3;
  static constexpr int DEFAULT_PT_MAX = 3;
  static constexpr double DEFAULT_PLAYER_SPEED_MAX_DELTA_MIN = 0.0;
  static constexpr double DEFAULT_PLAYER_SPEED_MAX_DELTA_MAX = 0.0;
  static constexpr double DEFAULT_STAMINA_INC_MAX_DELTA_FACTOR = 0.0;
  static constexpr double DEFAULT_PLAYER_DECAY_DELTA_MIN = 0.0;
  static constexpr double DEFAULT_PLAYER_DECAY_DELTA_MAX = 0.2;
  static constexpr double DEFAULT_INERTIA_MOMENT_DELTA_FACTOR = 25.0;
  static constexpr double DEFAULT_DASH_POWER_RATE_DELTA_MIN = 0.0;
  static constexpr double DEFAULT_DASH_POWER_RATE_DELTA_MAX = 0.0;
  static constexpr double DEFAULT_PLAYER_SIZE_DELTA_FACTOR = -100.0;
  static constexpr double DEFAULT_KICKABLE_MARGIN_DELTA_MIN = 0.0;
  static constexpr double DEFAULT_KICKABLE_MARGIN_DELTA_MAX = 0.2;
  static constexpr double DEFAULT_KICK_RAND_DELTA_FACTOR = 0.5;
  static constexpr double DEFAULT_EXTRA_STAMINA_DELTA_MIN = 0.0;
  static constexpr double DEFAULT_EXTRA_STAMINA_DELTA_MAX = 100.0;
  static constexpr double DEFAULT_EFFORT_MAX_DELTA_FACTOR = -0.002;
  static constexpr double DEFAULT_EFFORT_MIN_DELTA_FACTOR = -0.002;
  static constexpr double DEFAULT_NEW_DASH_POWER_RATE_DELTA_MIN = 0.0;
  static constexpr double DEFAULT_NEW_DASH_POWER_RATE_DELTA_MAX = 0.002;
  static constexpr double DEFAULT_NEW_STAMINA_INC_MAX_DELTA_FACTOR = -10000.0;
  static constexpr int DEFAULT_RANDOM_SEED = -1;

  static PlayerParam& instance();

  void createMap() override;
  void setDefaultParam() override;

  // Reads a "(player_param " message: the named form for version >= 8,
  // the positional form below that.
  void parse(const char* msg, const double& version);
  // The positional form: a head word, then 19 values in a fixed order.
  void parseV7(const char* msg);

  int player_types;  // number of player types the server offers
  int subs_max;      // type changes a team may make
  int pt_max;        // players of a team that may share one non-default type
  double player_speed_max_delta_min;
  double player_speed_max_delta_max;
  double stamina_inc_max_delta_factor;
  double player_decay_delta_min;
  double player_decay_delta_max;
  double inertia_moment_delta_factor;
  double dash_power_rate_delta_min;
  double dash_power_rate_delta_max;
  double player_size_delta_factor;
  double kickable_margin_delta_min;
  double kickable_margin_delta_max;
  double kick_rand_delta_factor;
  double extra_stamina_delta_min;
  double extra_stamina_delta_max;
  double effort_max_delta_factor;
  double effort_min_delta_factor;
  double new_dash_power_rate_delta_min;
  double new_dash_power_rate_delta_max;
  double new_stamina_inc_max_delta_factor;
  int random_seed;

 private:
  PlayerParam();

  static const Row<PlayerParam> S_PARAMS[];  // every parameter: name, member, default
};

#endif
