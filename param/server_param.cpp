#include "param/server_param.h"

#include <cmath>

// Every registered parameter: name, member, default.
const ParamMap::Row<ServerParam> ServerParam::S_PARAMS[] = {
    {"goalie_max_moves", &ServerParam::goalie_max_moves, 2},
    {"say_coach_cnt_max", &ServerParam::say_coach_cnt_max, 128},
    {"say_coach_msg_size", &ServerParam::say_coach_msg_size, 128},
    {"clang_win_size", &ServerParam::clang_win_size, 300},
    {"clang_define_win", &ServerParam::clang_define_win, 1},
    {"clang_meta_win", &ServerParam::clang_meta_win, 1},
    {"clang_advice_win", &ServerParam::clang_advice_win, 1},
    {"clang_info_win", &ServerParam::clang_info_win, 1},
    {"clang_mess_delay", &ServerParam::clang_mess_delay, 50},
    {"clang_mess_per_cycle", &ServerParam::clang_mess_per_cycle, 1},
    {"half_time", &ServerParam::half_time, 300},
    {"simulator_step", &ServerParam::simulator_step, 100},
    {"send_step", &ServerParam::send_step, 150},
    {"recv_step", &ServerParam::recv_step, 10},
    {"sense_body_step", &ServerParam::sense_body_step, 100},
    {"lcm_step", &ServerParam::lcm_step, 300},
    {"say_msg_size", &ServerParam::say_msg_size, 10},
    {"hear_max", &ServerParam::hear_max, 1},
    {"hear_inc", &ServerParam::hear_inc, 1},
    {"hear_decay", &ServerParam::hear_decay, 1},
    {"catch_ban_cycle", &ServerParam::catch_ban_cycle, 5},
    {"slow_down_factor", &ServerParam::slow_down_factor, 1},
    {"start_goal_l", &ServerParam::start_goal_l, 0},
    {"start_goal_r", &ServerParam::start_goal_r, 0},
    {"drop_ball_time", &ServerParam::drop_ball_time, 200},
    {"synch_offset", &ServerParam::synch_offset, 60},
    {"synch_micro_sleep", &ServerParam::synch_micro_sleep, 1},
    {"point_to_ban", &ServerParam::point_to_ban, 5},
    {"point_to_duration", &ServerParam::point_to_duration, 20},
    {"port", &ServerParam::port, 6000},
    {"coach_port", &ServerParam::coach_port, 6001},
    {"olcoach_port", &ServerParam::olcoach_port, 6002},
    {"send_vi_step", &ServerParam::send_vi_step, 100},
    {"game_log_version", &ServerParam::game_log_version, 3},
    {"text_log_compression", &ServerParam::text_log_compression, 0},
    {"game_log_compression", &ServerParam::game_log_compression, 0},
    {"tackle_cycles", &ServerParam::tackle_cycles, 10},
    {"freeform_wait_period", &ServerParam::freeform_wait_period, 600},
    {"freeform_send_period", &ServerParam::freeform_send_period, 20},
    {"max_goal_kicks", &ServerParam::max_goal_kicks, 3},
    {"clang_del_win", &ServerParam::clang_del_win, 1},
    {"clang_rule_win", &ServerParam::clang_rule_win, 1},
    {"kick_off_wait", &ServerParam::kick_off_wait, 100},
    {"connect_wait", &ServerParam::connect_wait, 300},
    {"game_over_wait", &ServerParam::game_over_wait, 100},
    {"keepaway_start", &ServerParam::keepaway_start, -1},
    {"nr_normal_halfs", &ServerParam::nr_normal_halfs, 2},
    {"nr_extra_halfs", &ServerParam::nr_extra_halfs, 2},
    {"pen_before_setup_wait", &ServerParam::pen_before_setup_wait, 30},
    {"pen_setup_wait", &ServerParam::pen_setup_wait, 100},
    {"pen_ready_wait", &ServerParam::pen_ready_wait, 50},
    {"pen_taken_wait", &ServerParam::pen_taken_wait, 200},
    {"pen_nr_kicks", &ServerParam::pen_nr_kicks, 5},
    {"pen_max_extra_kicks", &ServerParam::pen_max_extra_kicks, 10},
    {"extra_half_time", &ServerParam::extra_half_time, 100},
    {"goal_width", &ServerParam::goal_width, 14.02},
    {"inertia_moment", &ServerParam::inertia_moment, 5.0},
    {"player_size", &ServerParam::player_size, 0.3},
    {"player_decay", &ServerParam::player_decay, 0.4},
    {"player_rand", &ServerParam::player_rand, 0.05},
    {"player_weight", &ServerParam::player_weight, 60.0},
    {"player_speed_max", &ServerParam::player_speed_max, 1.2},
    {"player_accel_max", &ServerParam::player_accel_max, 1.0},
    {"stamina_max", &ServerParam::stamina_max, 4000.0},
    {"stamina_inc_max", &ServerParam::stamina_inc_max, 45.0},
    {"recover_init", &ServerParam::recover_init, 1.0},
    {"recover_dec_thr", &ServerParam::recover_dec_thr, 0.3},
    {"recover_min", &ServerParam::recover_min, 0.5},
    {"recover_dec", &ServerParam::recover_dec, 0.002},
    {"effort_init", &ServerParam::effort_init, 1.0},
    {"effort_dec_thr", &ServerParam::effort_dec_thr, 0.3},
    {"effort_min", &ServerParam::effort_min, 0.6},
    {"effort_dec", &ServerParam::effort_dec, 0.005},
    {"effort_inc_thr", &ServerParam::effort_inc_thr, 0.6},
    {"effort_inc", &ServerParam::effort_inc, 0.01},
    {"kick_rand", &ServerParam::kick_rand, 0.0},
    {"prand_factor_l", &ServerParam::prand_factor_l, 1.0},
    {"prand_factor_r", &ServerParam::prand_factor_r, 1.0},
    {"kick_rand_factor_l", &ServerParam::kick_rand_factor_l, 1.0},
    {"kick_rand_factor_r", &ServerParam::kick_rand_factor_r, 1.0},
    {"ball_size", &ServerParam::ball_size, 0.085},
    {"ball_decay", &ServerParam::ball_decay, 0.94},
    {"ball_rand", &ServerParam::ball_rand, 0.05},
    {"ball_weight", &ServerParam::ball_weight, 0.2},
    {"ball_speed_max", &ServerParam::ball_speed_max, 2.7},
    {"ball_accel_max", &ServerParam::ball_accel_max, 2.7},
    {"dash_power_rate", &ServerParam::dash_power_rate, 0.006},
    {"kick_power_rate", &ServerParam::kick_power_rate, 0.027},
    {"kickable_margin", &ServerParam::kickable_margin, 0.7},
    {"control_radius", &ServerParam::control_radius, 2.0},
    {"control_radius_width", &ServerParam::control_radius_width, 1.7},
    {"maxpower", &ServerParam::maxpower, 100.0},
    {"minpower", &ServerParam::minpower, -100.0},
    {"maxmoment", &ServerParam::maxmoment, 180.0},
    {"minmoment", &ServerParam::minmoment, -180.0},
    {"maxneckmoment", &ServerParam::maxneckmoment, 180.0},
    {"minneckmoment", &ServerParam::minneckmoment, -180.0},
    {"maxneckang", &ServerParam::maxneckang, 90.0},
    {"minneckang", &ServerParam::minneckang, -90.0},
    {"visible_angle", &ServerParam::visible_angle, 90.0},
    {"visible_distance", &ServerParam::visible_distance, 3.0},
    {"wind_dir", &ServerParam::wind_dir, 0.0},
    {"wind_force", &ServerParam::wind_force, 0.0},
    {"wind_ang", &ServerParam::wind_ang, 0.0},
    {"wind_rand", &ServerParam::wind_rand, 0.0},
    {"kickable_area", &ServerParam::kickable_area, 1.085},
    {"catchable_area_l", &ServerParam::catchable_area_l, 2.0},
    {"catchable_area_w", &ServerParam::catchable_area_w, 1.0},
    {"catch_probability", &ServerParam::catch_probability, 1.0},
    {"ckick_margin", &ServerParam::ckick_margin, 1.0},
    {"offside_active_area_size", &ServerParam::offside_active_area_size, 2.5},
    {"offside_kick_margin", &ServerParam::offside_kick_margin, 9.15},
    {"audio_cut_dist", &ServerParam::audio_cut_dist, 50.0},
    {"quantize_step", &ServerParam::quantize_step, 0.1},
    {"quantize_step_l", &ServerParam::quantize_step_l, 0.01},
    {"quantize_step_dir", &ServerParam::quantize_step_dir, 0.1},
    {"quantize_step_dist_team_l", &ServerParam::quantize_step_dist_team_l, 0.1},
    {"quantize_step_dist_team_r", &ServerParam::quantize_step_dist_team_r, 0.1},
    {"quantize_step_dist_l_team_l", &ServerParam::quantize_step_dist_l_team_l, 0.01},
    {"quantize_step_dist_l_team_r", &ServerParam::quantize_step_dist_l_team_r, 0.01},
    {"quantize_step_dir_team_l", &ServerParam::quantize_step_dir_team_l, 0.1},
    {"quantize_step_dir_team_r", &ServerParam::quantize_step_dir_team_r, 0.1},
    {"slowness_on_top_for_left_team", &ServerParam::slowness_on_top_for_left_team, 1.0},
    {"slowness_on_top_for_right_team", &ServerParam::slowness_on_top_for_right_team, 1.0},
    {"tackle_dist", &ServerParam::tackle_dist, 2.0},
    {"tackle_back_dist", &ServerParam::tackle_back_dist, 0.5},
    {"tackle_width", &ServerParam::tackle_width, 1.0},
    {"tackle_exponent", &ServerParam::tackle_exponent, 6.0},
    {"tackle_power_rate", &ServerParam::tackle_power_rate, 0.027},
    {"stopped_ball_vel", &ServerParam::stopped_ball_vel, 0.01},
    {"keepaway_length", &ServerParam::keepaway_length, 20.0},
    {"keepaway_width", &ServerParam::keepaway_width, 20.0},
    {"pen_dist_x", &ServerParam::pen_dist_x, 42.5},
    {"pen_max_goalie_dist_x", &ServerParam::pen_max_goalie_dist_x, 14.0},
    {"stamina_capacity", &ServerParam::stamina_capacity, 130600.0},
    {"side_dash_rate", &ServerParam::side_dash_rate, 0.4},
    {"back_dash_rate", &ServerParam::back_dash_rate, 0.7},
    {"dash_angle_step", &ServerParam::dash_angle_step, 1.0},
    {"wind_none", &ServerParam::wind_none, false, SWITCH},
    {"wind_random", &ServerParam::wind_random, false, SWITCH},
    {"coach", &ServerParam::coach, false, SWITCH},
    {"coach_w_referee", &ServerParam::coach_w_referee, false, SWITCH},
    {"old_coach_hear", &ServerParam::old_coach_hear, false, SWITCH},
    {"team_actuator_noise", &ServerParam::team_actuator_noise, false},
    {"use_offside", &ServerParam::use_offside, true},
    {"forbid_kick_off_offside", &ServerParam::forbid_kick_off_offside, true},
    {"fullstate_l", &ServerParam::fullstate_l, false},
    {"fullstate_r", &ServerParam::fullstate_r, false},
    {"synch_mode", &ServerParam::synch_mode, false},
    {"verbose", &ServerParam::verbose, false},
    {"send_comms", &ServerParam::send_comms, false},
    {"text_logging", &ServerParam::text_logging, true},
    {"game_logging", &ServerParam::game_logging, true},
    {"text_log_fixed", &ServerParam::text_log_fixed, false},
    {"game_log_fixed", &ServerParam::game_log_fixed, false},
    {"text_log_dated", &ServerParam::text_log_dated, true},
    {"game_log_dated", &ServerParam::game_log_dated, true},
    {"log_times", &ServerParam::log_times, false},
    {"record_messages", &ServerParam::record_messages, false},
    {"profile", &ServerParam::profile, false},
    {"free_kick_faults", &ServerParam::free_kick_faults, true},
    {"back_passes", &ServerParam::back_passes, true},
    {"proper_goal_kicks", &ServerParam::proper_goal_kicks, false},
    {"auto_mode", &ServerParam::auto_mode, false},
    {"keepaway", &ServerParam::keepaway, false},
    {"keepaway_logging", &ServerParam::keepaway_logging, true},
    {"keepaway_log_fixed", &ServerParam::keepaway_log_fixed, false},
    {"keepaway_log_dated", &ServerParam::keepaway_log_dated, true},
    {"penalty_shoot_outs", &ServerParam::penalty_shoot_outs, true},
    {"pen_random_winner", &ServerParam::pen_random_winner, false},
    {"pen_allow_mult_kicks", &ServerParam::pen_allow_mult_kicks, true},
    {"pen_coach_moves_players", &ServerParam::pen_coach_moves_players, true},
    {"replay", &ServerParam::replay, ""},
    {"landmark_file", &ServerParam::landmark_file, "~/.rcssserver-landmark.xml"},
    {"text_log_dir", &ServerParam::text_log_dir, "./"},
    {"game_log_dir", &ServerParam::game_log_dir, "./"},
    {"text_log_fixed_name", &ServerParam::text_log_fixed_name, "rcssserver"},
    {"game_log_fixed_name", &ServerParam::game_log_fixed_name, "rcssserver"},
    {"log_date_format", &ServerParam::log_date_format, "%Y%m%d%H%M-"},
    {"team_l_start", &ServerParam::team_l_start, ""},
    {"team_r_start", &ServerParam::team_r_start, ""},
    {"keepaway_log_dir", &ServerParam::keepaway_log_dir, "./"},
    {"keepaway_log_fixed_name", &ServerParam::keepaway_log_fixed_name, "rcssserver"},
    {"module_dir", &ServerParam::module_dir, ""},
};

