#include "strategy/player_type.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>

#include "geom/angle_deg.h"
#include "geom/vector_2d.h"
#include "param/server_param.h"
#include "tests/param/server_messages.h"
#include "tests/stream_capture.h"

namespace {

using Captured = StreamCapture;

// Types 0, 1 and 17 as a real server announced them, in both forms.
const char* const NAMED[] = {
    "(player_type (id 0)(player_speed_max 1.05)(stamina_inc_max 45)(player_decay 0.4)"
    "(inertia_moment 5)(dash_power_rate 0.006)(player_size 0.3)(kickable_margin 0.7)"
    "(kick_rand 0.1)(extra_stamina 50)(effort_max 1)(effort_min 0.6))",
    "(player_type (id 1)(player_speed_max 1.05)(stamina_inc_max 48.3723)(player_decay 0.345468)"
    "(inertia_moment 3.6367)(dash_power_rate 0.00543794)(player_size 0.3)(kickable_margin "
    "0.795645)(kick_rand 0.195645)(extra_stamina 72.7792)(effort_max 0.908883)(effort_min "
    "0.508883))",
    "(player_type (id 17)(player_speed_max 1.05)(stamina_inc_max 46.5233)(player_decay "
    "0.399203)(inertia_moment 4.98009)(dash_power_rate 0.00574611)(player_size 0.3)"
    "(kickable_margin 0.694847)(kick_rand 0.0948469)(extra_stamina 97.1789)(effort_max "
    "0.811285)(effort_min 0.411285))",
};
const char* const POSITIONAL[] = {
    "(player_type 0 1.05 45 0.4 5 0.006 0.3 0.7 0.1 50 1 0.6)",
    "(player_type 1 1.05 48.3723 0.345468 3.6367 0.00543794 0.3 0.795645 0.195645 72.7792 "
    "0.908883 0.508883)",
    "(player_type 17 1.05 46.5233 0.399203 4.98009 0.00574611 0.3 0.694847 0.0948469 97.1789 "
    "0.811285 0.411285)",
};

void expectSameType(const PlayerType& a, const PlayerType& b) {
  EXPECT_EQ(a.id, b.id);
  EXPECT_EQ(a.player_speed_max, b.player_speed_max);
  EXPECT_EQ(a.stamina_inc_max, b.stamina_inc_max);
  EXPECT_EQ(a.player_decay, b.player_decay);
  EXPECT_EQ(a.inertia_moment, b.inertia_moment);
  EXPECT_EQ(a.dash_power_rate, b.dash_power_rate);
  EXPECT_EQ(a.player_size, b.player_size);
  EXPECT_EQ(a.kickable_margin, b.kickable_margin);
  EXPECT_EQ(a.kick_rand, b.kick_rand);
  EXPECT_EQ(a.extra_stamina, b.extra_stamina);
  EXPECT_EQ(a.effort_max, b.effort_max);
  EXPECT_EQ(a.effort_min, b.effort_min);
  EXPECT_EQ(a.kickable_area, b.kickable_area);
  EXPECT_EQ(a.real_speed_max, b.real_speed_max);
  EXPECT_EQ(a.cycles_to_reach_max_speed, b.cycles_to_reach_max_speed);
  EXPECT_EQ(a.dist_to_reach_max_speed, b.dist_to_reach_max_speed);
}

class PlayerTypeTest : public testing::Test {
 protected:
  void SetUp() override { ServerParam::instance().setDefaultParam(); }
  void TearDown() override { ServerParam::instance().setDefaultParam(); }

  // The default type of the default server parameters.
  PlayerType defaultType() const { return PlayerType(ServerParam::instance()); }

