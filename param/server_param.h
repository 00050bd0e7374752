#ifndef BRENVO_PARAM_SERVER_PARAM_H
#define BRENVO_PARAM_SERVER_PARAM_H

// The simulation server's parameters: field, physics, stamina, timing,
// coach-language windows, offside, tackling, penalties, logging and ports.
// A process-wide singleton holding the defaults until the server's
// "(server_param " message replaces them; never reports failures itself.

#include <string>

#include "param/param_map.h"

class ServerParam : public ParamMap {
 public:
  static constexpr int DEFAULT_MAX_PLAYER = 11;  // players of one side
  // Pitch geometry, in metres.
  static constexpr double DEFAULT_PITCH_LENGTH = 105.0;
  static constexpr double DEFAULT_PITCH_WIDTH = 68.0;
  static constexpr double DEFAULT_PITCH_MARGIN = 5.0;
  static constexpr double DEFAULT_CENTER_CIRCLE_R = 9.15;
  static constexpr double DEFAULT_PENALTY_AREA_LENGTH = 16.5;
  static constexpr double DEFAULT_PENALTY_AREA_WIDTH = 40.32;
  static constexpr double DEFAULT_GOAL_AREA_LENGTH = 5.5;
  static constexpr double DEFAULT_GOAL_AREA_WIDTH = 18.32;
  static constexpr double DEFAULT_GOAL_DEPTH = 2.44;
  static constexpr double DEFAULT_PENALTY_SPOT_DIST = 11.0;
  static constexpr double DEFAULT_CORNER_ARC_R = 1.0;
  static constexpr double DEFAULT_WIND_WEIGHT = 10000.0;

  static ServerParam& instance();

  void createMap() override;
  // Assigns every default, then recomputes the derived members.
  void setDefaultParam() override;
  // Recomputes catchable_area and default_real_speed_max.
  void setAdditionalParam();

  // The cycles of one half: half_time counts seconds (as servers announce
  // it), a cycle simulator_step milliseconds. 0 when either is unknown.
  long halfTimeCycles() const;
  // The cycles of normal time: nr_normal_halfs halves. 0 when unknown.
  long fullGameCycles() const;

  // Reads a "(server_param " message: the named form for version >= 8, the
  // positional form below that. Afterwards kickable_area, control_radius_width
  // and the derived members are recomputed, whatever the message said.
  void parse(const char* msg, const double& version);
  // The positional form: a head word, then 103 values in a fixed order.
  void parseV7(const char* msg);

  // Integer parameters.
  int goalie_max_moves;
  int say_coach_cnt_max;
  int say_coach_msg_size;
  int clang_win_size;
  int clang_define_win;
  int clang_meta_win;
  int clang_advice_win;
  int clang_info_win;
  int clang_mess_delay;
  int clang_mess_per_cycle;
  int half_time;  // length of a half as the server sends it (cycles; seconds in current servers)
  int simulator_step;   // milliseconds per cycle
  int send_step;        // milliseconds
  int recv_step;        // milliseconds
  int sense_body_step;  // milliseconds
  int lcm_step;
  int say_msg_size;
  int hear_max;
  int hear_inc;
  int hear_decay;
  int catch_ban_cycle;
  int slow_down_factor;  // time scale of the server; 1 = real time
  int start_goal_l;
  int start_goal_r;
  int drop_ball_time;  // cycles
  int synch_offset;    // milliseconds
  int synch_micro_sleep;
  int point_to_ban;
  int point_to_duration;
  int port;          // the players' UDP port
  int coach_port;    // the offline coach's UDP port
  int olcoach_port;  // the online coach's UDP port
  int send_vi_step;  // milliseconds
  int game_log_version;
  int text_log_compression;
  int game_log_compression;
  int tackle_cycles;  // cycles
  int freeform_wait_period;
  int freeform_send_period;
  int max_goal_kicks;
  int clang_del_win;
  int clang_rule_win;
  int kick_off_wait;
  int connect_wait;
  int game_over_wait;
  int keepaway_start;
  int nr_normal_halfs;  // halves of regular time
  int nr_extra_halfs;   // halves of extra time
  int pen_before_setup_wait;
  int pen_setup_wait;
  int pen_ready_wait;
  int pen_taken_wait;
  int pen_nr_kicks;
  int pen_max_extra_kicks;
  int extra_half_time;  // length of an extra half in seconds (named form only)

