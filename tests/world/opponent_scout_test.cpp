#include "world/opponent_scout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "strategy/player_type.h"
#include "world/coach_visual_sensor.h"

namespace {

using PlayerT = CoachVisualSensor::PlayerT;

std::vector<std::string> dataLines(const std::string& name) {
  const std::string path = std::string(BRENVO_SOURCE_DIR) + "/tests/data/" + name;
  std::ifstream in(path);
  EXPECT_TRUE(in.is_open()) << "cannot read " << path;
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

struct Change {
  int unum;
  int type;
};

// The truth file's changes in order: one {"cycle": C, "unum": U, "type": T}
// object a line.
std::vector<Change> truthChanges() {
  std::vector<Change> changes;
  for (const std::string& line : dataLines("moving_v9.4_synch.truth.json")) {
    int cycle = 0;
    Change c{};
    if (std::sscanf(line.c_str(), " {\"cycle\": %d, \"unum\": %d, \"type\": %d}", &cycle, &c.unum,
                    &c.type) == 3) {
      changes.push_back(c);
    }
  }
  EXPECT_EQ(22u, changes.size());
  return changes;
}

// The real server's moving match replayed into the scout: after every view
// no verdict may differ from the true type of that moment, and each
// opponent is named within 30 cycles in which it moved, and again within
// 30 cycles of a change notice.
TEST(OpponentScoutTest, RealMatchNamesEveryOpponentAndNeverWrongly) {
  const std::vector<Change> changes = truthChanges();
  OpponentScout scout;
  CoachVisualSensor sensor;
  std::ostringstream trace;
  int truth[12] = {};
  std::size_t next_change = 0;
  int moving_cycles[12] = {};  // since the last notice
  int notice_cycle[12] = {};
  int named_after[12];    // moving cycles when first named, -1 before
  int renamed_after[12];  // cycles from the notice at 120 to the new name
  std::fill(named_after, named_after + 12, -1);
  std::fill(renamed_after, renamed_after + 12, -1);
  double last_x[12] = {}, last_y[12] = {};
  int last_cycle = -1;
  int cycle = 0;
  std::string expected_trace;
  int verdicts[12];
  std::fill(verdicts, verdicts + 12, -1);

  for (const std::string& line : dataLines("moving_v9.4_synch.txt")) {
    if (line.rfind("(player_type ", 0) == 0) {
      scout.addType(PlayerType(line.c_str(), 9.4));
    } else if (line.rfind("(change_player_type ", 0) == 0) {
      int unum = 0, type = 0;
      if (std::sscanf(line.c_str(), "(change_player_type %d %d)", &unum, &type) == 2) continue;
      ASSERT_LT(next_change, changes.size());
      ASSERT_EQ(changes[next_change].unum, unum);
      truth[unum] = changes[next_change++].type;
      scout.forget(unum, trace);
      expected_trace += "opponent " + std::to_string(unum) + " changed type\n";
      verdicts[unum] = -1;
      moving_cycles[unum] = 0;
      notice_cycle[unum] = cycle;
    } else if (line.rfind("(see_global ", 0) == 0) {
      cycle = std::atoi(line.c_str() + 12);
      sensor.parse(line.c_str(), "Coachees", 9.4, GameTime(cycle, 0));
      scout.observe(sensor.theirPlayers(), GameTime(cycle, 0), trace);
      for (const PlayerT& p : sensor.theirPlayers()) {
        const int u = p.unum;
        if (cycle == last_cycle + 1 &&
            std::hypot(p.pos.x - last_x[u], p.pos.y - last_y[u]) >= 0.1) {
          ++moving_cycles[u];
        }
        last_x[u] = p.pos.x;
        last_y[u] = p.pos.y;
        const int v = scout.verdict(u);
        if (v < 0) continue;
        ASSERT_EQ(truth[u], v) << "opponent " << u << " at cycle " << cycle;
        if (v != verdicts[u]) {
          expected_trace += "opponent " + std::to_string(u) + " type " + std::to_string(v) + "\n";
          verdicts[u] = v;
        }
        if (named_after[u] < 0) named_after[u] = moving_cycles[u];
        if (notice_cycle[u] == 120 && renamed_after[u] < 0) renamed_after[u] = cycle - 120;
      }
      last_cycle = cycle;
    }
  }
  EXPECT_EQ(changes.size(), next_change);
  for (int u = 1; u <= 11; ++u) {
    EXPECT_GE(named_after[u], 0) << "opponent " << u << " never named";
    EXPECT_LE(named_after[u], 30) << "opponent " << u;
    EXPECT_EQ(truth[u], scout.verdict(u)) << "opponent " << u;
  }
  for (int u : {4, 10}) {
    EXPECT_GE(renamed_after[u], 0) << "opponent " << u << " not named after its change";
    EXPECT_LE(renamed_after[u], 30) << "opponent " << u;
  }
  EXPECT_EQ(expected_trace, trace.str());
}

PlayerType typeOf(int id, double decay, double top_speed = 1.0) {
  PlayerType t;
  t.id = id;
  t.player_decay = decay;
  t.real_speed_max = top_speed;
  return t;
}

PlayerT playerAt(int unum, double x, double y, double vx, double vy) {
  PlayerT p;
  p.unum = unum;
  p.pos = Vector2D(x, y);
  p.vel = Vector2D(vx, vy);
  return p;
}

// Drives one opponent through views of the scout; each step moves it by
// (dx, dy) and reports velocity (vx, vy).
class Mover {
 public:
  Mover(OpponentScout& scout, int unum) : scout_(scout), unum_(unum) { view(0, 0); }

  // A clean step: the reported velocity is decay times the move.
  void step(double decay, double dx = -0.3, double dy = 0.4) {
    move(dx, dy, decay * dx, decay * dy);
  }
  void move(double dx, double dy, double vx, double vy, int cycles = 1) {
    x_ += dx;
    y_ += dy;
    cycle_ += cycles;
    view(vx, vy);
  }
  void standStill() { view(0, 0); }
  // Puts the player elsewhere in a view of a standing clock.
  void placeAt(double x, double y) {
    x_ = x;
    y_ = y;
    view(0, 0);
  }
  std::string trace() const { return trace_.str(); }

 private:
  void view(double vx, double vy) {
    scout_.observe({playerAt(unum_, x_, y_, vx, vy)}, GameTime(cycle_, 0), trace_);
  }

  OpponentScout& scout_;
  int unum_;
  double x_ = 10, y_ = 5;
  int cycle_ = 50;
  std::ostringstream trace_;
};

OpponentScout scoutOf(std::initializer_list<PlayerType> types) {
  OpponentScout scout;
  for (const PlayerType& t : types) scout.addType(t);
  return scout;
}

TEST(OpponentScoutTest, FiveCleanMovesNameTheNearestType) {
  OpponentScout scout = scoutOf({typeOf(0, 0.4), typeOf(1, 0.45), typeOf(2, 0.5)});
  Mover mover(scout, 3);
  const unsigned before = scout.revision();
  for (int i = 0; i < 4; ++i) mover.step(0.4502);
  EXPECT_EQ(-1, scout.verdict(3));
  EXPECT_EQ(before, scout.revision());
  mover.step(0.4498);
  EXPECT_EQ(1, scout.verdict(3));
  EXPECT_NE(before, scout.revision());
  for (int i = 0; i < 5; ++i) mover.step(0.45);
  EXPECT_EQ("opponent 3 type 1\n", mover.trace());  // said once
}

// Each disturbance the physics cannot explain adds no sample: four clean
// moves and the disturbance leave the scout silent; one more clean move
// names the type.
TEST(OpponentScoutTest, MovesThePhysicsCannotExplainAddNoSample) {
  struct Case {
    const char* what;
    void (*disturb)(Mover&);
  };
  const Case cases[] = {
      {"a velocity across the move (the referee placing the player)",
       [](Mover& m) { m.move(0.3, 0.4, 0.155, 0.165); }},
      {"a collision: velocity reversed and shrunk",
       [](Mover& m) { m.move(0.3, 0.4, -0.03, -0.04); }},
      {"a velocity along the move at no announced decay",
       [](Mover& m) { m.move(0.3, 0.4, 0.9 * 0.3, 0.9 * 0.4); }},
      {"a move under 0.1", [](Mover& m) { m.move(0.05, 0.05, 0.0225, 0.0225); }},
      {"a move over a skipped cycle", [](Mover& m) { m.move(0.3, 0.4, 0.135, 0.18, 2); }},
      {"a standing clock", [](Mover& m) { m.move(0.3, 0.4, 0.135, 0.18, 0); }},
      {"a stop at the pitch's edge",
       [](Mover& m) {
         m.placeAt(57.3, 5.0);
         m.move(0.2, 0.0, 0.495 * 0.2, 0.0);
       }},
  };
  for (const Case& c : cases) {
    OpponentScout scout = scoutOf({typeOf(0, 0.4), typeOf(1, 0.45), typeOf(2, 0.5)});
    Mover mover(scout, 7);
    for (int i = 0; i < 4; ++i) mover.step(0.45);
    c.disturb(mover);
    EXPECT_EQ(-1, scout.verdict(7)) << c.what;
    mover.standStill();
    mover.step(0.45);
    EXPECT_EQ(1, scout.verdict(7)) << c.what;
  }
}

TEST(OpponentScoutTest, TypesTooCloseToTellApartStaySilent) {
  const struct {
    const char* what;
    double second_decay;
  } cases[] = {{"one type twice as far as the nearest", 0.4506}, {"two equal decays", 0.45}};
  for (const auto& c : cases) {
    OpponentScout scout = scoutOf({typeOf(1, 0.45), typeOf(2, c.second_decay), typeOf(3, 0.3)});
    Mover mover(scout, 5);
    for (int i = 0; i < 15; ++i) mover.step(0.4502);
    EXPECT_EQ(-1, scout.verdict(5)) << c.what;
    EXPECT_EQ("", mover.trace()) << c.what;
  }
}

TEST(OpponentScoutTest, AMoveBeyondATypesTopSpeedRulesItOut) {
  // The ratios are nearest type 1, but a move of 0.8 is beyond its reach.
  OpponentScout scout =
      scoutOf({typeOf(0, 0.40, 1.0), typeOf(1, 0.44, 0.6), typeOf(2, 0.455, 1.0)});
  Mover mover(scout, 9);
  for (int i = 0; i < 5; ++i) mover.step(0.445, 0.48, 0.64);
  EXPECT_EQ(2, scout.verdict(9));
}

// The window keeps the last 15 ratios: once most of them point elsewhere
// the verdict moves, and the new one is traced too.
TEST(OpponentScoutTest, NewEvidenceMovesTheVerdict) {
  OpponentScout scout = scoutOf({typeOf(1, 0.35), typeOf(2, 0.45)});
  Mover mover(scout, 2);
  for (int i = 0; i < 20; ++i) mover.step(0.45 + 0.0001 * (i % 3));
  for (int i = 0; i < 7; ++i) mover.step(0.35);
  EXPECT_EQ(2, scout.verdict(2));
  mover.step(0.35);
  EXPECT_EQ(1, scout.verdict(2));
  EXPECT_EQ("opponent 2 type 2\nopponent 2 type 1\n", mover.trace());
}

TEST(OpponentScoutTest, AChangeNoticeForgetsAndTheTypeIsNamedAgain) {
  OpponentScout scout = scoutOf({typeOf(1, 0.35), typeOf(2, 0.45)});
  Mover mover(scout, 4);
  for (int i = 0; i < 5; ++i) mover.step(0.45);
  ASSERT_EQ(2, scout.verdict(4));
  std::ostringstream trace;
  const unsigned named = scout.revision();
  scout.forget(4, trace);
  scout.forget(0, trace);
  scout.forget(12, trace);
  EXPECT_EQ("opponent 4 changed type\n", trace.str());
  EXPECT_EQ(-1, scout.verdict(4));
  EXPECT_NE(named, scout.revision());
  // The samples and the position went too: the first view after the notice
  // only places the player, so five views give four ratios.
  for (int i = 0; i < 5; ++i) mover.step(0.45);
  EXPECT_EQ(-1, scout.verdict(4));
  mover.step(0.45);
  EXPECT_EQ(2, scout.verdict(4));
  EXPECT_EQ("opponent 4 type 2\nopponent 4 type 2\n", mover.trace());
}

TEST(OpponentScoutTest, TypesTextListsNamedOpponentsWithinTheLength) {
  OpponentScout scout = scoutOf({typeOf(3, 0.35), typeOf(12, 0.45)});
  EXPECT_EQ("", scout.typesText(100));
  for (int unum : {11, 2, 10}) {
    Mover mover(scout, unum);
    for (int i = 0; i < 5; ++i) mover.step(unum == 10 ? 0.35 : 0.45);
  }
  const std::string all = "(opponent_types (2 12) (10 3) (11 12))";
  EXPECT_EQ(all, scout.typesText(all.size()));
  EXPECT_EQ("(opponent_types (2 12) (10 3))", scout.typesText(all.size() - 1));
  EXPECT_EQ("(opponent_types (2 12))", scout.typesText(23));
  EXPECT_EQ("", scout.typesText(22));
}

}  // namespace
