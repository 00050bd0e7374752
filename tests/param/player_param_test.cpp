#include "param/player_param.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

#include "tests/param/server_messages.h"
#include "tests/stream_capture.h"

namespace {

class PlayerParamTest : public testing::Test {
 protected:
  void TearDown() override { PlayerParam::instance().setDefaultParam(); }
  std::string parse(const char* msg, double version) {
    StreamCapture err(std::cerr);
    PlayerParam::instance().parse(msg, version);
    return err.str();
  }
  // Every parameter with its value, as show() lists them.
  static std::string shown() {
    std::ostringstream os;
    PlayerParam::instance().show(os, false);
    return os.str();
  }
};

TEST_F(PlayerParamTest, DefaultsAndRegistry) {
  const PlayerParam& param = PlayerParam::instance();
  EXPECT_EQ(7, param.player_types);
  EXPECT_EQ(3, param.subs_max);
  EXPECT_EQ(3, param.pt_max);
  EXPECT_DOUBLE_EQ(0.2, param.player_decay_delta_max);
  EXPECT_EQ(-1, param.random_seed);
  EXPECT_EQ(4u, param.intMap().size());
  EXPECT_EQ(19u, param.doubleMap().size());
  EXPECT_EQ(&param.random_seed, param.intMap().at("random_seed"));
  EXPECT_EQ(&param.new_stamina_inc_max_delta_factor,
            param.doubleMap().at("new_stamina_inc_max_delta_factor"));
}

TEST_F(PlayerParamTest, NamedMessageSetsOnlyWhatItNames) {
  EXPECT_EQ("", parse("(player_param (player_types 18)(subs_max 3)(pt_max 1))", 9.4));
  const PlayerParam& param = PlayerParam::instance();
  EXPECT_EQ(18, param.player_types);
  EXPECT_EQ(1, param.pt_max);
  EXPECT_DOUBLE_EQ(0.2, param.player_decay_delta_max);
  EXPECT_EQ(-1, param.random_seed);
}

TEST_F(PlayerParamTest, RealMessagesOfBothFormsAgree) {
  EXPECT_EQ("", parse(V9_PLAYER_PARAM, 9.4));
  const std::string named = shown();
  const PlayerParam& param = PlayerParam::instance();
  EXPECT_EQ(18, param.player_types);
  EXPECT_EQ(7, param.random_seed);
  EXPECT_DOUBLE_EQ(-6000.0, param.new_stamina_inc_max_delta_factor);
  EXPECT_DOUBLE_EQ(-0.004, param.effort_min_delta_factor);

  // The positional form lacks random_seed and the three new_ parameters.
  PlayerParam::instance().random_seed = PlayerParam::DEFAULT_RANDOM_SEED;
  PlayerParam::instance().new_dash_power_rate_delta_min = 1;
  EXPECT_EQ("", parse(V7_PLAYER_PARAM, 7.0));
  EXPECT_EQ(-1, param.random_seed);
  EXPECT_DOUBLE_EQ(1.0, param.new_dash_power_rate_delta_min);
  PlayerParam::instance().random_seed = 7;
  PlayerParam::instance().new_dash_power_rate_delta_min = -0.0012;
  EXPECT_EQ(named, shown());
}

TEST_F(PlayerParamTest, VersionNineteenMessageReadsQuietly) {
  EXPECT_EQ("", parse(startV19Messages().at(2).c_str(), 19));
  EXPECT_EQ(5, PlayerParam::instance().random_seed);
  EXPECT_EQ(1, PlayerParam::instance().pt_max);
}

TEST_F(PlayerParamTest, PositionalFormStopsAtABadValue) {
  parse("(player_param 18 x 1 0 0 0 -0.1 0.1 25 0 0 -100 -0.1 0.1 1 0 50 -0.004 -0.004)", 7.0);
  const PlayerParam& param = PlayerParam::instance();
  EXPECT_DOUBLE_EQ(25.0, param.inertia_moment_delta_factor);
  EXPECT_DOUBLE_EQ(-0.002, param.effort_min_delta_factor);
  // Only the value before the bad one is taken; every other keeps its default.
  const std::string read = shown();
  PlayerParam::instance().setDefaultParam();
  PlayerParam::instance().player_types = 18;
  EXPECT_EQ(shown(), read);
}

}  // namespace