  // Builds from text and returns what went to standard error.
  static std::string parseErrors(const char* message, const double& version, PlayerType* type) {
    Captured err(std::cerr);
    *type = PlayerType(message, version);
    return err.str();
  }
};

TEST_F(PlayerTypeTest, DefaultTypeDerivesTopSpeedAndDashFigures) {
  const PlayerType t = defaultType();
  // It is the type 0 that a server with these parameters announces (its
  // effort_max is effort_init).
  PlayerType announced;
  EXPECT_EQ("", parseErrors("(player_type (id 0)(player_speed_max 1.2)(stamina_inc_max 45)"
                            "(player_decay 0.4)(inertia_moment 5)(dash_power_rate 0.006)"
                            "(player_size 0.3)(kickable_margin 0.7)(kick_rand 0)"
                            "(extra_stamina 0)(effort_max 1)(effort_min 0.6))",
                            9.4, &announced));
  expectSameType(announced, t);
  EXPECT_DOUBLE_EQ(1.085, t.kickable_area);
  // Terminal speed 0.6 / (1 - 0.4) = 1.0 is below the 1.2 limit.
  EXPECT_DOUBLE_EQ(1.0, t.real_speed_max);
  EXPECT_DOUBLE_EQ(1.44, t.player_speed_max2);
  EXPECT_DOUBLE_EQ(1.0, t.real_speed_max2);
  EXPECT_EQ(6, t.cycles_to_reach_max_speed);
  EXPECT_NEAR(5.34016, t.dist_to_reach_max_speed, 1e-12);
}

TEST_F(PlayerTypeTest, TopSpeedIsTheLimitWhenTerminalSpeedExceedsIt) {
  ServerParam::instance().dash_power_rate = 0.01;  // terminal speed 1.667
  const PlayerType t = defaultType();
  EXPECT_DOUBLE_EQ(1.2, t.real_speed_max);
  // The dash loop compares with the terminal speed, not the limit (which
  // the second dash would pass already).
  EXPECT_EQ(6, t.cycles_to_reach_max_speed);
}

TEST_F(PlayerTypeTest, DashLoopStopsAfterTwentyWithoutTheTerminalTerm) {
  ServerParam::instance().player_decay = 0.9;  // approaches 6.0 slowly
  const PlayerType t = defaultType();
  EXPECT_EQ(20, t.cycles_to_reach_max_speed);
  // The n-th dash reaches 6 (1 - 0.9^n); twenty of them cover this sum.
  EXPECT_NEAR(120.0 - 54.0 * (1.0 - std::pow(0.9, 20)), t.dist_to_reach_max_speed, 1e-9);
}

TEST_F(PlayerTypeTest, NamedAndPositionalFormsOfRealMessagesAgree) {
  for (int i = 0; i < 3; ++i) {
    PlayerType named, positional;
    EXPECT_EQ("", parseErrors(NAMED[i], 9.4, &named)) << NAMED[i];
    EXPECT_EQ("", parseErrors(POSITIONAL[i], 7.0, &positional)) << POSITIONAL[i];
    expectSameType(named, positional);
  }
  PlayerType t;
  parseErrors(NAMED[1], 9.4, &t);
  EXPECT_EQ(1, t.id);
  EXPECT_DOUBLE_EQ(48.3723, t.stamina_inc_max);
  EXPECT_DOUBLE_EQ(0.795645, t.kickable_margin);
  EXPECT_DOUBLE_EQ(0.508883, t.effort_min);
  EXPECT_DOUBLE_EQ(0.795645 + 0.3 + 0.085, t.kickable_area);
}

TEST_F(PlayerTypeTest, VersionEightSelectsTheNamedForm) {
  PlayerType t;
  EXPECT_EQ("", parseErrors(NAMED[1], 8.0, &t));
  EXPECT_EQ(1, t.id);
  // Below 8 the named text is read by position: nothing is a number.
  EXPECT_EQ("", parseErrors(NAMED[1], 7.9, &t));
  EXPECT_EQ(0, t.id);
  EXPECT_EQ(0.0, t.player_speed_max);
  // From 8 on the positional text has no first pair.
  EXPECT_EQ("id read error\n", parseErrors(POSITIONAL[1], 8.0, &t));
  EXPECT_EQ(0, t.id);
}

TEST_F(PlayerTypeTest, NamedFormTakesPairsInAnyOrderWithBlanksBetween) {
  PlayerType t;
  EXPECT_EQ("", parseErrors("(player_type (number 4) (effort_min 0.5)(player_speed_max 1.1)"
                            "\n(effort_min 0.45)  (kick_rand 0.2))",
                            9.4, &t));
  EXPECT_EQ(4, t.id);  // the first pair's name is not compared
  EXPECT_DOUBLE_EQ(1.1, t.player_speed_max);
  EXPECT_DOUBLE_EQ(0.45, t.effort_min);  // a repeated name overwrites
  EXPECT_DOUBLE_EQ(0.2, t.kick_rand);
  EXPECT_EQ(0.0, t.extra_stamina);
  EXPECT_EQ(0.0, t.stamina_inc_max);
}

struct BadNamedCase {
  const char* message;
  const char* errors;
  int id;
  double player_speed_max;
  double kick_rand;
};

TEST_F(PlayerTypeTest, NamedFormStopsAtTheFirstBadPairKeepingEarlierOnes) {
  const std::string long_name(5000, 'x');
  const std::string long_pair = "(player_type (id 3)(player_speed_max 1.1)(" + long_name + " 2)";
  const BadNamedCase cases[] = {
      {"(player_type)", "id read error\n", 0, 0, 0},
      {"", "id read error\n", 0, 0, 0},
      {"(player_type ", "id read error\n", 0, 0, 0},
      {"(player_type (id x))", "id read error\n", 0, 0, 0},
      {"(player_type (id", "id read error\n", 0, 0, 0},
      {"(player_type (id 3)(player_speed_max abc)(kick_rand 0.5))",
       "id read error: (player_speed_max abc)(kick_rand 0.5))\n", 3, 0, 0},
      {"(player_type (id 3)(player_speed_max 1.1)()", "id read error: ()\n", 3, 1.1, 0},
      {"(player_type (id 3)(player_speed_max 1.1)(speed 2)(kick_rand 0.5))",
       "player_type: param name error (speed 2)(kick_rand 0.5))\n", 3, 1.1, 0},
      // Names are compared whole.
      {"(player_type (id 3)(player_speed 1.1))",
       "player_type: param name error (player_speed 1.1))\n", 3, 0, 0},
      {"(player_type (id 3)(player_speed_maxx 1.1))",
       "player_type: param name error (player_speed_maxx 1.1))\n", 3, 0, 0},
      {long_pair.c_str(), nullptr, 3, 1.1, 0},
      // A pair or a message cut short ends the parse without a report.
      {"(player_type (id 3)(player_speed_max 1.1", "", 3, 1.1, 0},
      {"(player_type (id 3", "", 3, 0, 0},
      {"(player_type (id 3)(kick_rand 0.5) trailing", "", 3, 0, 0.5},
  };
  for (const BadNamedCase& c : cases) {
    PlayerType t;
    const std::string errors = parseErrors(c.message, 9.4, &t);
    if (c.errors != nullptr) {
      EXPECT_EQ(c.errors, errors) << c.message;
    } else {
      EXPECT_EQ("player_type: param name error (" + long_name + " 2)\n", errors);
    }
    EXPECT_EQ(c.id, t.id) << c.message;
    EXPECT_DOUBLE_EQ(c.player_speed_max, t.player_speed_max) << c.message;
    EXPECT_DOUBLE_EQ(c.kick_rand, t.kick_rand) << c.message;
  }
}

TEST_F(PlayerTypeTest, VersionNineteenTypesAreReadInFullAndQuietly) {
  const std::vector<std::string> messages = startV19Messages();
  PlayerType t;
  for (int id = 0; id < 18; ++id) {
    EXPECT_EQ("", parseErrors(messages.at(id + 3).c_str(), 19, &t)) << id;
    EXPECT_EQ(id, t.id);
  }
  EXPECT_DOUBLE_EQ(0.440312, t.player_decay);
  EXPECT_DOUBLE_EQ(0.620398, t.kickable_margin);
  EXPECT_DOUBLE_EQ(0.531206, t.effort_min);  // the last field kept
  // Only the newer servers' fields pass, wherever they come.
  EXPECT_EQ("", parseErrors("(player_type (id 2)(kick_power_rate 1)(player_decay 0.5))", 19, &t));
  EXPECT_DOUBLE_EQ(0.5, t.player_decay);
  EXPECT_EQ("player_type: param name error (speed 2))\n",
            parseErrors("(player_type (id 2)(speed 2))", 19, &t));
}

TEST_F(PlayerTypeTest, PositionalFormStopsSilentlyAtAnUnreadableField) {
  PlayerType t;
  EXPECT_EQ("", parseErrors("(player_type 2 1.05 abc 0.4 5 0.006 0.3 0.7 0.1 50 1 0.6)", 7.0, &t));
  EXPECT_EQ(2, t.id);
  EXPECT_DOUBLE_EQ(1.05, t.player_speed_max);
  EXPECT_EQ(0.0, t.stamina_inc_max);
  EXPECT_EQ(0.0, t.effort_min);
  EXPECT_EQ("", parseErrors("(player_type 5 1.05 45", 7.0, &t));
  EXPECT_EQ(5, t.id);
  EXPECT_DOUBLE_EQ(45, t.stamina_inc_max);
  EXPECT_EQ("", parseErrors("(player_type", 7.0, &t));
  EXPECT_EQ(0, t.id);
}

// Writes v big-endian, as the record arrives from the network.
void putBigEndian(unsigned char* p, std::uint32_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i, v >>= 8) p[i] = static_cast<unsigned char>(v & 0xff);
}

