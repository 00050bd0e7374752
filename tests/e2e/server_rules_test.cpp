// The rules the practice server shares with a real server, checked on a real
// server's recording so that the checks the practice server's views pass
// (practice_server_test.cpp) are known to hold for the real thing; the
// free-form rules.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/e2e_support.h"
#include "tools/freeform_rules.h"

namespace {

const std::string say = "(say (freeform \"(opponent_types (2 15))\"))";

TEST(RecordedViewTest, NumbersHaveTheServersFormAndMovesFollowTheDecay) {
  std::ifstream in(std::string(BRENVO_SOURCE_DIR) + "/tests/data/moving_v9.4_synch.txt");
  ASSERT_TRUE(in.is_open());
  std::vector<std::string> texts;
  std::map<int, double> decay_of_type;
  std::map<int, int> our_types;  // set at kick-off
  int views = 0;
  for (std::string text; std::getline(in, text);) {
    texts.push_back(text);
    int id = 0, unum = 0, type = 0, cycle = 0;
    double decay = 0;
    if (std::sscanf(text.c_str(),
                    "(player_type (id %d)(player_speed_max %*f)(stamina_inc_max %*f)"
                    "(player_decay %lf",
                    &id, &decay) == 2) {
      decay_of_type[id] = decay;
    }
    if (std::sscanf(text.c_str(), "(change_player_type %d %d)", &unum, &type) == 2) {
      our_types[unum] = type;
    }
    e2e::SeenPlayers players;
    if (!e2e::readView(text, &cycle, &players)) continue;
    ++views;
    ASSERT_EQ(22u, players.size());
    for (const auto& p : players) {
      ASSERT_EQ(6u, p.second.written.size());
      for (const std::string& number : p.second.written) EXPECT_TRUE(e2e::inServerForm(number));
      for (int angle : {4, 5})
        EXPECT_EQ(std::string::npos, p.second.written[angle].find_first_of(".e"));
    }
  }
  EXPECT_GT(views, 200);
  for (const char* bad : {"1.2345678", "0.50", "2.", "1x", "0.00012345678"}) {
    EXPECT_FALSE(e2e::inServerForm(bad)) << bad;
  }
  ASSERT_EQ(28u, decay_of_type.size() + our_types.size());
  // The opponents' types were changed by a trainer; our players' are known.
  const e2e::DecayRuleCheck check =
      e2e::checkDecayRule(texts, [&](const std::string& team, int unum, int) {
        return team == "Coachees" ? decay_of_type[our_types[unum]] : -1.0;
      });
  EXPECT_GT(check.moves, 1000);
  // Players that collide (they crowd at the edges) or wait at the centre line
  // in a kick-off are displaced too.
  EXPECT_LT(check.faults, check.moves / 10);
}

TEST(FreeformRulesTest, WindowOpensAfterTheWaitForTheSendPeriod) {
  for (const auto& w : std::vector<std::pair<int, bool>>{
           {600, 0}, {601, 1}, {619, 1}, {620, 0}, {1199, 0}, {1200, 1}, {1219, 1}, {1220, 0}}) {
    EXPECT_EQ(w.second, practice::freeformWindowOpen({600, 20, 128, 128}, w.first)) << w.first;
  }
}

// A negative say_coach_cnt_max sets no limit; otherwise each full game time
// (here 100 cycles) allows that many more.
TEST(FreeformRulesTest, CountHasNoLimitWhenNegativeAndGrowsWithEachFullGameTime) {
  practice::FreeformRules unlimited({600, 20, -1, 128}, 100);
  for (int i = 0; i < 200; ++i) EXPECT_EQ("(ok say)", unlimited.answer(say, 0, false, 0));
  practice::FreeformRules rules({600, 20, 1, 128}, 100);
  for (const auto& c :
       std::vector<std::pair<int, std::string>>{{0, "(ok say)"},
                                                {99, "(error said_too_many_freeform_messages)"},
                                                {100, "(ok say)"},
                                                {150, "(error said_too_many_freeform_messages)"},
                                                {200, "(ok say)"}}) {
    EXPECT_EQ(c.second, rules.answer(say, c.first, false, 0)) << c.first;
  }
}

}  // namespace
