#include "strategy/brenvo_coach.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "coach/udp_interface.h"
#include "param/coach_config.h"
#include "param/player_param.h"
#include "param/server_param.h"
#include "strategy/player_type.h"
#include "tests/coach/coach_test_support.h"
#include "tests/in_child.h"
#include "tests/serving_types.h"

namespace {

using coach_test::Capture;
using coach_test::Peer;
using coach_test::withNul;

PlayerType makeType(int id, double real_speed_max, double stamina_inc_max, double kickable_margin) {
  PlayerType t;
  t.id = id;
  t.real_speed_max = real_speed_max;
  t.stamina_inc_max = stamina_inc_max;
  t.kickable_margin = kickable_margin;
  return t;
}

class TestCoach : public BrenvoCoach {
 public:
  using BrenvoCoach::world;

  void connectTo(const Peer& peer) { ASSERT_TRUE(udp->socket().connect("127.0.0.1", peer.port())); }
  void add(const PlayerType& t) { world.insertPlayerType(t); }
};

int best(const std::vector<PlayerType>& types, const std::set<int>& used, double speed,
         double stamina) {
  std::vector<const PlayerType*> list;
  for (const PlayerType& t : types) list.push_back(&t);
  TestCoach coach;
  return coach.getBestSpeedType(list, used, speed, stamina);
}

TEST(GetBestSpeedTypeTest, LaterCandidateReplacesByMarginOrByStamina) {
  const PlayerType a = makeType(1, 1.25, 35, 0.75);
  const PlayerType b = makeType(2, 1.22, 33, 0.85);
  const PlayerType c = makeType(3, 1.21, 40.5, 0.72);
  // Wider margin at a stamina increase no more than 3.0 worse.
  EXPECT_EQ(2, best({a, b}, {}, 1.19, 31.499999999999996));
  // Stamina more than 5.0 better at a margin no more than 0.05 narrower.
  EXPECT_EQ(3, best({a, c}, {}, 1.19, 31.499999999999996));
  // Used types are never offered again.
  EXPECT_EQ(1, best({a, b}, {2}, 1.19, 31.499999999999996));
  EXPECT_EQ(0, best({a, b}, {1, 2}, 1.19, 31.499999999999996));
}

TEST(GetBestSpeedTypeTest, FloorAndStrictThresholds) {
  // A margin of 0.64 is neither above 0.7 nor above 0.65: never a first pick.
  EXPECT_EQ(0, best({makeType(1, 1.3, 45, 0.64)}, {}, 1.0, 20.0));
  // Above 0.65 the first pick needs a stamina increase above 27.5.
  EXPECT_EQ(0, best({makeType(1, 1.3, 27.5, 0.68)}, {}, 1.0, 20.0));
  EXPECT_EQ(1, best({makeType(1, 1.3, 27.6, 0.68)}, {}, 1.0, 20.0));
  // Speed and stamina thresholds are strict.
  EXPECT_EQ(0, best({makeType(1, 1.19, 40, 0.8)}, {}, 1.19, 31.499999999999996));
  EXPECT_EQ(0, best({makeType(1, 1.2, 38.25, 0.8)}, {}, 1.15, 38.25));
  // The threshold just below 31.5 lets a type sitting on 31.5 through.
  EXPECT_EQ(1, best({makeType(1, 1.2, 31.5, 0.8)}, {}, 1.19, 31.499999999999996));
  // The threshold just below 1.09 lets a type sitting on 1.09 through.
  EXPECT_EQ(1, best({makeType(1, 1.09, 41, 0.8)}, {}, 1.0899999999999999, 40.5));
  EXPECT_EQ(0, best({makeType(1, 1.09, 41, 0.8)}, {}, 1.09, 40.5));
}

class SubstitutionTest : public ::testing::Test {
 protected:
  void SetUp() override { ServerParam::instance().setDefaultParam(); }
  void TearDown() override { ServerParam::instance().setDefaultParam(); }