TEST_F(PlayerTypeTest, BinaryRecordIsNetworkOrderFixedPoint) {
  // The eleven reals in member order, as integers of 1/65536.
  const std::int32_t raw[11] = {78643, 2949120, 26214,  327680, 393,  19661,
                                45875, 6554,    -98304, 65536,  39322};
  unsigned char wire[48] = {};
  putBigEndian(wire, static_cast<std::uint16_t>(-2), 2);
  for (int k = 0; k < 11; ++k) {
    putBigEndian(wire + 4 + 4 * k, static_cast<std::uint32_t>(raw[k]), 4);
  }
  SoccerTypes::player_type_t record;
  std::memcpy(&record, wire, sizeof record);

  const PlayerType t(record);
  EXPECT_EQ(-2, t.id);
  EXPECT_EQ(78643 / 65536.0, t.player_speed_max);
  EXPECT_EQ(45.0, t.stamina_inc_max);
  EXPECT_EQ(393 / 65536.0, t.dash_power_rate);
  EXPECT_EQ(-1.5, t.extra_stamina);
  EXPECT_EQ(1.0, t.effort_max);
  EXPECT_EQ(39322 / 65536.0, t.effort_min);
  // Derived values are computed from the record too.
  EXPECT_EQ(45875 / 65536.0 + 19661 / 65536.0 + 0.085, t.kickable_area);
  EXPECT_EQ(6, t.cycles_to_reach_max_speed);
}

