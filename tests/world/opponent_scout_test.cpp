#include "world/opponent_scout.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "strategy/player_type.h"

namespace {

using PlayerT = CoachVisualSensor::PlayerT;

std::ifstream dataFile(const std::string& name) {
  return std::ifstream(std::string(BRENVO_SOURCE_DIR) + "/tests/data/" + name);
}

// The real server's moving match replayed: after every view no verdict may
// differ from the true type of that moment (the truth file lists the types
// in the order of the opponents' change notices); each opponent is named
// within 30 cycles in which it moved, again after each notice, and the two
// changed at cycle 120 within 30 cycles of it.
TEST(OpponentScoutTest, RealMatchNamesEveryOpponentSoonAndNeverWrongly) {
  std::ifstream truth_file = dataFile("moving_v9.4_synch.truth.json");
  std::vector<std::pair<int, int>> changes;  // unum, type
  for (std::string line; std::getline(truth_file, line);) {
    int cycle = 0, unum = 0, type = 0;
    if (std::sscanf(line.c_str(), " {\"cycle\": %d, \"unum\": %d, \"type\": %d}", &cycle, &unum,
                    &type) == 3) {
      changes.emplace_back(unum, type);
    }
  }
  ASSERT_EQ(22u, changes.size());
  std::ifstream in = dataFile("moving_v9.4_synch.txt");
  ASSERT_TRUE(in.is_open());
  OpponentScout scout;
  CoachVisualSensor sensor;
  std::ostringstream trace;
  int truth[12] = {}, moved[12] = {}, named_after[12] = {}, named_at[12] = {};
  Vector2D last[12];
  std::size_t next = 0;
  int last_cycle = -1;
  for (std::string line; std::getline(in, line);) {
    int unum = 0, type = 0;
    if (line.rfind("(player_type ", 0) == 0) scout.addType(PlayerType(line.c_str(), 9.4));
    if (std::sscanf(line.c_str(), "(change_player_type %d %d", &unum, &type) == 1) {
      ASSERT_LT(next, changes.size());
      ASSERT_EQ(changes[next].first, unum);
      truth[unum] = changes[next++].second;
      scout.forget(unum, trace);
      moved[unum] = named_after[unum] = named_at[unum] = 0;
    }
    if (line.rfind("(see_global ", 0) != 0) continue;
    const int cycle = std::atoi(line.c_str() + 12);
    sensor.parse(line.c_str(), "Coachees", 9.4, GameTime(cycle, 0));
    scout.observe(sensor.theirPlayers(), GameTime(cycle, 0), trace);
    for (const PlayerT& p : sensor.theirPlayers()) {
      if (cycle == last_cycle + 1 && (p.pos - last[p.unum]).length() >= 0.1) ++moved[p.unum];
      last[p.unum] = p.pos;
      const int v = scout.verdict(p.unum);
      ASSERT_TRUE(v == -1 || v == truth[p.unum]) << p.unum << " named " << v << " at " << cycle;
      if (v >= 0 && named_at[p.unum] == 0) {
        named_after[p.unum] = moved[p.unum];
        named_at[p.unum] = cycle;
      }
    }
    last_cycle = cycle;
  }
  EXPECT_EQ(changes.size(), next);
  for (int u = 1; u <= 11; ++u) {
    EXPECT_GT(named_at[u], 0) << "opponent " << u << " not named";
    EXPECT_LE(named_after[u], 30) << "opponent " << u;
  }
  EXPECT_LE(named_at[4], 150);
  EXPECT_LE(named_at[10], 150);
}

PlayerType typeOf(int id, double decay, double top_speed = 1.0) {
  PlayerType t;
  t.id = id;
  t.player_decay = decay;
  t.real_speed_max = top_speed;
  return t;
}

// One opponent in views of its own: each move shifts it by (dx, dy) over
// the given cycles (0: a standing clock) and reports velocity (vx, vy).
struct Mover {
  Mover(OpponentScout& s, int u) : scout(s), unum(u) { move(0, 0, 0, 0, 0); }
  void move(double dx, double dy, double vx, double vy, int cycles = 1) {
    PlayerT p;
    p.unum = unum;
    p.pos = Vector2D(x += dx, y += dy);
    p.vel = Vector2D(vx, vy);
    scout.observe({p}, GameTime(cycle += cycles, 0), trace);
  }
  // Clean moves: the velocity is decay times the move, along it.
  void step(double decay, int times = 1, double length = 0.5) {
    for (int i = 0; i < times; ++i)
      move(-0.6 * length, 0.8 * length, -0.6 * length * decay, 0.8 * length * decay);
  }
  OpponentScout& scout;
  int unum;
  double x = 10, y = 5;
  int cycle = 50;
  std::ostringstream trace;
};

OpponentScout threeTypes() {
  OpponentScout scout;
  for (const PlayerType& t : {typeOf(0, 0.4), typeOf(1, 0.45), typeOf(2, 0.5)}) scout.addType(t);
  return scout;
}

// Four clean moves and a move the physics cannot explain leave the scout
// silent: that move added no ratio, so the next clean one is the fifth.
TEST(OpponentScoutTest, MovesThePhysicsCannotExplainAddNoRatio) {
  const struct {
    const char* what;
    void (*disturb)(Mover&);
  } cases[] = {
      {"velocity across the move", [](Mover& m) { m.move(0.3, 0.4, 0.155, 0.165); }},
      {"collision", [](Mover& m) { m.move(0.3, 0.4, -0.03, -0.04); }},
      {"no announced decay", [](Mover& m) { m.move(0.3, 0.4, 0.27, 0.36); }},
      {"under 0.1", [](Mover& m) { m.move(0.05, 0.05, 0.0225, 0.0225); }},
      {"skipped cycle", [](Mover& m) { m.move(0.3, 0.4, 0.135, 0.18, 2); }},
      {"standing clock", [](Mover& m) { m.move(0.3, 0.4, 0.135, 0.18, 0); }},
      {"stopped at the pitch's edge",
       [](Mover& m) {
         m.move(57.3 - m.x, 0, 0, 0, 0);
         m.move(0.2, 0, 0.099, 0);
       }},
  };
  for (const auto& c : cases) {
    OpponentScout scout = threeTypes();
    Mover mover(scout, 7);
    mover.step(0.45, 4);
    c.disturb(mover);
    EXPECT_EQ(-1, scout.verdict(7)) << c.what;
    mover.step(0.4498);
    EXPECT_EQ(1, scout.verdict(7)) << c.what;
    EXPECT_EQ("opponent 7 type 1\n", mover.trace.str()) << c.what;
  }
}

TEST(OpponentScoutTest, OnlyAClearlyNearestReachableTypeIsNamed) {
  const struct {
    const char* what;
    double decays[3];
    double top_speed_1;
    double ratio;
    double move;
    int expected;
  } cases[] = {
      {"second type twice as far", {0.3, 0.45, 0.4506}, 1.0, 0.4502, 0.5, -1},
      {"equal decays", {0.3, 0.45, 0.45}, 1.0, 0.4502, 0.5, -1},
      {"type 1 nearest but too slow", {0.4, 0.44, 0.455}, 0.6, 0.445, 0.8, 2},
      {"type 1 fast enough", {0.4, 0.44, 0.455}, 0.6, 0.445, 0.5, -1},
  };
  for (const auto& c : cases) {
    OpponentScout scout;
    for (int id = 0; id < 3; ++id)
      scout.addType(typeOf(id, c.decays[id], id == 1 ? c.top_speed_1 : 1.0));
    Mover mover(scout, 5);
    mover.step(c.ratio, 15, c.move);
    EXPECT_EQ(c.expected, scout.verdict(5)) << c.what;
  }
}

// The last 15 ratios decide: once most point elsewhere the verdict moves.
// A change notice forgets the ratios and the position as well.
TEST(OpponentScoutTest, VerdictFollowsRecentRatiosAndANoticeForgetsAll) {
  OpponentScout scout = threeTypes();
  Mover mover(scout, 4);
  mover.step(0.5, 20);
  mover.step(0.45, 7);
  EXPECT_EQ(2, scout.verdict(4));
  const unsigned revision = scout.revision();
  mover.step(0.45);
  EXPECT_EQ(1, scout.verdict(4));
  EXPECT_NE(revision, scout.revision());
  std::ostringstream trace;
  for (int unum : {0, 4, 12}) scout.forget(unum, trace);
  EXPECT_EQ("opponent 4 changed type\n", trace.str());
  EXPECT_EQ(-1, scout.verdict(4));
  mover.step(0.45, 5);  // the first only places the player
  EXPECT_EQ(-1, scout.verdict(4));
  mover.step(0.45);
  EXPECT_EQ("opponent 4 type 2\nopponent 4 type 1\nopponent 4 type 1\n", mover.trace.str());
}

TEST(OpponentScoutTest, TypesTextListsNamedOpponentsWithinTheLength) {
  OpponentScout scout = threeTypes();
  EXPECT_EQ("(opponent_types)", scout.typesText(100));
  for (int unum : {11, 2, 10}) Mover(scout, unum).step(unum == 10 ? 0.4 : 0.5, 5);
  const std::string all = "(opponent_types (2 2) (10 0) (11 2))";
  EXPECT_EQ(all, scout.typesText(all.size()));
  EXPECT_EQ("(opponent_types (2 2) (10 0))", scout.typesText(all.size() - 1));
  EXPECT_EQ("(opponent_types)", scout.typesText(21));
  EXPECT_EQ("", scout.typesText(15));
}

}  // namespace
