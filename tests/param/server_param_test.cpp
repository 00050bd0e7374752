#include "param/server_param.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/param/server_messages.h"
#include "tests/stream_capture.h"

namespace {

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

// Every registered parameter of the server and its value as text.
std::map<std::string, std::string> snapshot() {
  const ServerParam& param = ServerParam::instance();
  std::map<std::string, std::string> values;
  for (const auto& entry : param.intMap()) values[entry.first] = valueOf(param, entry.first);
  for (const auto& entry : param.doubleMap()) values[entry.first] = valueOf(param, entry.first);
  for (const auto& entry : param.boolMap()) values[entry.first] = valueOf(param, entry.first);
  for (const auto& entry : param.onoffMap()) values[entry.first] = valueOf(param, entry.first);
  for (const auto& entry : param.stringMap()) values[entry.first] = valueOf(param, entry.first);
  return values;
}

// The values of the real server's positional message, in its order.
std::vector<std::string> realPositionalValues() {
  std::istringstream is(std::string(V7_SERVER_PARAM).substr(std::strlen("(server_param ")));
  std::vector<std::string> values;
  for (std::string value; is >> value;) values.push_back(value.substr(0, value.find(')')));
  return values;
}

std::string positional(const std::vector<std::string>& values) {
  std::string message = "(server_param";
  for (const std::string& value : values) message += " " + value;
  return message + ")";
}

// Another value of the same kind: a flag flipped, a number moved.
std::string changed(const std::string& value) {
  if (value == "0" || value == "1") return value == "0" ? "1" : "0";
  std::ostringstream os;
  if (value.find_first_of(".e") == std::string::npos) {
    os << std::stol(value) + 1;
  } else {
    os << std::stod(value) * 2;
  }
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
  EXPECT_EQ(55u, param.intMap().size());
  EXPECT_EQ(83u, param.doubleMap().size());
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
  EXPECT_EQ(184u, members.size());
  EXPECT_EQ(184u, names.size());
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
  EXPECT_EQ("", parse(V9_SERVER_PARAM, 9.4));
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

// Above 9.4 the names a current server adds pass quietly; others still show.
TEST_F(ServerParamTest, VersionNineteenMessageReadsQuietly) {
  const std::string message = startV19Messages().at(1);
  EXPECT_EQ("", parse(message.c_str(), 19));
  EXPECT_DOUBLE_EQ(3.0, ServerParam::instance().ball_speed_max);
  EXPECT_EQ(
      "soccer_param_parser_v8: unknown option   foo\n"
      "  param info: Unrecognized parameter: foo\n",
      parse("(server_param (foo 1)(back_dash_rate 0.7))", 19));
  // The stamina rules' newer parameters are kept, not skipped.
  EXPECT_EQ("", parse("(server_param (stamina_capacity 900)(extra_half_time 7)(side_dash_rate 0.25)"
                      "(back_dash_rate 0.5)(dash_angle_step 15))",
                      19));
  const ServerParam& param = ServerParam::instance();
  EXPECT_EQ(7, param.extra_half_time);
  EXPECT_DOUBLE_EQ(900, param.stamina_capacity);
  EXPECT_DOUBLE_EQ(0.25, param.side_dash_rate);
  EXPECT_DOUBLE_EQ(0.5, param.back_dash_rate);
  EXPECT_DOUBLE_EQ(15, param.dash_angle_step);
  EXPECT_EQ(0u, parse(message.c_str(), 9.4)
                    .find("soccer_param_parser_v8: unknown option   ball_stuck_area\n"));
}

// Each value of a real server's positional message, moved on its own, shows
// in exactly one parameter, and the named message of the same server gives
// that parameter the positional value. Two positions carry values the coach
// derives itself (control_radius_width and kickable_area), so a value moved
// there shows nowhere.
TEST_F(ServerParamTest, EachPositionLandsInTheParameterTheNamedFormGivesItsValue) {
  const std::vector<std::string> values = realPositionalValues();
  ASSERT_EQ(103u, values.size());
  EXPECT_EQ("", parse(V9_SERVER_PARAM, 9.4));
  const std::map<std::string, std::string> named = snapshot();
  ServerParam::instance().setDefaultParam();
  EXPECT_EQ("", parse(positional(values).c_str(), 7.0));
  const std::map<std::string, std::string> real = snapshot();
  EXPECT_DOUBLE_EQ(-1.0, ServerParam::instance().quantize_step_dir);
  EXPECT_EQ(100, ServerParam::instance().drop_ball_time);  // the last value, read
  EXPECT_EQ(50, ServerParam::instance().half_time);

  std::vector<size_t> nowhere;
  std::set<std::string> landed;
  for (size_t i = 0; i < values.size(); ++i) {
    std::vector<std::string> moved = values;
    moved[i] = changed(values[i]);
    ServerParam::instance().setDefaultParam();
    EXPECT_EQ("", parse(positional(moved).c_str(), 7.0)) << i;
    std::vector<std::string> names;
    for (const auto& entry : snapshot()) {
      if (entry.second != real.at(entry.first) && entry.second == moved[i]) {
        names.push_back(entry.first);
      }
    }
    if (names.empty()) nowhere.push_back(i + 1);
    if (names.size() != 1) continue;
    const std::string& name = names[0];
    EXPECT_TRUE(landed.insert(name).second) << name;
    if (std::string(V9_SERVER_PARAM).find("(" + name + " ") == std::string::npos) continue;
    if (name == "half_time") continue;  // in seconds in the named form only
    EXPECT_EQ(named.at(name), real.at(name)) << "position " << i + 1 << ": " << name;
  }
  EXPECT_EQ((std::vector<size_t>{37, 52}), nowhere);
  EXPECT_EQ(101u, landed.size());
}

TEST_F(ServerParamTest, BadPositionalValueStopsTheRestSilently) {
  std::vector<std::string> values = realPositionalValues();
  for (std::string& value : values) value = changed(value);
  const std::map<std::string, std::string> defaults = snapshot();
  EXPECT_EQ("",
            parse(positional(std::vector<std::string>(values.begin(), values.begin() + 21)).c_str(),
                  7.0));
  const std::map<std::string, std::string> first_21 = snapshot();
  EXPECT_NE(defaults, first_21);
  ServerParam::instance().setDefaultParam();
  values[21] = "on";
  EXPECT_EQ("", parse(positional(values).c_str(), 7.0));
  EXPECT_EQ(first_21, snapshot());
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