TEST_F(PlayerTypeTest, DumpWritesTheAnnouncedParametersOnly) {
  PlayerType t;
  parseErrors(NAMED[1], 9.4, &t);
  std::ostringstream os;
  os << t;
  EXPECT_EQ(
      "player_type id : 1\n"
      " player_speed_max : 1.05\n"
      " stamina_inc_max :  48.3723\n"
      " player_decay : 0.345468\n"
      " inertia_moment : 3.6367\n"
      " dash_power_rate : 0.00543794\n"
      " player_size : 0.3\n"
      " kickable_margin : 0.795645\n"
      " kick_rand : 0.195645\n"
      " extra_stamina : 72.7792\n"
      " effort_max : 0.908883\n"
      " effort_min : 0.508883\n",
      os.str());
}

TEST_F(PlayerTypeTest, TypeSetListsByIdAndReportsUnknownIds) {
  PlayerTypeSet set;
  std::ostringstream empty;
  set.show(empty);
  EXPECT_EQ("player_type entry\n", empty.str());

  PlayerType t1, t0;
  parseErrors(NAMED[1], 9.4, &t1);
  parseErrors(NAMED[0], 9.4, &t0);
  EXPECT_TRUE(set.insert(t1));
  EXPECT_TRUE(set.insert(t0));
  PlayerType other = t0;
  other.kick_rand = 0.9;
  EXPECT_FALSE(set.insert(other));

  std::ostringstream expected, shown;
  expected << "player_type entry\n--------------\n" << t0 << "--------------\n" << t1;
  set.show(shown);
  EXPECT_EQ(expected.str(), shown.str());

  ASSERT_NE(nullptr, set.get(0));
  EXPECT_DOUBLE_EQ(0.1, set.get(0)->kick_rand);
  Captured err(std::cerr);
  EXPECT_EQ(nullptr, set.get(5));
  EXPECT_EQ("PlayerTypeSet: get : player type id error 5\n", err.str());
}

