#include "world/world_model_global.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <sstream>
#include <string>

#include "param/coach_config.h"
#include "param/player_param.h"
#include "param/server_param.h"
#include "tests/stream_capture.h"
#include "world/coach_visual_sensor.h"

namespace {

using Captured = StreamCapture;

PlayerType typeWithId(int id, double kick_rand) {
  PlayerType t;
  t.id = id;
  t.kick_rand = kick_rand;
  return t;
}

TEST(WorldModelGlobalTest, SideComesFromTheInitLetter) {
  WorldModelGlobal world;
  EXPECT_EQ(SoccerTypes::LEFT, world.ourSide());
  world.init('r');
  EXPECT_EQ(SoccerTypes::RIGHT, world.ourSide());
  {
    Captured err(std::cerr);
    world.init('x');
    EXPECT_EQ("WorldModelGlobal::init unexpected side. [x]\n", err.str());
  }
  EXPECT_EQ(SoccerTypes::RIGHT, world.ourSide());
  world.init('l');
  EXPECT_EQ(SoccerTypes::LEFT, world.ourSide());
}

TEST(WorldModelGlobalTest, FirstRecordOfAnIdStays) {
  WorldModelGlobal world;
  Captured err(std::cerr);
  world.insertPlayerType(typeWithId(3, 0.1));
  world.insertPlayerType(typeWithId(3, 0.9));
  EXPECT_EQ("", err.str());
  ASSERT_EQ(1u, world.playerTypeMap().size());
  EXPECT_DOUBLE_EQ(0.1, world.playerTypeMap().at(3).kick_rand);
}

TEST(WorldModelGlobalTest, TableHoldsSevenTypesAndReportsEveryOverflow) {
  WorldModelGlobal world;
  Captured err(std::cerr);
  for (int id = 0; id < 7; ++id) world.insertPlayerType(typeWithId(id, 0.1));
  EXPECT_EQ("", err.str());
  world.insertPlayerType(typeWithId(7, 0.1));
  // A repeated id is refused with the same report once the table is full.
  world.insertPlayerType(typeWithId(3, 0.9));
  EXPECT_EQ("player types over flow\nplayer types over flow\n", err.str());
  ASSERT_EQ(7u, world.playerTypeMap().size());
  EXPECT_EQ(0u, world.playerTypeMap().count(7));
  EXPECT_DOUBLE_EQ(0.1, world.playerTypeMap().at(3).kick_rand);
}

TEST(WorldModelGlobalTest, KeepsTheFirstSevenOfEighteenAnnouncedTypes) {
  ServerParam::instance().setDefaultParam();
  WorldModelGlobal world;
  Captured err(std::cerr);
  for (int id = 0; id < 18; ++id) {
    const std::string message = "(player_type (id " + std::to_string(id) +
                                ")(player_speed_max 1.05)(stamina_inc_max 45)(player_decay 0.4)"
                                "(inertia_moment 5)(dash_power_rate 0.006)(player_size 0.3)"
                                "(kickable_margin 0.7)(kick_rand 0.1)(extra_stamina 50)"
                                "(effort_max 1)(effort_min 0.6))";
    world.insertPlayerType(PlayerType(message.c_str(), 9.4));
  }
  std::string expected;
  for (int i = 0; i < 11; ++i) expected += "player types over flow\n";
  EXPECT_EQ(expected, err.str());
  ASSERT_EQ(7u, world.playerTypeMap().size());
  EXPECT_EQ(6, world.playerTypeMap().rbegin()->first);
  EXPECT_DOUBLE_EQ(1.05, world.playerTypeMap().at(6).player_speed_max);
  EXPECT_DOUBLE_EQ(1.0, world.playerTypeMap().at(6).real_speed_max);
}

// The roles policy keeps as many types as the server says it offers, and no
// more than 64 whatever it says.
TEST(WorldModelGlobalTest, RolesPolicyKeepsEveryAnnouncedTypeUpToSixtyFour) {
  CoachConfig::instance().substitution_policy = "roles";
  for (const int announced : {18, 100, -1}) {
    PlayerParam::instance().player_types = announced;
    WorldModelGlobal world;
    Captured err(std::cerr);
    for (int id = 0; id < 70; ++id) world.insertPlayerType(typeWithId(id, 0.1));
    const int kept = std::clamp(announced, 0, 64);
    EXPECT_EQ(static_cast<std::size_t>(kept), world.playerTypeMap().size()) << announced;
    EXPECT_EQ(static_cast<std::size_t>(70 - kept) * 23, err.str().size()) << announced;
  }
  CoachConfig::instance().setDefaultParam();
  PlayerParam::instance().setDefaultParam();
}

// Before the first view the world is at cycle -1, before kick-off, with no
// side to play; the view brings the referee's time, mode and side.
TEST(WorldModelGlobalTest, GlobalViewTakesTimeModeAndSideFromTheReferee) {
  WorldModelGlobal world;
  EXPECT_EQ(GameTime(-1, 0), world.gameTime());
  EXPECT_EQ(Referee::BEFORE_KICK_OFF, world.playMode());
  EXPECT_EQ(SoccerTypes::NEUTRAL, world.modeSide());
  Referee referee;
  referee.parse("(hear 0 referee kick_off_r)", GameTime(0, 40));
  const CoachVisualSensor sensor;
  world.updateAfterSeeGlobal(sensor, referee, GameTime(0, 41));
  EXPECT_EQ(GameTime(0, 41), world.gameTime());
  EXPECT_EQ(Referee::KICK_OFF, world.playMode());
  EXPECT_EQ(SoccerTypes::RIGHT, world.modeSide());
  // The own side is a different thing and stays.
  EXPECT_EQ(SoccerTypes::LEFT, world.ourSide());
}

}  // namespace
