#include "world/opponent_scout.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "strategy/player_type.h"

namespace {

using PlayerT = CoachVisualSensor::PlayerT;

// The lines of a recording in tests/data/, read through zlib so that a
// compressed one reads like a plain one.
std::vector<std::string> dataLines(const std::string& name) {
  std::vector<std::string> lines;
  gzFile in = gzopen((std::string(BRENVO_SOURCE_DIR) + "/tests/data/" + name).c_str(), "rb");
  if (in == nullptr) return lines;
  std::string line;
  char buffer[4096];
  while (gzgets(in, buffer, sizeof buffer) != nullptr) {
    line += buffer;
    if (line.back() != '\n') continue;
    line.pop_back();
    lines.push_back(line);
    line.clear();
  }
  gzclose(in);
  return lines;
}

// A recording of a real server replayed, its change notices passed on.
// After every view no verdict may differ from the true type of that moment
// (the truth file lists the opponents' types in the order of their notices).
// A cycle of motion is a view of the cycle after the last one in which the
// opponent moved at least 0.1 m, away from the pitch's limit; after each
// notice, and from the start, every opponent is named within 30 of them,
// except those whose type has a twin whose decay the views cannot tell
// apart.
TEST(OpponentScoutTest, RealMatchesNameEveryOpponentSoonAndNeverWrongly) {
  const struct {
    const char* recording;
    const char* truth;
    std::size_t notices;
    int twins[2];  // types that may stay unnamed
  } cases[] = {
      {"moving_v9.4_synch.txt", "moving_v9.4_synch.truth.json", 22, {-1, -1}},
      {"sprint_v9.4_synch.txt.gz", "sprint_v9.4_synch.truth.json", 23, {-1, -1}},
      {"close_v9.4_synch.txt.gz", "close_v9.4_synch.truth.json", 23, {8, 16}},
  };
  for (const auto& c : cases) {
    std::vector<std::pair<int, int>> changes;  // unum, type
    std::string truth_text;
    for (const std::string& line : dataLines(c.truth)) truth_text += line;
    for (std::size_t at = 0; (at = truth_text.find("\"unum\":", at)) != std::string::npos;) {
      const std::size_t type_at = truth_text.find("\"type\":", at);
      changes.emplace_back(std::atoi(truth_text.c_str() + at + 7),
                           std::atoi(truth_text.c_str() + type_at + 7));
      at = type_at;
    }
    ASSERT_EQ(c.notices, changes.size()) << c.truth;
    const std::vector<std::string> lines = dataLines(c.recording);
    ASSERT_GT(lines.size(), 1000u) << c.recording;
    OpponentScout scout;
    CoachVisualSensor sensor;
    std::ostringstream trace;
    int truth[12] = {}, moved[12] = {}, named_after[12];  // -1: not named
    std::fill(named_after, named_after + 12, -1);
    Vector2D last[12];
    std::size_t next = 0;
    int last_cycle = -1;
    // Every notice and the end close a time with one type: was it named soon?
    auto check = [&](int u) {
      const bool twin = truth[u] == c.twins[0] || truth[u] == c.twins[1];
      if (twin || moved[u] < 30) return;
      EXPECT_TRUE(named_after[u] >= 0 && named_after[u] <= 30)
          << c.recording << ": opponent " << u << " named after " << named_after[u];
    };
    for (const std::string& line : lines) {
      int unum = 0, type = 0;
      if (line.rfind("(player_type ", 0) == 0) scout.addType(PlayerType(line.c_str(), 9.4));
      if (std::sscanf(line.c_str(), "(change_player_type %d %d", &unum, &type) == 1) {
        ASSERT_LT(next, changes.size());
        ASSERT_EQ(changes[next].first, unum);
        check(unum);
        truth[unum] = changes[next++].second;
        scout.forget(unum, trace);
        moved[unum] = 0;
        named_after[unum] = -1;
      }
      if (line.rfind("(see_global ", 0) != 0) continue;
      const int cycle = std::atoi(line.c_str() + 12);
      sensor.parse(line.c_str(), "Coachees", 9.4, GameTime(cycle, 0));
      scout.observe(sensor.theirPlayers(), GameTime(cycle, 0), trace);
      for (const PlayerT& p : sensor.theirPlayers()) {
        const bool inside = std::fabs(p.pos.x) < 57.499 && std::fabs(p.pos.y) < 38.999;
        if (cycle == last_cycle + 1 && inside && (p.pos - last[p.unum]).length() >= 0.1) {
          ++moved[p.unum];
        }
        last[p.unum] = p.pos;
        const int v = scout.verdict(p.unum);
        ASSERT_TRUE(v == -1 || v == truth[p.unum])
            << c.recording << ": " << p.unum << " named " << v << " at " << cycle;
        if (v >= 0 && named_after[p.unum] < 0) named_after[p.unum] = moved[p.unum];
      }
      last_cycle = cycle;
    }
    EXPECT_EQ(changes.size(), next) << c.recording;
    for (int u = 1; u <= 11; ++u) check(u);
  }
}

// Half the last printed step of a number, and the decays a move allows
// from its printed numbers, plain and in exponent form.
TEST(OpponentScoutTest, ASampleBoundsTheDecayByThePrintedDigits) {
  const struct {
    const char* text;
    double half;
  } steps[] = {{"-12.3", 5e-5},        {"1.54543e-05", 5e-11}, {"0", 0.0},
               {"100", 5e-4},          {"99.9999", 5e-5},      {"1e-05", 5e-11},
               {"9.99999e-06", 5e-12}, {"0.1", 5e-7},          {"-0.0999999", 5e-8}};
  for (const auto& c : steps) {
    EXPECT_DOUBLE_EQ(c.half, OpponentScout::halfStep(std::strtod(c.text, nullptr))) << c.text;
  }
  const struct {
    const char* what;
    double from[2], to[2], vel[2];
    bool bounded;
    double lo, hi;  // the extreme ratios of the boxes
  } moves[] = {
      {"plain, across the y axis",
       {-12.3, 4.5},
       {-12.8, 4.5},
       {-0.2, 0},
       true,
       0.1999995 / 0.5001,
       0.2000005 / 0.4999},
      {"exponent form bounds tighter",
       {20, -3.1e-05},
       {20.3, 1e-05},
       {0.15, 2.05e-05},
       true,
       (2.05e-05 - 5e-11) / (4.1e-05 + 1e-10),
       (2.05e-05 + 5e-11) / (4.1e-05 - 1e-10)},
      {"a printed 0 is exact", {10, 5}, {10.3, 5.4}, {0.135, 0}, false, 0, 0},
      {"components disagree", {10, 5}, {10.3, 5.4}, {0.135, 0.16}, false, 0, 0},
  };
  for (const auto& c : moves) {
    OpponentScout::Interval decays{0, 0};
    ASSERT_EQ(c.bounded, OpponentScout::decayInterval(Vector2D(c.from[0], c.from[1]),
                                                      Vector2D(c.to[0], c.to[1]),
                                                      Vector2D(c.vel[0], c.vel[1]), &decays))
        << c.what;
    if (!c.bounded) continue;
    // Guaranteed, and no wider than the rounding of the arithmetic needs.
    EXPECT_TRUE(decays.lo <= c.lo && c.lo - decays.lo < 1e-8) << c.what << " " << decays.lo;
    EXPECT_TRUE(decays.hi >= c.hi && decays.hi - c.hi < 1e-8) << c.what << " " << decays.hi;
  }
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

// A move that is no clean sample is left out: had it counted, type 1 would
// be named at once (the first five), or a stray would rule it out (the
// last three, which no announced type explains).
TEST(OpponentScoutTest, MovesThatAreNoCleanSampleCountForNothing) {
  const struct {
    const char* what;
    void (*disturb)(Mover&);
  } cases[] = {
      {"under 0.1", [](Mover& m) { m.move(0.05, 0.05, 0.0225, 0.0225); }},
      {"skipped cycle", [](Mover& m) { m.move(0.3, 0.4, 0.135, 0.18, 2); }},
      {"standing clock", [](Mover& m) { m.move(0.3, 0.4, 0.135, 0.18, 0); }},
      {"stopped at the pitch's edge",
       [](Mover& m) {
         m.move(57.3 - m.x, 0, 0, 0, 0);
         m.move(0.2, 0, 0.09, 0);
       }},
      {"cycle 2147483647 after a gap, then cycle 0",
       [](Mover& m) {
         m.cycle = 2147483646;
         m.move(0.3, 0.4, 0.135, 0.18);
         m.cycle = -1;
       }},
      {"velocity across the move", [](Mover& m) { m.move(0.3, 0.4, 0.155, 0.165); }},
      {"collision", [](Mover& m) { m.move(0.3, 0.4, -0.03, -0.04); }},
      {"no announced decay", [](Mover& m) { m.move(0.3, 0.4, 0.27, 0.36); }},
  };
  for (const auto& c : cases) {
    OpponentScout scout = threeTypes();
    Mover mover(scout, 7);
    mover.step(0.45);
    c.disturb(mover);
    EXPECT_EQ(-1, scout.verdict(7)) << c.what;
    mover.step(0.5);  // a stray
    mover.step(0.45);
    EXPECT_EQ(1, scout.verdict(7)) << c.what;
    EXPECT_EQ("opponent 7 type 1\n", mover.trace.str()) << c.what;
  }
}

// Two stray samples rule a type out (one is forgiven above). Types closer
// than the samples' bounds stay both possible; a decay is compared as
// printed, to six digits (two moves near the centre of a type 0.4950814
// printed 0.495081), and a move beyond a type's reachable speed rules it
// out no more.
TEST(OpponentScoutTest, OnlyTheOneTypeTheSamplesAllowIsNamed) {
  const struct {
    const char* what;
    double decays[3];
    void (*moves)(Mover&);
    int expected;
  } cases[] = {
      {"two strays", {0.4, 0.45, 0.5}, [](Mover& m) { m.step(0.5, 2), m.step(0.45, 10); }, -1},
      {"5e-6 apart", {0.4, 0.45, 0.450005}, [](Mover& m) { m.step(0.45, 30); }, -1},
      {"equal decays", {0.3, 0.45, 0.45}, [](Mover& m) { m.step(0.45, 30); }, -1},
      {"faster than type 1 reaches", {0.4, 0.45, 0.5}, [](Mover& m) { m.step(0.45, 2, 1.2); }, 1},
      {"decay as printed",
       {0.495081, 0.495066, 0.3},
       [](Mover& m) {
         m.move(0.356162 - m.x, 0.281254 - m.y, 0, 0, 0);
         m.move(0.492186, -0.085271, 0.243673, -0.0422162);
         m.move(-0.492186, 0.085271, -0.243673, 0.0422162);
       },
       0},
  };
  for (const auto& c : cases) {
    OpponentScout scout;
    for (int id = 0; id < 3; ++id) scout.addType(typeOf(id, c.decays[id], 0.6));
    Mover mover(scout, 5);
    c.moves(mover);
    EXPECT_EQ(c.expected, scout.verdict(5)) << c.what;
  }
}

// A verdict stays while its type stays possible; two samples against it
// withdraw it, and a change notice forgets everything, position included.
TEST(OpponentScoutTest, AVerdictIsWithdrawnBySamplesAgainstItOrANotice) {
  OpponentScout scout = threeTypes();
  Mover mover(scout, 4);
  mover.step(0.45, 29);
  mover.step(0.5);
  EXPECT_EQ(1, scout.verdict(4));
  EXPECT_EQ("(opponent_types (4 1))", scout.typesText(100));
  unsigned revision = scout.revision();
  mover.step(0.5);
  EXPECT_EQ(-1, scout.verdict(4));
  EXPECT_NE(revision, scout.revision());
  EXPECT_EQ("(opponent_types)", scout.typesText(100));
  mover.step(0.5, 26);
  EXPECT_EQ(-1, scout.verdict(4));  // type 2 is still ruled out by two
  mover.step(0.5);
  EXPECT_EQ(2, scout.verdict(4));
  revision = scout.revision();
  std::ostringstream trace;
  for (int unum : {0, 4, 12}) scout.forget(unum, trace);
  EXPECT_EQ("opponent 4 changed type\n", trace.str());
  EXPECT_EQ(-1, scout.verdict(4));
  EXPECT_NE(revision, scout.revision());
  mover.step(0.45, 2);  // the first only places the player
  EXPECT_EQ(-1, scout.verdict(4));
  mover.step(0.45);
  EXPECT_EQ("opponent 4 type 1\nopponent 4 type unknown\nopponent 4 type 2\nopponent 4 type 1\n",
            mover.trace.str());
}

TEST(OpponentScoutTest, TypesTextListsNamedOpponentsWithinTheLength) {
  OpponentScout scout = threeTypes();
  EXPECT_EQ("(opponent_types)", scout.typesText(100));
  for (int unum : {11, 2, 10}) Mover(scout, unum).step(unum == 10 ? 0.4 : 0.5, 2);
  const std::string all = "(opponent_types (2 2) (10 0) (11 2))";
  EXPECT_EQ(all, scout.typesText(all.size()));
  EXPECT_EQ("(opponent_types (2 2) (10 0))", scout.typesText(all.size() - 1));
  EXPECT_EQ("(opponent_types)", scout.typesText(16));
  EXPECT_EQ("", scout.typesText(15));
}

}  // namespace
