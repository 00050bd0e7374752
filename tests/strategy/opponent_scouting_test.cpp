#include "strategy/opponent_scouting.h"

#include <gtest/gtest.h>

#include "strategy/clang_manager.h"
#include "strategy/player_type.h"
#include "tests/stream_capture.h"

namespace {

PlayerType typeWithDecay(int id, double decay) {
  PlayerType type;
  type.id = id;
  type.player_decay = decay;
  type.player_speed_max = 1.2;
  type.real_speed_max = 1.2;
  return type;
}

// Opponent 2 runs half a metre a cycle with type 1's decay until it is named.
void scoutOpponentTwo(OpponentScouting* scouting) {
  scouting->addType(typeWithDecay(0, 0.4));
  scouting->addType(typeWithDecay(1, 0.5));
  CoachVisualSensor::PlayerT player;
  player.unum = 2;
  for (int cycle = 1; cycle <= 8; ++cycle) {
    player.pos = Vector2D(0.5 * cycle, 0);
    player.vel = Vector2D(0.5 * 0.5, 0);
    scouting->observe({player}, GameTime(cycle, 0));
  }
}

TEST(OpponentScoutingTest, TellsWhatTheServerTakesAndSaysWhyItCannot) {
  {
    OpponentScouting scouting;
    StreamCapture err(std::cerr);
    scouting.configure(true, 6.0);
    EXPECT_EQ(
        "Coach: free-form text needs protocol 7 or later; with version 6 the opponents' "
        "types are not told\n",
        err.str());
    StreamCapture out(std::cout);
    scoutOpponentTwo(&scouting);
    std::string command;
    EXPECT_FALSE(scouting.nextSay(GameTime(8, 0), CLangManager(), &command));
  }
  OpponentScouting scouting;
  scouting.configure(true, 9.4);
  StreamCapture out(std::cout);
  StreamCapture err(std::cerr);
  scoutOpponentTwo(&scouting);
  scouting.observeMode(GameTime(8, 0), false);
  const CLangManager deaf;
  std::string command;
  ASSERT_TRUE(scouting.nextSay(GameTime(8, 0), deaf, &command));
  EXPECT_EQ("(say (freeform \"(opponent_types (2 1))\"))", command);
  EXPECT_EQ("opponent 2 type 1\ntell (opponent_types (2 1))\n", out.str());
  EXPECT_TRUE(scouting.answer("(ok say)"));
  EXPECT_FALSE(scouting.nextSay(GameTime(9, 0), deaf, &command));  // nothing new
  scouting.noticeChange("(change_player_type 2 1)");  // our own player: nothing forgotten
  scouting.noticeChange("(change_player_type 2)");
  EXPECT_FALSE(scouting.nextSay(GameTime(9, 0), deaf, &command));  // nobody named to tell
  EXPECT_TRUE(scouting.answer("(error said_too_many_freeform_messages)"));
  EXPECT_FALSE(scouting.answer("(error could_not_parse_say)"));
  EXPECT_FALSE(scouting.answer("(ok eye on)"));
  EXPECT_EQ(
      "Coach: no player of the team announced CLang versions; the players cannot hear the "
      "free-form text\n"
      "Coach: the server takes no more free-form text; the opponents' types are told no more\n",
      err.str());
}

}  // namespace