TEST_F(PlayerTypeTest, KickRateFallsWithDistanceAndDirection) {
  const PlayerType t = defaultType();
  const double edge = 0.085 + 0.3;
  EXPECT_DOUBLE_EQ(0.027, t.kickRate(edge, 0.0));
  EXPECT_DOUBLE_EQ(0.027 * 0.75, t.kickRate(edge, -180.0));
  EXPECT_DOUBLE_EQ(0.027 * 0.75, t.kickRate(edge + 0.7, 0.0));
  EXPECT_DOUBLE_EQ(0.027 * 0.5, t.kickRate(edge + 0.7, 180.0));
}

struct SavingCase {
  double power, stamina, recovery;
  int expected;
};

TEST_F(PlayerTypeTest, DashesSavingStaminaStopAboveTheDecayThreshold) {
  const PlayerType t = defaultType();  // stamina_inc_max 45
  const SavingCase cases[] = {
      {100, 4000, 1.0, 49},  // floor((4000 - 1200 - 1 - 100) / 55)
      {-50, 4000, 1.0, 49},  // a backward dash costs twice its power
      {100, 1300, 1.0, 0},   // below threshold + 1 + cost
      {100, 1301, 1.0, 0},   // exactly on it: no spare dash
      {100, 1356, 1.0, 1},
      {100, 4000, 0.5, 34},  // floor(2699 / 77.5)
      // A dash costing no more than a cycle recovers never drains stamina.
      {45, 4000, 1.0, INT_MAX},
      {0, 4000, 1.0, INT_MAX},
      {0, 1000, 1.0, 0},
  };
  for (const SavingCase& c : cases) {
    EXPECT_EQ(c.expected, t.getMaxDashCyclesSavingStamina(c.power, c.stamina, c.recovery))
        << c.power << " " << c.stamina << " " << c.recovery;
  }
  PlayerType slow = t;
  slow.stamina_inc_max = 44.9999999;  // a loss of 1e-7 per dash
  EXPECT_EQ(INT_MAX, slow.getMaxDashCyclesSavingStamina(45, 4000, 1.0));
}

TEST_F(PlayerTypeTest, CyclesToReachMaxSpeedNeverNegative) {
  const PlayerType t = defaultType();
  EXPECT_EQ(6, t.cyclesToReachMaxSpeed(100));
  EXPECT_EQ(6, t.cyclesToReachMaxSpeed(-100));
  EXPECT_EQ(5, t.cyclesToReachMaxSpeed(50));  // ceil(ln(0.02) / ln(0.4))
  EXPECT_EQ(0, t.cyclesToReachMaxSpeed(0));
  EXPECT_EQ(0, t.cyclesToReachMaxSpeed(1));  // top speed 0.01: nothing to reach
  EXPECT_EQ(0, PlayerType().cyclesToReachMaxSpeed(100));
}

TEST_F(PlayerTypeTest, CyclesToReachDistance) {
  const PlayerType t = defaultType();
  EXPECT_EQ(1, t.cyclesToReachDistance(0.0));
  EXPECT_EQ(1, t.cyclesToReachDistance(0.59));
  EXPECT_EQ(2, t.cyclesToReachDistance(1.0));
  EXPECT_EQ(6, t.cyclesToReachDistance(t.dist_to_reach_max_speed));
  // The rest beyond the dash phase goes at player_speed_max (1.2).
  EXPECT_EQ(10, t.cyclesToReachDistance(10.0));
  // A type that cannot move never arrives.
  EXPECT_EQ(INT_MAX, PlayerType().cyclesToReachDistance(5.0));
  EXPECT_EQ(0, PlayerType().cyclesToReachDistance(0.0));
}