namespace {

// The values of the positional message, in the order the server writes them.
// clang-format off
const std::vector<const char*> POSITIONAL_ORDER = {
    "goal_width", "inertia_moment", "player_size", "player_decay", "player_rand", "player_weight",
    "player_speed_max", "player_accel_max", "stamina_max", "stamina_inc_max", "recover_init",
    "recover_dec_thr", "recover_min", "recover_dec", "effort_init", "effort_dec_thr", "effort_min",
    "effort_dec", "effort_inc_thr", "effort_inc", "kick_rand", "team_actuator_noise",
    "prand_factor_l", "prand_factor_r", "kick_rand_factor_l", "kick_rand_factor_r", "ball_size",
    "ball_decay", "ball_rand", "ball_weight", "ball_speed_max", "ball_accel_max", "dash_power_rate",
    "kick_power_rate", "kickable_margin", "control_radius", "control_radius_width", "maxpower",
    "minpower", "maxmoment", "minmoment", "maxneckmoment", "minneckmoment", "maxneckang",
    "minneckang", "visible_angle", "visible_distance", "wind_dir", "wind_force", "wind_ang",
    "wind_rand", "kickable_area", "catchable_area_l", "catchable_area_w", "catch_probability",
    "goalie_max_moves", "ckick_margin", "offside_active_area_size", "wind_none", "wind_random",
    "say_coach_cnt_max", "say_coach_msg_size", "clang_win_size", "clang_define_win",
    "clang_meta_win", "clang_advice_win", "clang_info_win", "clang_mess_delay",
    "clang_mess_per_cycle", "half_time", "simulator_step", "send_step", "recv_step",
    "sense_body_step", "lcm_step", "say_msg_size", "hear_max", "hear_inc", "hear_decay",
    "catch_ban_cycle", "slow_down_factor", "use_offside", "forbid_kick_off_offside",
    "offside_kick_margin", "audio_cut_dist", "quantize_step", "quantize_step_l",
    "quantize_step_dir", "quantize_step_dist_team_l", "quantize_step_dist_team_r",
    "quantize_step_dist_l_team_l", "quantize_step_dist_l_team_r", "quantize_step_dir_team_l",
    "quantize_step_dir_team_r", "coach", "coach_w_referee", "old_coach_hear", "send_vi_step",
    "start_goal_l", "start_goal_r", "fullstate_l", "fullstate_r", "drop_ball_time"
};
// clang-format on

// What servers after protocol 9.4 announce beside the parameters above; the
// coach has no use for them and skips them without a report.
// clang-format off
const char* const UNKEPT_NAMES[] = {
    "ball_stuck_area", "dist_noise_rate", "extra_stamina", "fixed_teamname_l", "fixed_teamname_r",
    "focus_dist_noise_rate", "foul_cycles", "foul_detect_probability", "foul_exponent",
    "golden_goal", "illegal_defense_dist_x", "illegal_defense_duration", "illegal_defense_number",
    "illegal_defense_width", "land_dist_noise_rate", "land_focus_dist_noise_rate",
    "max_back_tackle_power", "max_catch_angle", "max_dash_angle", "max_dash_power",
    "max_tackle_power", "min_catch_angle", "min_dash_angle", "min_dash_power",
    "player_speed_max_min", "red_card_probability", "synch_see_offset", "tackle_rand_factor",
};
// clang-format on

}  // namespace

