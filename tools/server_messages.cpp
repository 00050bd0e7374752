#include "tools/server_messages.h"

#include <cstdlib>
#include <sstream>

namespace practice {

namespace {

// The server parameters with their default values (switches as 0 or 1), in
// the named form.
const char SERVER_PARAMS[] =
    "(goalie_max_moves 2)(say_coach_cnt_max 128)(say_coach_msg_size 128)(clang_win_size 300)"
    "(clang_define_win 1)(clang_meta_win 1)(clang_advice_win 1)(clang_info_win 1)"
    "(clang_mess_delay 50)(clang_mess_per_cycle 1)(half_time 300)(simulator_step 100)"
    "(send_step 150)(recv_step 10)(sense_body_step 100)(lcm_step 300)(say_msg_size 10)"
    "(hear_max 1)(hear_inc 1)(hear_decay 1)(catch_ban_cycle 5)(slow_down_factor 1)"
    "(start_goal_l 0)(start_goal_r 0)(drop_ball_time 200)(synch_offset 60)(synch_micro_sleep 1)"
    "(point_to_ban 5)(point_to_duration 20)(port 6000)(coach_port 6001)(olcoach_port 6002)"
    "(send_vi_step 100)(game_log_version 3)(text_log_compression 0)(game_log_compression 0)"
    "(tackle_cycles 10)(freeform_wait_period 600)(freeform_send_period 20)(max_goal_kicks 3)"
    "(clang_del_win 1)(clang_rule_win 1)(kick_off_wait 100)(connect_wait 300)(game_over_wait 100)"
    "(keepaway_start -1)(nr_normal_halfs 2)(nr_extra_halfs 2)(pen_before_setup_wait 30)"
    "(pen_setup_wait 100)(pen_ready_wait 50)(pen_taken_wait 200)(pen_nr_kicks 5)"
    "(pen_max_extra_kicks 10)(goal_width 14.02)(inertia_moment 5)(player_size 0.3)"
    "(player_decay 0.4)(player_rand 0.05)(player_weight 60)(player_speed_max 1.2)"
    "(player_accel_max 1)(stamina_max 4000)(stamina_inc_max 45)(recover_init 1)"
    "(recover_dec_thr 0.3)(recover_min 0.5)(recover_dec 0.002)(effort_init 1)(effort_dec_thr 0.3)"
    "(effort_min 0.6)(effort_dec 0.005)(effort_inc_thr 0.6)(effort_inc 0.01)(kick_rand 0)"
    "(prand_factor_l 1)(prand_factor_r 1)(kick_rand_factor_l 1)(kick_rand_factor_r 1)"
    "(ball_size 0.085)(ball_decay 0.94)(ball_rand 0.05)(ball_weight 0.2)(ball_speed_max 2.7)"
    "(ball_accel_max 2.7)(dash_power_rate 0.006)(kick_power_rate 0.027)(kickable_margin 0.7)"
    "(control_radius 2)(control_radius_width 1.7)(maxpower 100)(minpower -100)(maxmoment 180)"
    "(minmoment -180)(maxneckmoment 180)(minneckmoment -180)(maxneckang 90)(minneckang -90)"
    "(visible_angle 90)(visible_distance 3)(wind_dir 0)(wind_force 0)(wind_ang 0)(wind_rand 0)"
    "(kickable_area 1.085)(catchable_area_l 2)(catchable_area_w 1)(catch_probability 1)"
    "(ckick_margin 1)(offside_active_area_size 2.5)(offside_kick_margin 9.15)(audio_cut_dist 50)"
    "(quantize_step 0.1)(quantize_step_l 0.01)(quantize_step_dir 0.1)"
    "(quantize_step_dist_team_l 0.1)(quantize_step_dist_team_r 0.1)"
    "(quantize_step_dist_l_team_l 0.01)(quantize_step_dist_l_team_r 0.01)"
    "(quantize_step_dir_team_l 0.1)(quantize_step_dir_team_r 0.1)"
    "(slowness_on_top_for_left_team 1)(slowness_on_top_for_right_team 1)(tackle_dist 2)"
    "(tackle_back_dist 0.5)(tackle_width 1)(tackle_exponent 6)(tackle_power_rate 0.027)"
    "(stopped_ball_vel 0.01)(keepaway_length 20)(keepaway_width 20)(pen_dist_x 42.5)"
    "(pen_max_goalie_dist_x 14)(wind_none 0)(wind_random 0)(coach 0)(coach_w_referee 0)"
    "(old_coach_hear 0)(team_actuator_noise 0)(use_offside 1)(forbid_kick_off_offside 1)"
    "(fullstate_l 0)(fullstate_r 0)(synch_mode 0)(verbose 0)(send_comms 0)(text_logging 1)"
    "(game_logging 1)(text_log_fixed 0)(game_log_fixed 0)(text_log_dated 1)(game_log_dated 1)"
    "(log_times 0)(record_messages 0)(profile 0)(free_kick_faults 1)(back_passes 1)"
    "(proper_goal_kicks 0)(auto_mode 0)(keepaway 0)(keepaway_logging 1)(keepaway_log_fixed 0)"
    "(keepaway_log_dated 1)(penalty_shoot_outs 1)(pen_random_winner 0)(pen_allow_mult_kicks 1)"
    "(pen_coach_moves_players 1)(replay \"\")(landmark_file \"~/.rcssserver-landmark.xml\")"
    "(text_log_dir \"./\")(game_log_dir \"./\")(text_log_fixed_name \"rcssserver\")"
    "(game_log_fixed_name \"rcssserver\")(log_date_format \"%Y%m%d%H%M-\")(team_l_start \"\")"
    "(team_r_start \"\")(keepaway_log_dir \"./\")(keepaway_log_fixed_name \"rcssserver\")"
    "(module_dir \"\")";

// The heterogeneous player parameters with their default values.
const char PLAYER_PARAMS[] =
    "(player_types 7)(subs_max 3)(pt_max 3)(player_speed_max_delta_min 0)"
    "(player_speed_max_delta_max 0)(stamina_inc_max_delta_factor 0)(player_decay_delta_min 0)"
    "(player_decay_delta_max 0.2)(inertia_moment_delta_factor 25)(dash_power_rate_delta_min 0)"
    "(dash_power_rate_delta_max 0)(player_size_delta_factor -100)(kickable_margin_delta_min 0)"
    "(kickable_margin_delta_max 0.2)(kick_rand_delta_factor 0.5)(extra_stamina_delta_min 0)"
    "(extra_stamina_delta_max 100)(effort_max_delta_factor -0.002)"
    "(effort_min_delta_factor -0.002)(new_dash_power_rate_delta_min 0)"
    "(new_dash_power_rate_delta_max 0.002)(new_stamina_inc_max_delta_factor -10000)"
    "(random_seed -1)";

// Every message a real version-19 server sent to a coach that declared
// version 19 before kick-off, one a line: tests/data/start_v19.txt, made into
// a string literal by the build.
const char START_V19[] =
#include "tools/start_v19_messages.inc"
    ;

// The pairs "(name value)" of a table, by name.
std::map<std::string, std::string> pairsOf(const std::string& table) {
  std::map<std::string, std::string> pairs;
  for (size_t open = table.find('('); open != std::string::npos; open = table.find('(', open + 1)) {
    const size_t space = table.find(' ', open);
    pairs[table.substr(open + 1, space - open - 1)] =
        table.substr(space + 1, table.find(')', space) - space - 1);
  }
  return pairs;
}

std::string namedForm(const char* head, const char* defaults,
                      const std::map<std::string, std::string>& overrides) {
  std::map<std::string, std::string> values = pairsOf(defaults);
  for (const auto& entry : overrides) values[entry.first] = entry.second;
  std::string text = std::string("(") + head + " ";
  for (const auto& entry : values) text += "(" + entry.first + " " + entry.second + ")";
  return text + ")";
}

std::string playerObject(const std::string& team, const PlayerView& p) {
  std::string text = "((p \"" + team + "\" " + std::to_string(p.unum) +
                     (p.goalie ? " goalie" : "") + ") " + serverNumber(p.x) + " " +
                     serverNumber(p.y) + " " + serverNumber(p.vx) + " " + serverNumber(p.vy) + " " +
                     serverNumber(p.body) + " " + serverNumber(p.neck);
  if (p.pointing) text += " " + serverNumber(p.pointto);
  if (p.tackle) text += " t";
  return text + ")";
}

}  // namespace

std::string serverNumber(double value) {
  std::ostringstream os;
  os << (value == 0 ? 0.0 : value);  // never "-0"
  return os.str();
}

std::string withParam(const std::string& message, const std::string& name,
                      const std::string& value) {
  std::string text = message;
  const std::string head = "(" + name + " ";
  const size_t at = text.find(head);
  if (at == std::string::npos) return text.insert(text.size() - 1, head + value + ")");
  const size_t from = at + head.size();
  return text.replace(from, text.find(')', from) - from, value);
}

double paramValue(const std::string& message, const std::string& name, double fallback) {
  const std::string head = "(" + name + " ";
  const size_t at = message.find(head);
  return at == std::string::npos ? fallback : strtod(message.c_str() + at + head.size(), nullptr);
}

PlayerTypeValues readPlayerType(const std::string& m) {
  PlayerTypeValues t;
  t.id = static_cast<int>(paramValue(m, "id", 0));
  t.player_speed_max = paramValue(m, "player_speed_max", 0);
  t.stamina_inc_max = paramValue(m, "stamina_inc_max", 0);
  t.player_decay = paramValue(m, "player_decay", 0);
  t.inertia_moment = paramValue(m, "inertia_moment", 0);
  t.dash_power_rate = paramValue(m, "dash_power_rate", 0);
  t.player_size = paramValue(m, "player_size", 0);
  t.kickable_margin = paramValue(m, "kickable_margin", 0);
  t.kick_rand = paramValue(m, "kick_rand", 0);
  t.extra_stamina = paramValue(m, "extra_stamina", 0);
  t.effort_max = paramValue(m, "effort_max", 0);
  t.effort_min = paramValue(m, "effort_min", 0);
  return t;
}

int playerParamDefault(const std::string& name) {
  const std::map<std::string, std::string> values = pairsOf(PLAYER_PARAMS);
  const auto value = values.find(name);
  return value == values.end() ? 0 : atoi(value->second.c_str());
}

std::string seeGlobal(int cycle, const std::string& our_team, const std::string& their_team) {
  return seeGlobal(cycle, kickOffView(our_team, their_team));
}

std::string seeGlobal(int cycle, const FieldView& view) {
  std::string text = "(see_global " + std::to_string(cycle) +
                     " ((g r) 52.5 0) ((g l) -52.5 0) ((b) " + serverNumber(view.ball_x) + " " +
                     serverNumber(view.ball_y) + " " + serverNumber(view.ball_vx) + " " +
                     serverNumber(view.ball_vy) + ")";
  for (const PlayerView& p : view.left) text += " " + playerObject(view.left_team, p);
  for (const PlayerView& p : view.right) text += " " + playerObject(view.right_team, p);
  return text + ")";
}

FieldView kickOffView(const std::string& left_team, const std::string& right_team) {
  // A 4-3-3 at kick-off: 2, 3 and 6 in the centre of the defence, 4 and 5 on
  // the wings, 7 and 8 in midfield, 9, 10 and 11 up front.
  static const double FORMATION[11][2] = {{-50, 0},  {-36, -7},   {-36, 7},   {-33, -22},
                                          {-33, 22}, {-26, 0},    {-16, -14}, {-16, 14},
                                          {-3, -20}, {-0.5, 0.3}, {-3, 20}};
  FieldView view;
  view.left_team = left_team;
  view.right_team = right_team;
  for (int i = 0; i < 11; ++i) {
    PlayerView p;
    p.unum = i + 1;
    p.goalie = i == 0;
    p.x = FORMATION[i][0];
    p.y = FORMATION[i][1];
    view.left.push_back(p);
    p.x = -p.x;
    p.y = -p.y;
    p.body = 180;
    view.right.push_back(p);
  }
  return view;
}

std::string playerType(const PlayerTypeValues& t) {
  return "(player_type (id " + std::to_string(t.id) + ")(player_speed_max " +
         serverNumber(t.player_speed_max) + ")(stamina_inc_max " + serverNumber(t.stamina_inc_max) +
         ")(player_decay " + serverNumber(t.player_decay) + ")(inertia_moment " +
         serverNumber(t.inertia_moment) + ")(dash_power_rate " + serverNumber(t.dash_power_rate) +
         ")(player_size " + serverNumber(t.player_size) + ")(kickable_margin " +
         serverNumber(t.kickable_margin) + ")(kick_rand " + serverNumber(t.kick_rand) +
         ")(extra_stamina " + serverNumber(t.extra_stamina) + ")(effort_max " +
         serverNumber(t.effort_max) + ")(effort_min " + serverNumber(t.effort_min) + "))";
}

// The values in the order of PlayerTypeValues: id, player_speed_max,
// stamina_inc_max, player_decay, inertia_moment, dash_power_rate,
// player_size, kickable_margin, kick_rand, extra_stamina, effort_max and
// effort_min.
PlayerTypeValues defaultPlayerType() {
  return {0, 1.2, 45, 0.4, 5, 0.006, 0.3, 0.7, 0, 0, 1, 0.6};
}

std::vector<PlayerTypeValues> demoPlayerTypes() {
  // Each type is the default player moved by deltas within the default
  // player parameters: decay d (inertia + 25 d), dash power rate p (stamina
  // increase - 10000 p), kickable margin k (kick_rand + 0.5 k) and extra
  // stamina e (both efforts - 0.002 e).
  return {
      defaultPlayerType(),
      {1, 1.2, 34, 0.45, 6.25, 0.0071, 0.3, 0.8, 0.05, 40, 0.92, 0.52},   // real speed 1.188
      {2, 1.2, 39, 0.52, 8, 0.0066, 0.3, 0.76, 0.03, 30, 0.94, 0.54},     // 1.2
      {3, 1.2, 29, 0.42, 5.5, 0.0076, 0.3, 0.85, 0.075, 80, 0.84, 0.44},  // recovers too slowly
      {4, 1.2, 42, 0.56, 9, 0.0063, 0.3, 0.73, 0.015, 20, 0.96, 0.56},    // 1.2
      {5, 1.2, 31, 0.48, 7, 0.0074, 0.3, 0.82, 0.06, 45, 0.91, 0.51},     // 1.2
      {6, 1.2, 30, 0.4, 5, 0.0075, 0.3, 0.88, 0.09, 100, 0.8, 0.4},       // reaches only 1.0
  };
}

std::vector<PlayerTypeValues> currentServerPlayerTypes() {
  // clang-format off
  return {
      {0, 1.05, 45, 0.4, 5, 0.006, 0.3, 0.7, 0.1, 50, 1, 0.6},
      {1, 1.05, 48.3723, 0.345468, 3.6367, 0.00543794, 0.3, 0.795645, 0.195645, 72.7792, 0.908883, 0.508883},
      {2, 1.05, 51.1591, 0.352774, 3.81935, 0.00497349, 0.3, 0.683874, 0.0838744, 50.7955, 0.996818, 0.596818},
      {3, 1.05, 48.2299, 0.47376, 6.84401, 0.00546168, 0.3, 0.678588, 0.0785885, 83.7165, 0.865134, 0.465134},
      {4, 1.05, 48.0483, 0.438806, 5.97016, 0.00549195, 0.3, 0.785906, 0.185906, 63.1292, 0.947483, 0.547483},
      {5, 1.05, 41.9845, 0.350979, 3.77447, 0.00650259, 0.3, 0.634811, 0.0348106, 89.5382, 0.841847, 0.441847},
      {6, 1.05, 47.5842, 0.389765, 4.74413, 0.0055693, 0.3, 0.671495, 0.071495, 59.6678, 0.961329, 0.561329},
      {7, 1.05, 44.8356, 0.396527, 4.91318, 0.00602741, 0.3, 0.79025, 0.19025, 67.4378, 0.930249, 0.530249},
      {8, 1.05, 40.3653, 0.383751, 4.59379, 0.00677245, 0.3, 0.758714, 0.158714, 67.1653, 0.931339, 0.531339},
      {9, 1.05, 44.7209, 0.400791, 5.01978, 0.00604651, 0.3, 0.731394, 0.131394, 62.9568, 0.948173, 0.548173},
      {10, 1.05, 46.926, 0.433452, 5.8363, 0.005679, 0.3, 0.756347, 0.156347, 84.2314, 0.863074, 0.463074},
      {11, 1.05, 40.7521, 0.397885, 4.94711, 0.00670798, 0.3, 0.630748, 0.0307478, 82.4559, 0.870176, 0.470176},
      {12, 1.05, 50.4765, 0.473706, 6.84266, 0.00508726, 0.3, 0.689581, 0.0895809, 82.9617, 0.868153, 0.468153},
      {13, 1.05, 44.0106, 0.380478, 4.51194, 0.0061649, 0.3, 0.700385, 0.100385, 69.8589, 0.920564, 0.520564},
      {14, 1.05, 49.1045, 0.490267, 7.25668, 0.00531591, 0.3, 0.703976, 0.103976, 93.4052, 0.826379, 0.426379},
      {15, 1.05, 42.612, 0.322001, 3.05003, 0.006398, 0.3, 0.699584, 0.0995838, 59.8588, 0.960565, 0.560565},
      {16, 1.05, 49.3567, 0.353635, 3.84087, 0.00527388, 0.3, 0.674519, 0.0745186, 69.2952, 0.922819, 0.522819},
      {17, 1.05, 46.5233, 0.399203, 4.98009, 0.00574611, 0.3, 0.694847, 0.0948469, 97.1789, 0.811285, 0.411285},
  };
  // clang-format on
}

std::vector<std::string> version19Start(
    const std::map<std::string, std::string>& server_overrides) {
  std::vector<std::string> messages;
  std::istringstream lines(START_V19);
  for (std::string line; std::getline(lines, line);) {
    if (line.compare(0, 14, "(server_param ") == 0) {
      for (const auto& entry : server_overrides) line = withParam(line, entry.first, entry.second);
      messages.push_back(line);
    } else if (line.compare(0, 14, "(player_param ") == 0 ||
               line.compare(0, 13, "(player_type ") == 0) {
      messages.push_back(line);
    }
  }
  return messages;
}

std::string serverParam(const std::map<std::string, std::string>& overrides) {
  return namedForm("server_param", SERVER_PARAMS, overrides);
}

std::string playerParam(const std::map<std::string, std::string>& overrides) {
  return namedForm("player_param", PLAYER_PARAMS, overrides);
}

}  // namespace practice