TEST_F(PlayerTypeTest, DashPowerToKeepMaxSpeedIsCappedAtMaxpower) {
  PlayerType t = defaultType();
  EXPECT_DOUBLE_EQ(100.0, t.dashPowerToKeepMaxSpeed(1.0));  // 120 capped
  t.player_speed_max = 0.9;
  EXPECT_DOUBLE_EQ(90.0, t.dashPowerToKeepMaxSpeed(1.0));
  EXPECT_DOUBLE_EQ(100.0, t.dashPowerToKeepMaxSpeed(0.5));
  // 0 / 0 is not a power: the cap answers.
  EXPECT_DOUBLE_EQ(100.0, PlayerType().dashPowerToKeepMaxSpeed(1.0));
}

struct AccelCase {
  Vector2D velocity;
  double direction;
  double magnitude;
  bool changed;
  double expected;
};

TEST_F(PlayerTypeTest, NormalizeAccelKeepsTheSpeedWithinTheLimit) {
  const PlayerType t = defaultType();  // limit 1.2
  const AccelCase cases[] = {
      {Vector2D(0, 0), 0, 1.0, false, 1.0},
      {Vector2D(1, 0), 0, 0.5, true, 0.2},
      {Vector2D(0, 1), 0, 1.0, true, std::sqrt(0.44)},
      {Vector2D(-1, 0), 180, 0.5, true, 0.2},  // along the dash direction in its frame
      {Vector2D(1, 0), 180, 0.5, false, 0.5},
      // The sideways part alone is beyond the limit: the part along the dash
      // is cancelled, the slowest this dash can make the player.
      {Vector2D(0.5, 1.5), 0, 0.1, true, -0.5},
  };
  for (const AccelCase& c : cases) {
    double magnitude = c.magnitude;
    EXPECT_EQ(c.changed, t.normalizeAccel(c.velocity, AngleDeg(c.direction), &magnitude))
        << c.velocity.x << "," << c.velocity.y << " dir " << c.direction;
    EXPECT_NEAR(c.expected, magnitude, 1e-9) << c.velocity.x << "," << c.velocity.y;
  }
}

TEST_F(PlayerTypeTest, NormalizeAccelVectorFormScalesTheAcceleration) {
  const PlayerType t = defaultType();
  Vector2D accel(0.5, 0.0);
  EXPECT_TRUE(t.normalizeAccel(Vector2D(1, 0), &accel));
  EXPECT_NEAR(0.2, accel.x, 1e-12);
  EXPECT_NEAR(0.0, accel.y, 1e-12);

  accel = Vector2D(0.0, 0.8);
  EXPECT_TRUE(t.normalizeAccel(Vector2D(0, 1), &accel));
  EXPECT_NEAR(0.2, accel.y, 1e-12);
  EXPECT_NEAR(0.0, accel.x, 1e-12);

  accel = Vector2D(0.3, 0.4);
  EXPECT_FALSE(t.normalizeAccel(Vector2D(0, 0), &accel));
  EXPECT_EQ(Vector2D(0.3, 0.4), accel);

  // Already too fast with no acceleration: reported, and zero stays zero.
  accel = Vector2D(0, 0);
  EXPECT_TRUE(t.normalizeAccel(Vector2D(2, 0), &accel));
  EXPECT_EQ(Vector2D(0, 0), accel);

  accel = Vector2D(0.1, 0.0);
  EXPECT_TRUE(t.normalizeAccel(Vector2D(0.5, 1.5), &accel));
  EXPECT_NEAR(-0.5, accel.x, 1e-12);
  EXPECT_TRUE(std::isfinite(accel.y));
}

struct DashCase {
  double power, stamina, effort, recovery;
  double stamina_after, effort_after, recovery_after;
};

