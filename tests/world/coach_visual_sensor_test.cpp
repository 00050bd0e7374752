#include "world/coach_visual_sensor.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/recording.h"

namespace {

using PlayerT = CoachVisualSensor::PlayerT;

// Two views recorded from a real server (protocol 9.4, our team "Coachees"):
// exponent numbers, a pointing direction (Coachees 4) and a tackle (Opponents 6).
const char REAL_VIEW36[] =
    "(see_global 36 ((g r) 52.5 0) ((g l) -52.5 0) ((b) 0 0 0 0) ((p \"Coachees\" 1 goalie) -3 "
    "-37 0 0 0 0) ((p \"Coachees\" 2) -10 5 0 0 0 0) ((p \"Coachees\" 3) -9 -37 0 0 0 0) ((p "
    "\"Coachees\" 4) -12 -37 0 0 0 0 0) ((p \"Coachees\" 5) -15 -37 0 0 0 0) ((p \"Coachees\" 6) "
    "-18 -37 0 0 0 0) ((p \"Coachees\" 7) -21 -37 0 0 0 0) ((p \"Coachees\" 8) -24 -37 0 0 0 0) "
    "((p \"Coachees\" 9) -27 -37 0 0 0 0) ((p \"Coachees\" 10) -30 -37 0 0 0 0) ((p \"Coachees\" "
    "11) -33 -37 0 0 0 0) ((p \"Opponents\" 1 goalie) 3 -37 0 0 0 0) ((p \"Opponents\" 2) 10 -5 0 "
    "0 0 0) ((p \"Opponents\" 3) 9 -37 0 0 0 0) ((p \"Opponents\" 4) 12 -37 0 0 0 0) ((p "
    "\"Opponents\" 5) 15.9222 -37.0009 4.98827e-05 7.8888e-07 0 0) ((p \"Opponents\" 6) 18 -37 0 "
    "0 0 0 t) ((p \"Opponents\" 7) 21 -37 0 0 0 0) ((p \"Opponents\" 8) 24 -37 0 0 0 0) ((p "
    "\"Opponents\" 9) 27 -37 0 0 0 0) ((p \"Opponents\" 10) 30 -37 0 0 0 0) ((p \"Opponents\" 11) "
    "33 -37 0 0 0 0))";
const char REAL_VIEW41_BALL[] =
    "(see_global 41 ((g r) 52.5 0) ((g l) -52.5 0) ((b) 47.5249 0.0377463 2.37341 0.0354816) ((p "
    "\"Coachees\" 1 goalie) -3 -37 0 0 0 0))";

bool samePlayer(const PlayerT& a, const PlayerT& b) {
  return a.unum == b.unum && a.pos == b.pos && a.vel == b.vel && a.body == b.body &&
         a.neck == b.neck && a.pointto[0] == b.pointto[0] && a.pointto[1] == b.pointto[1] &&
         a.goalie == b.goalie && a.tackle == b.tackle;
}

std::string view(const std::string& players) {
  return "(see_global 10 ((g r) 52.5 0) ((g l) -52.5 0) ((b) 1.5 -2 0.25 -0.5)" + players + ")";
}

TEST(CoachVisualSensorTest, StartsEmptyAtZero) {
  const CoachVisualSensor sensor;
  EXPECT_EQ(GameTime(0, 0), sensor.gameTime());
  EXPECT_EQ(Vector2D(0, 0), sensor.ballPos());
  EXPECT_EQ(Vector2D(0, 0), sensor.ballVel());
  EXPECT_TRUE(sensor.ourPlayers().empty());
  EXPECT_TRUE(sensor.theirPlayers().empty());
}

TEST(CoachVisualSensorTest, UnreadPlayerHoldsMarkerValues) {
  const PlayerT p;
  EXPECT_EQ(1000, p.unum);
  EXPECT_EQ(Vector2D(Vector2D::ERROR_VALUE, Vector2D::ERROR_VALUE), p.pos);
  EXPECT_EQ(Vector2D(0, 0), p.vel);
  EXPECT_FALSE(p.goalie || p.tackle);
}

TEST(CoachVisualSensorTest, GoaliesOfBothTeamsAreSplitByTeamName) {
  CoachVisualSensor sensor;
  sensor.parse(
      "(see_global 0 ((g r) 52.5 0) ((g l) -52.5 0) ((b) 0 0 0 0) ((p \"A\" 1 goalie) -50 0 0 0 "
      "0 0) ((p \"B\" 1 goalie) 50 0 0 0 180 0))",
      "A", 8.0, GameTime(0, 3));
  EXPECT_EQ(GameTime(0, 3), sensor.gameTime());
  EXPECT_EQ(Vector2D(0, 0), sensor.ballPos());
  EXPECT_EQ(Vector2D(0, 0), sensor.ballVel());
  ASSERT_EQ(1u, sensor.ourPlayers().size());
  ASSERT_EQ(1u, sensor.theirPlayers().size());
  const PlayerT& ours = sensor.ourPlayers()[0];
  const PlayerT& theirs = sensor.theirPlayers()[0];
  EXPECT_EQ(1, ours.unum);
  EXPECT_TRUE(ours.goalie);
  EXPECT_EQ(Vector2D(-50, 0), ours.pos);
  EXPECT_EQ(1, theirs.unum);
  EXPECT_TRUE(theirs.goalie);
  EXPECT_EQ(Vector2D(50, 0), theirs.pos);
  EXPECT_EQ(180.0, theirs.body);
}

struct PlayerCase {
  const char* object;  // one player object of the newer form
  double pointto;
  bool tackle;
};

TEST(CoachVisualSensorTest, NewerFormReadsPointingAndTackleMarks) {
  const PlayerCase cases[] = {
      {" ((p \"A\" 7) 10 5 0.5 0 45 -30 90 t)", 90, true},
      {" ((p \"A\" 7) 10 5 0.5 0 45 -30 t)", 0, true},
      {" ((p \"A\" 7) 10 5 0.5 0 45 -30 90)", 90, false},
      {" ((p \"A\" 7) 10 5 0.5 0 45 -30)", 0, false},
      {" ((p \"A\" 7) 10 5 0.5 0 45 -30 -1.5e+02 tackle)", -150, true},
  };
  for (const PlayerCase& c : cases) {
    CoachVisualSensor sensor;
    sensor.parse(view(c.object).c_str(), "A", 9.4, GameTime(10, 0));
    ASSERT_EQ(1u, sensor.ourPlayers().size()) << c.object;
    const PlayerT& p = sensor.ourPlayers()[0];
    EXPECT_EQ(7, p.unum) << c.object;
    EXPECT_EQ(Vector2D(10, 5), p.pos) << c.object;
    EXPECT_EQ(Vector2D(0.5, 0), p.vel) << c.object;
    EXPECT_EQ(45.0, p.body) << c.object;
    EXPECT_EQ(-30.0, p.neck) << c.object;
    EXPECT_EQ(0.0, p.pointto[0]) << c.object;
    EXPECT_EQ(c.pointto, p.pointto[1]) << c.object;
    EXPECT_EQ(c.tackle, p.tackle) << c.object;
    EXPECT_FALSE(p.goalie) << c.object;
  }
}

TEST(CoachVisualSensorTest, OlderFormReadsBodyAndNeckBeforeVelocity) {
  CoachVisualSensor sensor;
  sensor.parse(view(" ((p \"A\" 9 goalie) 10 5 45 -30 0.5 0) ((p \"B\" 2) 1 2 3 4 5 6)").c_str(),
               "A", 6.0, GameTime(10, 0));
  EXPECT_EQ(Vector2D(1.5, -2), sensor.ballPos());
  EXPECT_EQ(Vector2D(0.25, -0.5), sensor.ballVel());
  ASSERT_EQ(1u, sensor.ourPlayers().size());
  const PlayerT& p = sensor.ourPlayers()[0];
  EXPECT_EQ(9, p.unum);
  EXPECT_TRUE(p.goalie);
  EXPECT_EQ(Vector2D(10, 5), p.pos);
  EXPECT_EQ(45.0, p.body);
  EXPECT_EQ(-30.0, p.neck);
  EXPECT_EQ(Vector2D(0.5, 0), p.vel);
  ASSERT_EQ(1u, sensor.theirPlayers().size());
  EXPECT_EQ(Vector2D(5, 6), sensor.theirPlayers()[0].vel);
}

// Below protocol 7 the older form, which has no pointing and no tackle.
TEST(CoachVisualSensorTest, NewerFormFromProtocolSevenOn) {
  const std::pair<double, bool> versions[] = {{5.0, false}, {6.99, false}, {7.0, true}};
  for (const auto& [version, newer] : versions) {
    CoachVisualSensor sensor;
    sensor.parse(view(" ((p \"A\" 3) 1 2 3 4 5 6 90 t)").c_str(), "A", version, GameTime(10, 0));
    ASSERT_EQ(1u, sensor.ourPlayers().size());
    const PlayerT& p = sensor.ourPlayers()[0];
    EXPECT_EQ(newer ? Vector2D(3, 4) : Vector2D(5, 6), p.vel) << version;
    EXPECT_EQ(newer ? 90.0 : 0.0, p.pointto[1]) << version;
    EXPECT_EQ(newer, p.tackle) << version;
  }
}

struct TeamCase {
  const char* ours;
  const char* theirs_in_view;
  bool teammate;
};

TEST(CoachVisualSensorTest, TeammatesMatchTheTeamNameExactly) {
  const TeamCase cases[] = {
      {"AB", "AB", true}, {"AB", "ABC", false}, {"ABC", "AB", false}, {"", "", true},
      {"", "A", false},   {"A", "", false},     {"ab", "AB", false},
  };
  for (const TeamCase& c : cases) {
    CoachVisualSensor sensor;
    const std::string object = std::string(" ((p \"") + c.theirs_in_view + "\" 4) 1 2 3 4 5 6)";
    sensor.parse(view(object).c_str(), c.ours, 9.0, GameTime(1, 0));
    EXPECT_EQ(c.teammate ? 1u : 0u, sensor.ourPlayers().size())
        << c.ours << " vs " << c.theirs_in_view;
    EXPECT_EQ(c.teammate ? 0u : 1u, sensor.theirPlayers().size())
        << c.ours << " vs " << c.theirs_in_view;
  }
}

TEST(CoachVisualSensorTest, LookReplyIsParsedLikeAView) {
  CoachVisualSensor sensor;
  sensor.parse(
      "(ok look 120 ((g r) 52.5 0) ((g l) -52.5 0) ((b) 3 4 0.1 0.2) ((p \"A\" 5) 1 2 0 0 0 0))",
      "A", 9.4, GameTime(120, 0));
  EXPECT_EQ(Vector2D(3, 4), sensor.ballPos());
  EXPECT_EQ(Vector2D(0.1, 0.2), sensor.ballVel());
  ASSERT_EQ(1u, sensor.ourPlayers().size());
  EXPECT_EQ(5, sensor.ourPlayers()[0].unum);
}

TEST(CoachVisualSensorTest, EachViewReplacesThePreviousOne) {
  CoachVisualSensor sensor;
  sensor.parse(REAL_VIEW36, "Coachees", 9.4, GameTime(36, 0));
  ASSERT_EQ(11u, sensor.ourPlayers().size());
  sensor.parse(view("").c_str(), "Coachees", 9.4, GameTime(37, 0));
  EXPECT_EQ(GameTime(37, 0), sensor.gameTime());
  EXPECT_EQ(Vector2D(1.5, -2), sensor.ballPos());
  EXPECT_TRUE(sensor.ourPlayers().empty());
  EXPECT_TRUE(sensor.theirPlayers().empty());
  // A view cut before the ball leaves no ball from the view before.
  sensor.parse("(see_global 38 ((g r) 52.5 0)", "Coachees", 9.4, GameTime(38, 0));
  EXPECT_EQ(Vector2D(0, 0), sensor.ballPos());
  EXPECT_EQ(Vector2D(0, 0), sensor.ballVel());
}

TEST(CoachVisualSensorTest, RealViewIsReadCompletely) {
  CoachVisualSensor sensor;
  sensor.parse(REAL_VIEW36, "Coachees", 9.4, GameTime(36, 0));
  ASSERT_EQ(11u, sensor.ourPlayers().size());
  ASSERT_EQ(11u, sensor.theirPlayers().size());
  for (int i = 0; i < 11; ++i) {
    EXPECT_EQ(i + 1, sensor.ourPlayers()[i].unum);
    EXPECT_EQ(i + 1, sensor.theirPlayers()[i].unum);
    EXPECT_EQ(i == 0, sensor.ourPlayers()[i].goalie);
    EXPECT_EQ(i == 0, sensor.theirPlayers()[i].goalie);
    EXPECT_EQ(i == 5, sensor.theirPlayers()[i].tackle);
    EXPECT_FALSE(sensor.ourPlayers()[i].tackle);
  }
  const PlayerT& moving = sensor.theirPlayers()[4];
  EXPECT_EQ(Vector2D(15.9222, -37.0009), moving.pos);
  EXPECT_EQ(Vector2D(4.98827e-05, 7.8888e-07), moving.vel);
  EXPECT_EQ(Vector2D(-12, -37), sensor.ourPlayers()[3].pos);

  sensor.parse(REAL_VIEW41_BALL, "Coachees", 9.4, GameTime(41, 0));
  EXPECT_EQ(Vector2D(47.5249, 0.0377463), sensor.ballPos());
  EXPECT_EQ(Vector2D(2.37341, 0.0354816), sensor.ballVel());
}

// Cutting a real view at every length must never read past the text, and
// must keep exactly the players whose objects were complete.
TEST(CoachVisualSensorTest, ViewCutShortKeepsPlayersRead) {
  const char* const views[] = {REAL_VIEW36, REAL_VIEW41_BALL};
  const double versions[] = {9.4, 6.0};
  for (const char* full_text : views) {
    for (const double version : versions) {
      CoachVisualSensor full;
      full.parse(full_text, "Coachees", version, GameTime(1, 0));
      const std::size_t length = std::strlen(full_text);
      std::size_t previous_count = 0;
      for (std::size_t cut = 0; cut <= length; ++cut) {
        // An exact-size copy, so a read past the cut is a read past the buffer.
        std::unique_ptr<char[]> text(new char[cut + 1]);
        std::memcpy(text.get(), full_text, cut);
        text[cut] = '\0';
        CoachVisualSensor sensor;
        sensor.parse(text.get(), "Coachees", version, GameTime(1, 0));

        const std::vector<PlayerT>& ours = sensor.ourPlayers();
        const std::vector<PlayerT>& theirs = sensor.theirPlayers();
        ASSERT_LE(ours.size(), full.ourPlayers().size()) << cut;
        ASSERT_LE(theirs.size(), full.theirPlayers().size()) << cut;
        for (std::size_t i = 0; i < ours.size(); ++i) {
          EXPECT_TRUE(samePlayer(full.ourPlayers()[i], ours[i])) << "cut " << cut << " ours " << i;
        }
        for (std::size_t i = 0; i < theirs.size(); ++i) {
          EXPECT_TRUE(samePlayer(full.theirPlayers()[i], theirs[i]))
              << "cut " << cut << " opp " << i;
        }
        const std::size_t count = ours.size() + theirs.size();
        EXPECT_GE(count, previous_count) << cut;
        previous_count = count;
      }
      EXPECT_EQ(full.ourPlayers().size() + full.theirPlayers().size(), previous_count);
    }
  }
}

TEST(CoachVisualSensorTest, MalformedNumbersAreBoundedAndCountAsZero) {
  CoachVisualSensor sensor;
  const std::string long_number(300, '7');
  sensor.parse(view(" ((p \"A\" " + long_number + ") " + long_number +
                    " 2 x 4 5 6) ((p \"A\" 8) 1 2 3 4 5 6)")
                   .c_str(),
               "A", 9.4, GameTime(1, 0));
  ASSERT_EQ(2u, sensor.ourPlayers().size());
  EXPECT_EQ(2147483647, sensor.ourPlayers()[0].unum);
  EXPECT_EQ(0.0, sensor.ourPlayers()[0].vel.x);  // "x" is no number
  EXPECT_EQ(8, sensor.ourPlayers()[1].unum);
  EXPECT_EQ(Vector2D(1, 2), sensor.ourPlayers()[1].pos);
}

TEST(CoachVisualSensorTest, NullOrEmptyInputLeavesAnEmptyView) {
  CoachVisualSensor sensor;
  sensor.parse(REAL_VIEW36, "Coachees", 9.4, GameTime(36, 0));
  sensor.parse(nullptr, nullptr, 9.4, GameTime(37, 0));
  EXPECT_TRUE(sensor.ourPlayers().empty());
  sensor.parse("", "Coachees", 9.4, GameTime(38, 0));
  EXPECT_TRUE(sensor.theirPlayers().empty());
  EXPECT_EQ(GameTime(38, 0), sensor.gameTime());
}

TEST(CoachVisualSensorTest, RepeatedViewsReuseThePlayerStorage) {
  CoachVisualSensor sensor;
  sensor.parse(REAL_VIEW36, "Coachees", 9.4, GameTime(36, 0));
  const PlayerT* ours = sensor.ourPlayers().data();
  const PlayerT* theirs = sensor.theirPlayers().data();
  EXPECT_EQ(11u, sensor.ourPlayers().capacity());
  for (int i = 0; i < 100; ++i) {
    sensor.parse(REAL_VIEW36, "Coachees", 9.4, GameTime(37 + i, 0));
  }
  EXPECT_EQ(ours, sensor.ourPlayers().data());
  EXPECT_EQ(theirs, sensor.theirPlayers().data());
}

TEST(CoachVisualSensorTest, ShowWritesBallAndPlayersWithNormalisedFace) {
  CoachVisualSensor sensor;
  sensor.parse(view(" ((p \"A\" 2 goalie) 10 5 0.5 0 150 20 90 t) ((p \"B\" 11) -1 2.5 0 -0.5 "
                    "170 20)")
                   .c_str(),
               "A", 9.4, GameTime(10, 2));
  std::ostringstream os;
  EXPECT_EQ(&os, &sensor.show(os));
  EXPECT_EQ(
      "Coach Visual [10, 2] ball: (1.5, -2)(0.25, -0.5)\n"
      "Our: 2(10, 5)(0.5, 0) body=150 neck=20 face=170 pointto=(0, 90) goalie=1 tackle=1\n"
      "Opp: 11(-1, 2.5)(0, -0.5) body=170 neck=20 face=-170 pointto=(0, 0) goalie=0 tackle=0\n",
      os.str());
}

// Every global view of the recorded matches.
TEST(CoachVisualSensorTest, RecordedMatchViewsAllHaveTwentyTwoPlayers) {
  int views = 0;
  for (const char* file : {"v9.4_match.jsonl", "v7_match.jsonl"}) {
    for (const std::string& text : recordedMessages(file)) {
      if (text.compare(0, 12, "(see_global ") != 0) continue;
      CoachVisualSensor sensor;
      sensor.parse(text.c_str(), "Coachees", 9.4, GameTime(0, 0));
      EXPECT_EQ(11u, sensor.ourPlayers().size()) << text;
      EXPECT_EQ(11u, sensor.theirPlayers().size()) << text;
      ++views;
    }
  }
  EXPECT_EQ(279 + 180, views);
}

}  // namespace
