#include "param/server_param.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <set>
#include <sstream>

#include "tests/param/server_messages.h"
#include "tests/stream_capture.h"

namespace {

// The values of the positional message, in the server's order.
// clang-format off
const char* const kPositional[] = {
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

// The current value of a registered parameter as text, whatever its map.
std::string valueOf(const ParamMap& params, const std::string& name) {
  std::ostringstream os;
  if (params.intMap().count(name)) os << *params.intMap().at(name);
  if (params.doubleMap().count(name)) os << *params.doubleMap().at(name);
  if (params.boolMap().count(name)) os << *params.boolMap().at(name);
  if (params.onoffMap().count(name)) os << *params.onoffMap().at(name);
  if (params.stringMap().count(name)) os << *params.stringMap().at(name);
  return os.str();
}

// A positional message whose value at position i (from 1) is i, written as
// the type of the parameter there: i + 0.25 for reals, i % 2 for flags.
std::string positionalMessage(int bad_position) {
  const ServerParam& param = ServerParam::instance();
  std::ostringstream os;
  os << "(server_param";
  int i = 0;
  for (const char* name : kPositional) {
    ++i;
    os << ' ';
    if (i == bad_position) {
      os << "on";
    } else if (param.doubleMap().count(name)) {
      os << i + 0.25;
    } else if (param.intMap().count(name)) {
      os << i;
    } else {
      os << i % 2;
    }
  }
  os << ')';
  return os.str();
}

class ServerParamTest : public testing::Test {
 protected:
  void TearDown() override { ServerParam::instance().setDefaultParam(); }
  std::string parse(const char* msg, double version) {
    StreamCapture err(std::cerr);
    ServerParam::instance().parse(msg, version);
    return err.str();
  }
};

TEST_F(ServerParamTest, EveryParameterHasItsOwnMember) {
  const ServerParam& param = ServerParam::instance();
  EXPECT_EQ(54u, param.intMap().size());
  EXPECT_EQ(79u, param.doubleMap().size());
  EXPECT_EQ(5u, param.boolMap().size());
  EXPECT_EQ(29u, param.onoffMap().size());
  EXPECT_EQ(12u, param.stringMap().size());

  std::set<const void*> members;
  std::set<std::string> names;
  auto collect = [&](const auto& map) {
    for (const auto& entry : map) {
      members.insert(entry.second);
      names.insert(entry.first);
      const char* p = reinterpret_cast<const char*>(entry.second);
      EXPECT_TRUE(p >= reinterpret_cast<const char*>(&param) &&
                  p < reinterpret_cast<const char*>(&param + 1))
          << entry.first;
    }
  };
  collect(param.intMap());
  collect(param.doubleMap());
  collect(param.boolMap());
  collect(param.onoffMap());
  collect(param.stringMap());
  EXPECT_EQ(179u, members.size());
  EXPECT_EQ(179u, names.size());
  EXPECT_EQ(&param.olcoach_port, param.intMap().at("olcoach_port"));
  EXPECT_EQ(&param.pen_max_goalie_dist_x, param.doubleMap().at("pen_max_goalie_dist_x"));
}

TEST_F(ServerParamTest, DefaultsAndDerivedValues) {
  const ServerParam& param = ServerParam::instance();
  EXPECT_EQ(6002, param.olcoach_port);
  EXPECT_EQ("%Y%m%d%H%M-", param.log_date_format);
  EXPECT_NEAR(2.0616, param.catchable_area, 1e-4);
  EXPECT_DOUBLE_EQ(1.0, param.default_real_speed_max);
}

TEST_F(ServerParamTest, RealNamedMessageParsesSilently) {
  EXPECT_EQ("", parse(kV9ServerParam, 9.4));
  const ServerParam& param = ServerParam::instance();
  EXPECT_EQ(10, param.half_time);
  EXPECT_EQ(16001, param.coach_port);
  EXPECT_EQ(0, param.nr_extra_halfs);
  EXPECT_DOUBLE_EQ(8000.0, param.stamina_max);
  EXPECT_DOUBLE_EQ(1.05, param.player_speed_max);
  EXPECT_DOUBLE_EQ(1.25, param.tackle_width);
  EXPECT_TRUE(param.coach_w_referee);
  EXPECT_FALSE(param.game_logging);
  EXPECT_EQ("%Y%m%d%H%M%S-", param.log_date_format);
  EXPECT_EQ("", param.team_l_start);
  EXPECT_NEAR(std::sqrt(0.25 + 1.44), param.catchable_area, 1e-12);
  EXPECT_DOUBLE_EQ(1.0, param.default_real_speed_max);
}

TEST_F(ServerParamTest, RealPositionalMessageAgreesWithTheNamedOne) {
  parse(kV9ServerParam, 9.4);
  std::map<std::string, std::string> named;
  for (const char* name : kPositional) named[name] = valueOf(ServerParam::instance(), name);
  ServerParam::instance().setDefaultParam();

  EXPECT_EQ("", parse(kV7ServerParam, 7.0));
  const std::string text = kV9ServerParam;
  for (const char* name : kPositional) {
    if (text.find(std::string("(") + name + " ") == std::string::npos) continue;
    // The server writes half_time in seconds in the named form only.
    if (std::string(name) == "half_time") continue;
    EXPECT_EQ(named[name], valueOf(ServerParam::instance(), name)) << name;
  }
  EXPECT_DOUBLE_EQ(-1.0, ServerParam::instance().quantize_step_dir);
  EXPECT_EQ(100, ServerParam::instance().drop_ball_time);
  EXPECT_EQ(50, ServerParam::instance().half_time);
}

TEST_F(ServerParamTest, PositionalValuesLandInServerOrder) {
  ServerParam& param = ServerParam::instance();
  param.parseV7(positionalMessage(0).c_str());
  int i = 0;
  for (const char* name : kPositional) {
    std::ostringstream expected;
    ++i;
    if (param.doubleMap().count(name)) {
      expected << i + 0.25;
    } else if (param.intMap().count(name)) {
      expected << i;
    } else {
      expected << i % 2;
    }
    EXPECT_EQ(expected.str(), valueOf(param, name)) << name;
  }
  EXPECT_EQ("rcssserver", param.text_log_fixed_name);
  EXPECT_EQ(60, param.synch_offset);
}

TEST_F(ServerParamTest, BadPositionalValueStopsTheRestSilently) {
  ServerParam& param = ServerParam::instance();
  std::map<std::string, std::string> defaults;
  for (const char* name : kPositional) defaults[name] = valueOf(param, name);
  param.parseV7(positionalMessage(22).c_str());
  EXPECT_DOUBLE_EQ(21.25, param.kick_rand);
  for (int i = 21; i < 103; ++i) {
    EXPECT_EQ(defaults[kPositional[i]], valueOf(param, kPositional[i])) << kPositional[i];
  }
}

TEST_F(ServerParamTest, VersionChoosesTheForm) {
  const struct {
    double version;
    int half_time;
  } cases[] = {{9.4, 60}, {8.0, 60}, {7.99, 300}, {7.0, 300}};
  for (const auto& c : cases) {
    parse("(server_param (half_time 60))", c.version);
    EXPECT_EQ(c.half_time, ServerParam::instance().half_time) << c.version;
    ServerParam::instance().setDefaultParam();
  }
}

TEST_F(ServerParamTest, ParseRecomputesDerivedValues) {
  ServerParam& param = ServerParam::instance();
  parse("(server_param (kickable_area 5)(control_radius 3)(catchable_area_l 2.5))", 9.4);
  EXPECT_DOUBLE_EQ(1.085, param.kickable_area);
  EXPECT_DOUBLE_EQ(2.7, param.control_radius_width);
  EXPECT_DOUBLE_EQ(std::sqrt(6.5), param.catchable_area);

  parse("(server_param (dash_power_rate 0.01))", 9.4);
  EXPECT_DOUBLE_EQ(1.2, param.default_real_speed_max);  // 1.667 capped at player_speed_max
  parse("(server_param (dash_power_rate 0.003)(player_speed_max 2))", 9.4);
  EXPECT_DOUBLE_EQ(0.5, param.default_real_speed_max);
}

}  // namespace
