#include "world/stamina_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "param/server_param.h"
#include "strategy/player_type.h"
#include "tests/gzip_lines.h"
#include "tests/stream_capture.h"
#include "world/coach_manager.h"
#include "world/coach_visual_sensor.h"
#include "world/referee.h"

namespace {

struct Truth {
  double stamina, effort, capacity;
};

class StaminaModelTest : public testing::Test {
 protected:
  // The replay's clock records its stops in GameTime's shared fields.
  void TearDown() override {
    ServerParam::instance().setDefaultParam();
    GameTime::S_last_stop_cycle = 0;
    GameTime::S_last_stop_count = 0;
  }
};

// The real server's tiring match replayed as the coach takes it in, against
// what each player's body sense said every 10 cycles (every step while the
// clock stood at half time): every estimate within 800 of the stamina, 0.1
// of the effort and 3 % of the capacity, except in the 5 cycles after a
// restore (the kick-offs, and the trainer's change of player 5 at 451).
TEST_F(StaminaModelTest, RealMatchFollowsTheBodySense) {
  std::map<std::pair<int, int>, std::vector<Truth>> truth;  // (unum, cycle): in order
  for (const std::string& line : gzipLines("stamina_v9.4_synch.truth.jsonl.gz")) {
    int unum = 0, cycle = 0;
    Truth t{};
    ASSERT_EQ(5, std::sscanf(line.c_str(),
                             "{\"unum\": %d, \"cycle\": %d, \"stamina\": %lf, \"effort\": %lf, "
                             "\"capacity\": %lf}",
                             &unum, &cycle, &t.stamina, &t.effort, &t.capacity))
        << line;
    truth[{unum, cycle}].push_back(t);
  }
  StaminaModel model;
  CoachVisualSensor visual;
  Referee referee;
  CoachManager manager;
  std::map<int, int> views_of;  // cycle: views so far
  int restored[12] = {};
  double worst_stamina = 0, worst_effort = 0, worst_capacity = 0;
  int compared = 0;
  StreamCapture err(std::cerr);
  for (const std::string& line : gzipLines("stamina_v9.4_synch.txt.gz")) {
    const char* m = line.c_str();
    int unum = 0, type = 0;
    if (line.rfind("(server_param ", 0) == 0) {
      ServerParam::instance().parse(m, 9.4);
      model.configure(ServerParam::instance(), 9.4);
    } else if (line.rfind("(player_type ", 0) == 0) {
      model.addType(PlayerType(m, 9.4));
    } else if (std::sscanf(m, "(change_player_type %d %d)", &unum, &type) == 2) {
      model.changeType(unum, type);
      restored[unum] = manager.currentTime().cycle;
    } else if (line.rfind("(hear ", 0) == 0) {
      manager.updateCurrentTime(std::atol(m + 6), false);
      referee.parse(m, manager.currentTime());
      manager.updateGameMode(referee);
      model.playMode(referee.playMode(), manager.currentTime());
      if (referee.playMode() == Referee::KICK_OFF) {
        std::fill(restored, restored + 12, manager.currentTime().cycle);
      }
    } else if (line.rfind("(see_global ", 0) == 0) {
      manager.updateCurrentTime(std::atol(m + 12), true);
      const GameTime now = manager.currentTime();
      visual.parse(m, "Coachees", 9.4, now);
      model.observe(visual.ourPlayers(), now);
      const int k = views_of[now.cycle]++;
      for (int u = 1; u <= 11; ++u) {
        const auto rows = truth.find({u, now.cycle});
        if (rows == truth.end() || k >= static_cast<int>(rows->second.size())) continue;
        if (now.cycle - restored[u] <= 5) continue;
        const Truth& t = rows->second[k];
        const StaminaModel::Player& p = model.player(u);
        worst_stamina = std::max(worst_stamina, std::fabs(p.stamina - t.stamina));
        worst_effort = std::max(worst_effort, std::fabs(p.effort - t.effort));
        worst_capacity = std::max(worst_capacity, std::fabs(p.capacity / t.capacity - 1));
        ++compared;
      }
    }
  }
  EXPECT_GT(compared, 3400);
  EXPECT_LE(worst_stamina, 800);
  EXPECT_LE(worst_effort, 0.1);
  EXPECT_LE(worst_capacity, 0.03);
  EXPECT_EQ("", err.str());
}

// Player 2 sprints for 200 cycles up to the cycle of the event (a current
// server's halves, default stamina); a kick-off
// restores everything only at a normal half's start, the capacity alone at
// extra time's; a change of type restores everything. A coach whose first
// view comes after kick-off says so once.
TEST_F(StaminaModelTest, RestoresAsTheServerDoes) {
  const struct {
    int cycle;
    bool change;             // a change of type, else a kick-off
    bool stamina, capacity;  // restored
  } cases[] = {{200, false, false, false},
               {3000, false, true, true},
               {6000, false, false, true},
               {400, true, true, true}};
  for (const auto& c : cases) {
    StaminaModel model;
    StreamCapture err(std::cerr);
    if (c.cycle == 200) model.playMode(Referee::KICK_OFF, GameTime(0, 0));
    CoachVisualSensor::PlayerT p;
    p.unum = 2;
    p.pos = Vector2D(0, 0);
    for (int cycle = c.cycle - 200; cycle < c.cycle; ++cycle) {
      if (std::fabs(p.pos.x) > 40) p.body = p.pos.x > 0 ? 180 : 0;
      const double push = 100 * 0.006 * model.player(2).effort;
      const Vector2D move = p.vel + Vector2D(p.body == 0 ? push : -push, 0);
      p.pos = p.pos + move;
      p.vel = move * 0.4;
      model.observe({p}, GameTime(cycle, 0));
    }
    ASSERT_LT(model.player(2).stamina, 1000) << c.cycle;
    if (c.change) model.changeType(2, 0);
    if (!c.change) model.playMode(Referee::KICK_OFF, GameTime(c.cycle, 0));
    EXPECT_EQ(c.stamina, model.player(2).stamina == model.staminaMax()) << c.cycle;
    EXPECT_EQ(c.capacity, model.player(2).capacity == model.staminaCapacity()) << c.cycle;
    EXPECT_EQ(c.cycle == 200 ? ""
                             : "Coach: connected at cycle " + std::to_string(c.cycle - 200) +
                                   ", after kick-off: our players' stamina is followed as if they "
                                   "were fresh\n",
              err.str());
  }
}

}  // namespace