  // Runs a substitution and returns the trace; the datagrams go to peer.
  std::string run(TestCoach& coach,
                  void (BrenvoCoach::*policy)() = &BrenvoCoach::doFirstSubstitute) {
    Capture out(std::cout);
    (coach.*policy)();
    return out.str();
  }
  Peer peer;
};

TEST_F(SubstitutionTest, EveryGroupServedWithTraceInterleavedWithCommands) {
  TestCoach coach;
  coach.connectTo(peer);
  coach.add(makeType(0, 1.0, 45, 0.7));
  for (const ServingType& t : SERVING_TYPES) {
    coach.add(makeType(t.id, t.real_speed_max, t.stamina_inc_max, t.kickable_margin));
  }
  EXPECT_EQ(SERVING_TRACE, run(coach));
  std::vector<std::string> expected;
  for (const auto& c : SERVING_CHANGES)
    expected.push_back(withNul(changeCommand(c.first, c.second)));
  EXPECT_EQ(expected, peer.takeAll());
}

TEST_F(SubstitutionTest, StaminaFloorIsComputedInDouble) {
  TestCoach coach;
  coach.add(makeType(1, 1.2, 29.7, 0.8));
  coach.add(makeType(2, 1.2, 29.71, 0.8));
  const std::string trace = run(coach);
  EXPECT_EQ(0u, trace.find("candidate type size 1\ncandidate 2 "));
}

TEST_F(SubstitutionTest, EqualSpeedsRankByStaminaThenById) {
  TestCoach coach;
  coach.add(makeType(1, 1.05, 35, 0.5));
  coach.add(makeType(2, 1.1, 30, 0.5));
  coach.add(makeType(3, 1.1, 40, 0.5));
  coach.add(makeType(4, 1.1, 30, 0.5));
  EXPECT_EQ(
      "candidate type size 4\n"
      "candidate 3  max_speed = 1.1  stam_inc = 40  kmargin = 0.5\n"
      "candidate 2  max_speed = 1.1  stam_inc = 30  kmargin = 0.5\n"
      "candidate 4  max_speed = 1.1  stam_inc = 30  kmargin = 0.5\n"
      "candidate 1  max_speed = 1.05  stam_inc = 35  kmargin = 0.5\n",
      run(coach));
}

TEST_F(SubstitutionTest, NothingQualifiesNothingSent) {
  TestCoach coach;
  coach.connectTo(peer);
  coach.add(makeType(0, 1.0, 45, 0.7));
  coach.add(makeType(7, 1.3, 45, 0.9));  // ids above 6 are never looked at
  EXPECT_EQ("candidate type size 0\n", run(coach));
  EXPECT_TRUE(peer.takeAll().empty());
}

TEST_F(SubstitutionTest, TypeTakenByOneGroupIsNeverOfferedAgain) {
  TestCoach coach;
  coach.connectTo(peer);
  coach.add(makeType(1, 1.25, 45, 0.9));
  EXPECT_EQ(
      "candidate type size 1\n"
      "candidate 1  max_speed = 1.25  stam_inc = 45  kmargin = 0.9\n"
      "change player 9 to type 1\n"
      "change player 10 to type 1\n"
      "change player 11 to type 1\n",
      run(coach));
  EXPECT_EQ(3u, peer.takeAll().size());
}

class RolesTest : public SubstitutionTest {
 protected:
  // With the roles policy the world model keeps every type announced.
  void SetUp() override {
    SubstitutionTest::SetUp();
    CoachConfig::instance().substitution_policy = "roles";
    PlayerParam::instance().player_types = 19;
  }
  void TearDown() override {
    CoachConfig::instance().setDefaultParam();
    PlayerParam::instance().setDefaultParam();
    SubstitutionTest::TearDown();
  }
  // Types 1 to count, each a little slower than the one before.
  static void addTypes(TestCoach& coach, int count) {
    for (int id = 0; id <= count; ++id) coach.add(makeType(id, 1.2 - 0.01 * id, 45, 0.7));
  }
  // The changes as "unum:type ..."; every trace line has its datagram, in order.
  std::string changes(TestCoach& coach, int pt_max) {
    PlayerParam::instance().pt_max = pt_max;
    std::istringstream trace(run(coach, &BrenvoCoach::doRolesSubstitute));
    std::vector<std::string> expected;
    std::string line, result;
    int unum = 0, type = 0;
    while (std::getline(trace, line)) {
      if (std::sscanf(line.c_str(), "change player %d to type %d", &unum, &type) != 2) continue;
      result += (result.empty() ? "" : " ") + std::to_string(unum) + ":" + std::to_string(type);
      expected.push_back(withNul("(change_player_type " + std::to_string(unum) + " " +
                                 std::to_string(type) + ")"));
    }
    EXPECT_EQ(expected, peer.takeAll());
    return result;
  }
};

TEST_F(RolesTest, PlayersTakeTheBestTypesInGroupOrderWithinPtMax) {
  const struct {
    int types, pt_max;
    const char* changes;
  } cases[] = {
      {18, 1, "9:1 10:2 11:3 2:4 3:5 6:6 4:7 5:8 7:9 8:10"},
      {18, 2, "9:1 10:1 11:2 2:2 3:3 6:3 4:4 5:4 7:5 8:5"},
      {6, 3, "9:1 10:1 11:1 2:2 3:2 6:2 4:3 5:3 7:3 8:4"},
      {3, 1, "9:1 10:2 11:3"},  // the rest is left to the server
      {6, 0, ""},
  };
  for (const auto& c : cases) {
    TestCoach coach;
    coach.connectTo(peer);
    addTypes(coach, c.types);
    EXPECT_EQ(c.changes, changes(coach, c.pt_max)) << c.types << " types, pt_max " << c.pt_max;
  }
}

TEST_F(RolesTest, RanksLikeTheClassicPolicyWithoutItsSpeedFloor) {
  TestCoach coach;
  coach.connectTo(peer);
  coach.add(makeType(1, 0.9, 40, 0.6));
  coach.add(makeType(2, 0.9, 45, 0.6));
  coach.add(makeType(3, 1.2, 29.7, 0.9));  // recovers too slowly: 29.7 < 0.66 * 45
  coach.add(makeType(4, 0.9, 45, 0.6));
  EXPECT_EQ("9:2 10:4 11:1", changes(coach, 1));
}

TEST_F(RolesTest, TypesHeldAlreadyCountAgainstPtMax) {
  TestCoach coach;
  coach.connectTo(peer);
  addTypes(coach, 18);
  coach.world.changeState().parse("(ok change_player_type 5 1)", Referee::BEFORE_KICK_OFF,
                                  GameTime(0, 1));
  // Type 1 has room again once player 5 has moved on to type 9.
  EXPECT_EQ("9:2 10:3 11:4 2:5 3:6 6:7 4:8 5:9 7:1 8:10", changes(coach, 1));
}

// The hook acts once, on the first tick at cycle 0 with more than 10 stops;
// it remembers that in a function-local static, so the checks run in a child.
TEST_F(SubstitutionTest, RunsOnceAfterTenStoppedStepsAtCycleZero) {
  inChild([this] {
    TestCoach coach;
    coach.connectTo(peer);
    coach.add(makeType(1, 1.25, 45, 0.9));
    Capture out(std::cout);
    coach.world.setTime(GameTime(0, 10));
    coach.doSubstitute();
    coach.world.setTime(GameTime(3, 11));
    coach.doSubstitute();
    EXPECT_EQ("", out.str());
    coach.world.setTime(GameTime(0, 11));
    coach.doSubstitute();
    EXPECT_NE(std::string::npos, out.str().find("change player 11 to type 1\n"));
    const std::string once = out.str();
    coach.world.setTime(GameTime(0, 12));
    TestCoach another;
    another.connectTo(peer);
    another.add(makeType(1, 1.25, 45, 0.9));
    another.world.setTime(GameTime(0, 12));
    coach.doSubstitute();
    another.doSubstitute();  // once for the whole process
    EXPECT_EQ(once, out.str());
    EXPECT_EQ(3u, peer.takeAll().size());
  });
}

}  // namespace