TEST_F(PlayerTypeTest, OneDashCycleOfTheStaminaModel) {
  const PlayerType t = defaultType();
  const DashCase cases[] = {
      {100, 4000, 1.0, 1.0, 3945, 1.0, 1.0},
      {10, 3990, 1.0, 1.0, 4000, 1.0, 1.0},  // capped at stamina_max
      {-50, 4000, 1.0, 1.0, 3945, 1.0, 1.0},
      // Stamina after the cost exactly at effort_inc_thr: effort rises.
      {100, 2500, 0.9, 1.0, 2445, 0.91, 1.0},
      {100, 2499, 0.9, 1.0, 2444, 0.9, 1.0},
      {100, 1250, 1.0, 1.0, 1150 + 0.998 * 45, 0.995, 0.998},
      // Empty stamina; recovery and effort stop at their floors.
      {100, 50, 0.603, 0.501, 22.5, 0.6, 0.5},
      {100, 50, 0.6, 0.5, 22.5, 0.6, 0.5},
  };
  for (const DashCase& c : cases) {
    double stamina = c.stamina, effort = c.effort, recovery = c.recovery;
    t.predictStaminaAfterDash(c.power, &stamina, &effort, &recovery);
    EXPECT_NEAR(c.stamina_after, stamina, 1e-9) << c.power << " " << c.stamina;
    EXPECT_NEAR(c.effort_after, effort, 1e-12) << c.power << " " << c.stamina;
    EXPECT_NEAR(c.recovery_after, recovery, 1e-12) << c.power << " " << c.stamina;
  }
}

TEST_F(PlayerTypeTest, WaitingRecoversAndRaisesEffortOnlyAboveTheThreshold) {
  const PlayerType t = defaultType();
  double stamina = 2400, effort = 0.9;
  t.predictStaminaAfterWait(1, &stamina, &effort, 1.0);
  EXPECT_DOUBLE_EQ(0.9, effort);  // exactly at effort_inc_thr: no rise
  EXPECT_DOUBLE_EQ(2445, stamina);
  t.predictStaminaAfterWait(1, &stamina, &effort, 1.0);
  EXPECT_DOUBLE_EQ(0.91, effort);

  stamina = 100;
  effort = 0.7;
  t.predictStaminaAfterWait(3, &stamina, &effort, 0.5);
  EXPECT_NEAR(0.685, effort, 1e-12);
  EXPECT_DOUBLE_EQ(100 + 3 * 22.5, stamina);

  t.predictStaminaAfterWait(0, &stamina, &effort, 1.0);
  t.predictStaminaAfterWait(-4, &stamina, &effort, 1.0);
  EXPECT_DOUBLE_EQ(167.5, stamina);
}

TEST_F(PlayerTypeTest, ManyDashesAtOnceMatchDashesOneByOne) {
  const PlayerType t = defaultType();
  for (int dashes : {0, 10, 49, 60, 200}) {
    double s1 = 4000, e1 = 1.0, r1 = 1.0;
    double s2 = 4000, e2 = 1.0, r2 = 1.0;
    t.predictStaminaAfterNrDash(100, dashes, &s1, &e1, &r1);
    for (int i = 0; i < dashes; ++i) t.predictStaminaAfterDash(100, &s2, &e2, &r2);
    EXPECT_NEAR(s2, s1, 1e-6) << dashes;
    EXPECT_NEAR(e2, e1, 1e-12) << dashes;
    EXPECT_NEAR(r2, r1, 1e-12) << dashes;
  }
}

TEST_F(PlayerTypeTest, ManyCheapDashesFillStaminaButNeverBeyondItsMaximum) {
  const PlayerType t = defaultType();
  double stamina = 3900, effort = 1.0, recovery = 1.0;
  t.predictStaminaAfterNrDash(40, INT_MAX, &stamina, &effort, &recovery);
  EXPECT_DOUBLE_EQ(4000, stamina);

  stamina = 3900;
  t.predictStaminaAfterNrDash(100, -5, &stamina, &effort, &recovery);
  EXPECT_DOUBLE_EQ(3900, stamina);
}

}  // namespace