ServerParam& ServerParam::instance() {
  static ServerParam param;
  return param;
}

ServerParam::ServerParam() {
  createMap();
  setDefaultParam();
}

void ServerParam::createMap() {
  defineRows(*this, S_PARAMS, REGISTER);
}

void ServerParam::setDefaultParam() {
  defineRows(*this, S_PARAMS, DEFAULT);
  setAdditionalParam();
}

void ServerParam::setAdditionalParam() {
  const double half_width = catchable_area_w * 0.5;
  catchable_area = std::sqrt(half_width * half_width + catchable_area_l * catchable_area_l);

  default_real_speed_max = dash_power_rate * maxpower * effort_init / (1.0 - player_decay);
  if (default_real_speed_max > player_speed_max) default_real_speed_max = player_speed_max;
}

long ServerParam::halfTimeCycles() const {
  if (half_time <= 0 || simulator_step <= 0) return 0;
  return static_cast<long>(half_time) * 1000 / simulator_step;
}

long ServerParam::fullGameCycles() const {
  if (nr_normal_halfs <= 0) return 0;
  return halfTimeCycles() * nr_normal_halfs;
}

void ServerParam::parse(const char* msg, const double& version) {
  readServerMessage(msg, version, POSITIONAL_ORDER, UNKEPT_NAMES);
  kickable_area = ball_size + kickable_margin + player_size;
  control_radius_width = control_radius - player_size;
  setAdditionalParam();
}

void ServerParam::parseV7(const char* msg) {
  readPositional(msg, POSITIONAL_ORDER);
}
