#include "param/player_param.h"

// Every parameter: name, member, default, one row a line; random_seed is
// registered before the three new_ parameters.
// clang-format off
const ParamMap::Row<PlayerParam> PlayerParam::S_PARAMS[] = {
    {"player_types", &PlayerParam::player_types, DEFAULT_PLAYER_TYPES},
    {"subs_max", &PlayerParam::subs_max, DEFAULT_SUBS_MAX},
    {"pt_max", &PlayerParam::pt_max, DEFAULT_PT_MAX},
    {"player_speed_max_delta_min", &PlayerParam::player_speed_max_delta_min, DEFAULT_PLAYER_SPEED_MAX_DELTA_MIN},
    {"player_speed_max_delta_max", &PlayerParam::player_speed_max_delta_max, DEFAULT_PLAYER_SPEED_MAX_DELTA_MAX},
    {"stamina_inc_max_delta_factor", &PlayerParam::stamina_inc_max_delta_factor, DEFAULT_STAMINA_INC_MAX_DELTA_FACTOR},
    {"player_decay_delta_min", &PlayerParam::player_decay_delta_min, DEFAULT_PLAYER_DECAY_DELTA_MIN},
    {"player_decay_delta_max", &PlayerParam::player_decay_delta_max, DEFAULT_PLAYER_DECAY_DELTA_MAX},
    {"inertia_moment_delta_factor", &PlayerParam::inertia_moment_delta_factor, DEFAULT_INERTIA_MOMENT_DELTA_FACTOR},
    {"dash_power_rate_delta_min", &PlayerParam::dash_power_rate_delta_min, DEFAULT_DASH_POWER_RATE_DELTA_MIN},
    {"dash_power_rate_delta_max", &PlayerParam::dash_power_rate_delta_max, DEFAULT_DASH_POWER_RATE_DELTA_MAX},
    {"player_size_delta_factor", &PlayerParam::player_size_delta_factor, DEFAULT_PLAYER_SIZE_DELTA_FACTOR},
    {"kickable_margin_delta_min", &PlayerParam::kickable_margin_delta_min, DEFAULT_KICKABLE_MARGIN_DELTA_MIN},
    {"kickable_margin_delta_max", &PlayerParam::kickable_margin_delta_max, DEFAULT_KICKABLE_MARGIN_DELTA_MAX},
    {"kick_rand_delta_factor", &PlayerParam::kick_rand_delta_factor, DEFAULT_KICK_RAND_DELTA_FACTOR},
    {"extra_stamina_delta_min", &PlayerParam::extra_stamina_delta_min, DEFAULT_EXTRA_STAMINA_DELTA_MIN},
    {"extra_stamina_delta_max", &PlayerParam::extra_stamina_delta_max, DEFAULT_EXTRA_STAMINA_DELTA_MAX},
    {"effort_max_delta_factor", &PlayerParam::effort_max_delta_factor, DEFAULT_EFFORT_MAX_DELTA_FACTOR},
    {"effort_min_delta_factor", &PlayerParam::effort_min_delta_factor, DEFAULT_EFFORT_MIN_DELTA_FACTOR},
    {"random_seed", &PlayerParam::random_seed, DEFAULT_RANDOM_SEED},
    {"new_dash_power_rate_delta_min", &PlayerParam::new_dash_power_rate_delta_min, DEFAULT_NEW_DASH_POWER_RATE_DELTA_MIN},
    {"new_dash_power_rate_delta_max", &PlayerParam::new_dash_power_rate_delta_max, DEFAULT_NEW_DASH_POWER_RATE_DELTA_MAX},
    {"new_stamina_inc_max_delta_factor", &PlayerParam::new_stamina_inc_max_delta_factor, DEFAULT_NEW_STAMINA_INC_MAX_DELTA_FACTOR},
};
// clang-format on

namespace {

// The values of the positional message, in the order the server writes them.
// clang-format off
const std::vector<const char*> POSITIONAL_ORDER = {
    "player_types", "subs_max", "pt_max", "player_speed_max_delta_min",
    "player_speed_max_delta_max", "stamina_inc_max_delta_factor", "player_decay_delta_min",
    "player_decay_delta_max", "inertia_moment_delta_factor", "dash_power_rate_delta_min",
    "dash_power_rate_delta_max", "player_size_delta_factor", "kickable_margin_delta_min",
    "kickable_margin_delta_max", "kick_rand_delta_factor", "extra_stamina_delta_min",
    "extra_stamina_delta_max", "effort_max_delta_factor", "effort_min_delta_factor"
};
// clang-format on

// What servers after protocol 9.4 announce beside the parameters above; the
// coach has no use for them and skips them without a report.
const char* const UNKEPT_NAMES[] = {
    "allow_mult_default_type",      "catchable_area_l_stretch_max",
    "catchable_area_l_stretch_min", "foul_detect_probability_delta_factor",
    "kick_power_rate_delta_max",    "kick_power_rate_delta_min",
};

}  // namespace

PlayerParam& PlayerParam::instance() {
  static PlayerParam param;
  return param;
}

PlayerParam::PlayerParam() {
  createMap();
  setDefaultParam();
}

void PlayerParam::createMap() {
  defineRows(*this, S_PARAMS, REGISTER);
}

void PlayerParam::setDefaultParam() {
  defineRows(*this, S_PARAMS, DEFAULT);
}

void PlayerParam::parse(const char* msg, const double& version) {
  readServerMessage(msg, version, POSITIONAL_ORDER, UNKEPT_NAMES);
}

void PlayerParam::parseV7(const char* msg) {
  readPositional(msg, POSITIONAL_ORDER);
}
