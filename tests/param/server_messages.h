#ifndef BRENVO_TESTS_PARAM_SERVER_MESSAGES_H
#define BRENVO_TESTS_PARAM_SERVER_MESSAGES_H

// Parameter messages recorded from a real simulation server (rcssserver
// 19.0.0), once for a coach speaking protocol 9.4 and once for protocol 7.

#include <fstream>
#include <string>
#include <vector>

// The lines of tests/data/start_v19.txt: what it sent before kick-off to a
// coach speaking protocol 19 (parameters at 1 and 2, types from 3 to 20).
// Without the file, the caller's at() throws and fails the test.
inline std::vector<std::string> startV19Messages() {
  std::ifstream in(std::string(BRENVO_SOURCE_DIR) + "/tests/data/start_v19.txt");
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// clang-format off
const char* const V9_SERVER_PARAM =
    R"((server_param (audio_cut_dist 50)(auto_mode 0)(back_passes 1)(ball_accel_max 2.7)(ball_decay 0.94)(ball_rand 0.05)(ball_size 0.085)(ball_speed_max 3)(ball_weight 0.2)(catch_ban_cycle 5)(catch_probability 1)(catchable_area_l 1.2)(catchable_area_w 1)(ckick_margin 1)(clang_advice_win 1)(clang_define_win 1)(clang_del_win 1)(clang_info_win 1)(clang_mess_delay 50)(clang_mess_per_cycle 1)(clang_meta_win 1)(clang_rule_win 1)(clang_win_size 300)(coach 0)(coach_port 16001)(coach_w_referee 1)(connect_wait 50)(control_radius 2)(dash_power_rate 0.006)(drop_ball_time 100)(effort_dec 0.005)(effort_dec_thr 0.3)(effort_inc 0.01)(effort_inc_thr 0.6)(effort_init 1)(effort_min 0.6)(forbid_kick_off_offside 1)(free_kick_faults 1)(freeform_send_period 20)(freeform_wait_period 600)(fullstate_l 0)(fullstate_r 0)(game_log_compression 0)(game_log_dated 1)(game_log_dir "./")(game_log_fixed 0)(game_log_fixed_name "rcssserver")(game_log_version 6)(game_logging 0)(game_over_wait 20)(goal_width 14.02)(goalie_max_moves 2)(half_time 10)(hear_decay 1)(hear_inc 1)(hear_max 1)(inertia_moment 5)(keepaway 0)(keepaway_length 20)(keepaway_log_dated 1)(keepaway_log_dir "./")(keepaway_log_fixed 0)(keepaway_log_fixed_name "rcssserver")(keepaway_logging 0)(keepaway_start -1)(keepaway_width 20)(kick_off_wait 50)(kick_power_rate 0.027)(kick_rand 0.1)(kick_rand_factor_l 1)(kick_rand_factor_r 1)(kickable_margin 0.7)(landmark_file "~/.rcssserver-landmark.xml")(log_date_format "%Y%m%d%H%M%S-")(log_times 0)(max_goal_kicks 3)(maxmoment 180)(maxneckang 90)(maxneckmoment 180)(maxpower 100)(minmoment -180)(minneckang -90)(minneckmoment -180)(minpower -100)(nr_extra_halfs 0)(nr_normal_halfs 2)(offside_active_area_size 2.5)(offside_kick_margin 9.15)(olcoach_port 16102)(old_coach_hear 0)(pen_allow_mult_kicks 1)(pen_before_setup_wait 10)(pen_coach_moves_players 1)(pen_dist_x 42.5)(pen_max_extra_kicks 5)(pen_max_goalie_dist_x 14)(pen_nr_kicks 5)(pen_random_winner 0)(pen_ready_wait 10)(pen_setup_wait 70)(pen_taken_wait 150)(penalty_shoot_outs 0)(player_accel_max 1)(player_decay 0.4)(player_rand 0.1)(player_size 0.3)(player_speed_max 1.05)(player_weight 60)(point_to_ban 5)(point_to_duration 20)(port 16000)(prand_factor_l 1)(prand_factor_r 1)(profile 0)(proper_goal_kicks 0)(quantize_step 0.1)(quantize_step_l 0.01)(record_messages 0)(recover_dec 0.002)(recover_dec_thr 0.3)(recover_init 1)(recover_min 0.5)(recv_step 10)(say_coach_cnt_max 128)(say_coach_msg_size 128)(say_msg_size 10)(send_comms 0)(send_step 150)(send_vi_step 100)(sense_body_step 100)(simulator_step 100)(slow_down_factor 1)(slowness_on_top_for_left_team 1)(slowness_on_top_for_right_team 1)(stamina_inc_max 45)(stamina_max 8000)(start_goal_l 0)(start_goal_r 0)(stopped_ball_vel 0.01)(synch_micro_sleep 1)(synch_mode 0)(synch_offset 60)(tackle_back_dist 0)(tackle_cycles 10)(tackle_dist 2)(tackle_exponent 6)(tackle_power_rate 0.027)(tackle_width 1.25)(team_actuator_noise 0)(team_l_start "")(team_r_start "")(text_log_compression 0)(text_log_dated 1)(text_log_dir "./")(text_log_fixed 0)(text_log_fixed_name "rcssserver")(text_logging 0)(use_offside 1)(verbose 0)(visible_angle 90)(visible_distance 3)(wind_ang 0)(wind_dir 0)(wind_force 0)(wind_none 0)(wind_rand 0)(wind_random 0)))";
// clang-format on

// clang-format off
const char* const V9_PLAYER_PARAM =
    R"((player_param (dash_power_rate_delta_max 0)(dash_power_rate_delta_min 0)(effort_max_delta_factor -0.004)(effort_min_delta_factor -0.004)(extra_stamina_delta_max 50)(extra_stamina_delta_min 0)(inertia_moment_delta_factor 25)(kick_rand_delta_factor 1)(kickable_margin_delta_max 0.1)(kickable_margin_delta_min -0.1)(new_dash_power_rate_delta_max 0.0008)(new_dash_power_rate_delta_min -0.0012)(new_stamina_inc_max_delta_factor -6000)(player_decay_delta_max 0.1)(player_decay_delta_min -0.1)(player_size_delta_factor -100)(player_speed_max_delta_max 0)(player_speed_max_delta_min 0)(player_types 18)(pt_max 1)(random_seed 7)(stamina_inc_max_delta_factor 0)(subs_max 3)))";
// clang-format on

// clang-format off
const char* const V7_SERVER_PARAM =
    R"((server_param 14.02 5 0.3 0.4 0.1 60 1.05 1 8000 45 1 0.3 0.5 0.002 1 0.3 0.6 0.005 0.6 0.01 0.1 0 1 1 1 1 0.085 0.94 0.05 0.2 3 2.7 0.006 0.027 0.7 2 1.7 100 -100 180 -180 180 -180 90 -90 90 3 0 0 0 0 1.085 1.2 1 1 2 1 2.5 0 0 128 128 300 1 1 1 1 50 1 50 100 150 10 100 300 10 1 1 1 5 1 1 1 9.15 50 0.1 0.01 -1 -1 -1 -1 -1 -1 -1 0 1 0 100 0 0 0 0 100))";
// clang-format on

// clang-format off
const char* const V7_PLAYER_PARAM =
    R"((player_param 18 3 1 0 0 0 -0.1 0.1 25 0 0 -100 -0.1 0.1 1 0 50 -0.004 -0.004))";
// clang-format on

#endif
