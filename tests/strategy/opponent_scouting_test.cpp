#include "strategy/opponent_scouting.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "param/server_param.h"
#include "strategy/clang_manager.h"
#include "strategy/player_type.h"
#include "tests/stream_capture.h"
#include "world/coach_visual_sensor.h"
#include "world/world_model_global.h"

namespace {

PlayerType typeWithDecay(int id, double decay) {
  PlayerType type;
  type.id = id;
  type.player_decay = decay;
  type.player_speed_max = 1.2;
  type.real_speed_max = 1.2;
  return type;
}

// What the coach knows and what the feature sends, as the agent hands them.
struct Coach : FeatureOutbox {
  GameTime now;
  Referee referee;
  CoachVisualSensor visual;
  WorldModelGlobal world;
  CLangManager clang;
  CoachKnowledge knowledge{now, referee, visual, world, clang};
  std::vector<std::string> sent;

  void send(const std::string& command) override { sent.push_back(command); }

  // One view of `cycle` in which opponent 2 stands at x, having come from
  // x - 0.5 with type 1's decay; then the batch ends.
  void view(OpponentScouting* scouting, int cycle, double x) {
    now = GameTime(cycle, 0);
    const std::string message = "(see_global " + std::to_string(cycle) +
                                " ((g r) 52.5 0) ((g l) -52.5 0) ((b) 0 0 0 0) ((p \"Them\" 2) " +
                                std::to_string(x) + " 0 0.25 0 0 0))";
    visual.parse(message.c_str(), "Us", 9.4, now);
    scouting->view(visual, now);
    scouting->batchEnd(knowledge, this);
  }
};

TEST(OpponentScoutingTest, TellsTheLatestSnapshotAtTheServersPaceAndSaysWhyItCannot) {
  {
    OpponentScouting scouting;
    StreamCapture err(std::cerr);
    scouting.configure(true, 6.0);
    EXPECT_EQ(
        "Coach: free-form text needs protocol 7 or later; with version 6 the opponents' "
        "types are not told\n",
        err.str());
    StreamCapture out(std::cout);
    Coach coach;
    scouting.playerType(typeWithDecay(0, 0.4));
    scouting.playerType(typeWithDecay(1, 0.5));
    for (int cycle = 1; cycle <= 8; ++cycle) coach.view(&scouting, cycle, 0.5 * cycle);
    EXPECT_TRUE(coach.sent.empty());
  }
  OpponentScouting scouting;
  scouting.configure(true, 9.4);
  StreamCapture out(std::cout);
  StreamCapture err(std::cerr);
  Coach coach;
  scouting.playerType(typeWithDecay(0, 0.4));
  scouting.playerType(typeWithDecay(1, 0.5));
  int told_at = 0;
  for (int cycle = 1; cycle <= 8; ++cycle) {
    coach.view(&scouting, cycle, 0.5 * cycle);
    if (told_at == 0 && !coach.sent.empty()) told_at = cycle;
  }
  ASSERT_EQ(std::vector<std::string>{"(say (freeform \"(opponent_types (2 1))\"))"}, coach.sent);
  EXPECT_EQ("opponent 2 type 1\ntell (opponent_types (2 1))\n",
            out.str().substr(out.str().find("opponent 2 type 1")));
  EXPECT_TRUE(scouting.answer(coach.sent[0], "(ok say)"));

  // Our own player's change forgets nothing; the opponent's leaves the
  // players an empty snapshot, told once the server's delay has passed.
  scouting.typeChange({2, 1, false}, coach.now);
  scouting.typeChange({2, -1, false}, coach.now);
  coach.sent.clear();
  for (int cycle = 9; cycle < told_at + ServerParam::instance().clang_mess_delay; ++cycle) {
    coach.view(&scouting, cycle, 100);  // standing far off: nothing learnt
  }
  EXPECT_TRUE(coach.sent.empty());
  coach.view(&scouting, told_at + ServerParam::instance().clang_mess_delay, 100);
  EXPECT_EQ(std::vector<std::string>{"(say (freeform \"(opponent_types)\"))"}, coach.sent);

  EXPECT_TRUE(scouting.answer(coach.sent[0], "(error said_too_many_freeform_messages)"));
  EXPECT_FALSE(scouting.answer(coach.sent[0], "(error could_not_parse_say)"));
  EXPECT_FALSE(scouting.answer(coach.sent[0], "(ok eye on)"));
  EXPECT_EQ(
      "Coach: no player of the team announced CLang versions; the players cannot hear the "
      "free-form text\n"
      "Coach: the server takes no more free-form text; the opponents' types are told no more\n",
      err.str());
}

}  // namespace