  // Real parameters.
  double goal_width;  // metres
  double inertia_moment;
  double player_size;
  double player_decay;
  double player_rand;
  double player_weight;
  double player_speed_max;  // metres per cycle
  double player_accel_max;
  double stamina_max;
  double stamina_inc_max;
  double recover_init;
  double recover_dec_thr;
  double recover_min;
  double recover_dec;
  double effort_init;
  double effort_dec_thr;
  double effort_min;
  double effort_dec;
  double effort_inc_thr;
  double effort_inc;
  double kick_rand;
  double prand_factor_l;
  double prand_factor_r;
  double kick_rand_factor_l;
  double kick_rand_factor_r;
  double ball_size;
  double ball_decay;
  double ball_rand;
  double ball_weight;
  double ball_speed_max;
  double ball_accel_max;
  double dash_power_rate;
  double kick_power_rate;
  double kickable_margin;
  double control_radius;
  double control_radius_width;
  double maxpower;
  double minpower;
  double maxmoment;
  double minmoment;
  double maxneckmoment;
  double minneckmoment;
  double maxneckang;
  double minneckang;
  double visible_angle;
  double visible_distance;
  double wind_dir;
  double wind_force;
  double wind_ang;
  double wind_rand;
  double kickable_area;
  double catchable_area_l;  // metres
  double catchable_area_w;  // metres
  double catch_probability;
  double ckick_margin;
  double offside_active_area_size;
  double offside_kick_margin;
  double audio_cut_dist;
  double quantize_step;
  double quantize_step_l;
  double quantize_step_dir;
  double quantize_step_dist_team_l;
  double quantize_step_dist_team_r;
  double quantize_step_dist_l_team_l;
  double quantize_step_dist_l_team_r;
  double quantize_step_dir_team_l;
  double quantize_step_dir_team_r;
  double slowness_on_top_for_left_team;
  double slowness_on_top_for_right_team;
  double tackle_dist;
  double tackle_back_dist;
  double tackle_width;
  double tackle_exponent;
  double tackle_power_rate;
  double stopped_ball_vel;
  double keepaway_length;
  double keepaway_width;
  double pen_dist_x;
  double pen_max_goalie_dist_x;
  // Announced only to coaches of protocols above 9.4; a current server's
  // values otherwise.
  double stamina_capacity;  // stamina a player may regain in a half
  double side_dash_rate;    // dash rate at 90 degrees from the body
  double back_dash_rate;    // dash rate straight back
  double dash_angle_step;   // degrees between allowed dash directions

  // Switches.
  bool wind_none;
  bool wind_random;
  bool coach;
  bool coach_w_referee;
  bool old_coach_hear;

  // On/off flags.
  bool team_actuator_noise;
  bool use_offside;
  bool forbid_kick_off_offside;
  bool fullstate_l;
  bool fullstate_r;
  bool synch_mode;
  bool verbose;
  bool send_comms;
  bool text_logging;
  bool game_logging;
  bool text_log_fixed;
  bool game_log_fixed;
  bool text_log_dated;
  bool game_log_dated;
  bool log_times;
  bool record_messages;
  bool profile;
  bool free_kick_faults;
  bool back_passes;
  bool proper_goal_kicks;
  bool auto_mode;
  bool keepaway;
  bool keepaway_logging;
  bool keepaway_log_fixed;
  bool keepaway_log_dated;
  bool penalty_shoot_outs;
  bool pen_random_winner;
  bool pen_allow_mult_kicks;
  bool pen_coach_moves_players;

  // Text parameters.
  std::string replay;
  std::string landmark_file;
  std::string text_log_dir;
  std::string game_log_dir;
  std::string text_log_fixed_name;
  std::string game_log_fixed_name;
  std::string log_date_format;
  std::string team_l_start;
  std::string team_r_start;
  std::string keepaway_log_dir;
  std::string keepaway_log_fixed_name;
  std::string module_dir;
  // Derived, not registered.
  double catchable_area;          // catcher to a far corner of the catchable area, metres
  double default_real_speed_max;  // terminal speed of a default player, metres per cycle

 private:
  ServerParam();

  static const Row<ServerParam> S_PARAMS[];  // every parameter: name, member, default
};

#endif
