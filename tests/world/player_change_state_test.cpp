#include "world/player_change_state.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <string>

#include "param/player_param.h"
#include "param/server_param.h"
#include "tests/stream_capture.h"

namespace {

using Captured = StreamCapture;

// half_time 3000, 2 + 2 halves, subs_max 3, pt_max 3, player_types 7.
class PlayerChangeStateTest : public testing::Test {
 protected:
  void SetUp() override {
    ServerParam::instance().setDefaultParam();
    PlayerParam::instance().setDefaultParam();
    ServerParam::instance().half_time = 3000;
  }
  void TearDown() override {
    ServerParam::instance().setDefaultParam();
    PlayerParam::instance().setDefaultParam();
  }

  std::string parse(const char* message, Referee::PlayMode mode, const GameTime& now) {
    Captured err(std::cerr);
    state.parse(message, mode, now);
    return err.str();
  }

  PlayerChangeState state;
};

struct CountCase {
  GameTime now;
  Referee::PlayMode mode;
  int counted;
};

TEST_F(PlayerChangeStateTest, ConfirmationsBeforeKickOffAtAHalfStartAreFree) {
  const CountCase cases[] = {
      {GameTime(0, 12), Referee::BEFORE_KICK_OFF, 0},
      {GameTime(3000, 4), Referee::BEFORE_KICK_OFF, 0},
      {GameTime(1200, 0), Referee::FREE_KICK, 1},
      {GameTime(1500, 3), Referee::BEFORE_KICK_OFF, 1},
      {GameTime(3000, 0), Referee::KICK_OFF, 1},
      {GameTime(0, 0), Referee::PLAY_ON, 1},
  };
  for (const CountCase& c : cases) {
    PlayerChangeState fresh;
    fresh.parse("(ok change_player_type 5 3)", c.mode, c.now);
    EXPECT_EQ(c.counted, fresh.changeCount()) << c.now << " mode " << c.mode;
    EXPECT_EQ(3, fresh.getTeammateType(5));
    ASSERT_EQ(1u, fresh.typeChangeCounts().count(3));
    EXPECT_EQ(1, fresh.typeChangeCounts().at(3));
  }
}

struct NoticeCase {
  const char* message;
  const char* errors;
};

TEST_F(PlayerChangeStateTest, NoticesRecordTypesWithoutCounting) {
  const NoticeCase cases[] = {
      {"(change_player_type 2 6)", ""},
      {"(change_player_type 4)", ""},
      {"(change_player_type 1 5)", ""},  // both ends of the uniform numbers
      {"(change_player_type 11)", ""},
      {"(change_player_type 12 1)", "WorldModelGlobal::change. invalid unum 12\n"},
      {"(change_player_type 0)", "WorldModelGlobal::change. invalid unum 0\n"},
      {"(change_player_type 3 7)", "WorldModelGlobal::substitute. invalid type 7\n"},
      {"(change_player_type 3 -4)", "WorldModelGlobal::substitute. invalid type -4\n"},
      {"(change_player_type 99999999999 1)", "WorldModelGlobal::change. invalid unum 2147483647\n"},
      {"(change_player_type )", "Coach: parse error : change_player_type.\n"},
      {"(change_player_type", "Coach: parse error : change_player_type.\n"},
      {"(ok change_player_type 5)", "Coach: parse error : change_player_type.\n"},
      {"", "Coach: parse error : change_player_type.\n"},
  };
  for (const NoticeCase& c : cases) {
    EXPECT_EQ(c.errors, parse(c.message, Referee::PLAY_ON, GameTime(100, 0))) << c.message;
  }
  EXPECT_EQ(0, state.changeCount());
  EXPECT_TRUE(state.typeChangeCounts().empty());
  EXPECT_EQ(6, state.getTeammateType(2));
  EXPECT_EQ(0, state.getTeammateType(3));
  EXPECT_EQ(5, state.getTeammateType(1));
  EXPECT_TRUE(state.isOpponentChanged(4));
  EXPECT_TRUE(state.isOpponentChanged(11));
  EXPECT_FALSE(state.isOpponentChanged(2));
  // An opponent's change leaves the own player of that number alone.
  EXPECT_EQ(0, state.getTeammateType(4));
}

TEST_F(PlayerChangeStateTest, ConfirmationWithBadNumbersIsStillCounted) {
  EXPECT_EQ("WorldModelGlobal::change. invalid unum 12\n",
            parse("(ok change_player_type 12 3)", Referee::FREE_KICK, GameTime(100, 0)));
  EXPECT_EQ(1, state.changeCount());
  EXPECT_EQ(1, state.typeChangeCounts().at(3));
}

TEST_F(PlayerChangeStateTest, RealServerSequenceBeforeKickOff) {
  PlayerParam::instance().player_types = 18;
  const char* const messages[] = {
      "(change_player_type 2 5)",    "(ok change_player_type 2 5)", "(change_player_type 5 7)",
      "(ok change_player_type 5 7)", "(change_player_type 3 1)",    "(change_player_type 4 2)",
      "(change_player_type 6)",
  };
  for (const char* m : messages) {
    EXPECT_EQ("", parse(m, Referee::BEFORE_KICK_OFF, GameTime(0, 20))) << m;
  }
  EXPECT_EQ(0, state.changeCount());
  EXPECT_EQ(5, state.getTeammateType(2));
  EXPECT_EQ(1, state.getTeammateType(3));
  EXPECT_EQ(2, state.getTeammateType(4));
  EXPECT_EQ(7, state.getTeammateType(5));
  EXPECT_TRUE(state.isOpponentChanged(6));
  EXPECT_EQ((std::map<int, int>{{5, 1}, {7, 1}}), state.typeChangeCounts());
}

TEST_F(PlayerChangeStateTest, BadUniformNumbersAreReportedOnRead) {
  Captured err(std::cerr);
  EXPECT_EQ(-1, state.getTeammateType(0));
  EXPECT_FALSE(state.isOpponentChanged(12));
  EXPECT_EQ(
      "WorldModelGlobal::getTeammatePlayerType. invalid unum 0\n"
      "WorldModelGlobal::isOpponentPlayerChanged. invalid unum 12\n",
      err.str());
}

TEST_F(PlayerChangeStateTest, NoChangeInPlayOnOrAfterTheLastHalf) {
  EXPECT_FALSE(state.canChange(2, 0, Referee::PLAY_ON, GameTime(0, 0)));
  EXPECT_FALSE(state.canChange(2, 1, Referee::PLAY_ON, GameTime(100, 0)));
  EXPECT_TRUE(state.canChange(2, 1, Referee::FREE_KICK, GameTime(11999, 0)));
  EXPECT_FALSE(state.canChange(2, 1, Referee::FREE_KICK, GameTime(12000, 0)));
  EXPECT_FALSE(state.canChange(2, 0, Referee::BEFORE_KICK_OFF, GameTime(12000, 0)));
}

TEST_F(PlayerChangeStateTest, AtTheLimitOnlyFreeChangesRemain) {
  for (int unum = 2; unum <= 4; ++unum) {
    state.parse(("(ok change_player_type " + std::to_string(unum) + " 1)").c_str(),
                Referee::FREE_KICK, GameTime(100, 0));
  }
  ASSERT_EQ(3, state.changeCount());
  // Player 5 to `type` in `mode` at cycle 1500 or 3000 (and `stopped`).
  const auto player5 = [this](int type, Referee::PlayMode mode, int cycle, int stopped = 0) {
    return state.canChange(5, type, mode, GameTime(cycle, stopped));
  };
  EXPECT_FALSE(player5(0, Referee::FREE_KICK, 1500));
  EXPECT_FALSE(player5(0, Referee::BEFORE_KICK_OFF, 1500));
  EXPECT_FALSE(player5(0, Referee::KICK_OFF, 3000));
  EXPECT_TRUE(player5(0, Referee::BEFORE_KICK_OFF, 3000));
  EXPECT_TRUE(player5(4, Referee::BEFORE_KICK_OFF, 3000, 2));
}

TEST_F(PlayerChangeStateTest, ATypeGivenPtMaxTimesIsClosedToOthers) {
  const GameTime start(0, 15);
  for (int unum = 2; unum <= 4; ++unum) {
    state.parse(("(ok change_player_type " + std::to_string(unum) + " 2)").c_str(),
                Referee::BEFORE_KICK_OFF, start);
  }
  const GameTime later(100, 0);
  EXPECT_FALSE(state.canChange(7, 2, Referee::FREE_KICK, later));
  EXPECT_TRUE(state.canChange(3, 2, Referee::FREE_KICK, later));  // already has it
  EXPECT_TRUE(state.canChange(7, 0, Referee::FREE_KICK, later));
  EXPECT_TRUE(state.canChange(7, 5, Referee::FREE_KICK, later));  // never given

  // The test is for equality: a fourth confirmation reopens the type.
  state.parse("(ok change_player_type 5 2)", Referee::BEFORE_KICK_OFF, start);
  EXPECT_TRUE(state.canChange(7, 2, Referee::FREE_KICK, later));
}

TEST_F(PlayerChangeStateTest, BadUniformNumberAtPtMaxIsReportedAndRefused) {
  for (int unum = 2; unum <= 4; ++unum) {
    state.parse(("(ok change_player_type " + std::to_string(unum) + " 2)").c_str(),
                Referee::BEFORE_KICK_OFF, GameTime(0, 15));
  }
  Captured err(std::cerr);
  EXPECT_FALSE(state.canChange(13, 2, Referee::FREE_KICK, GameTime(100, 0)));
  EXPECT_EQ("WorldModelGlobal::getTeammatePlayerType. invalid unum 13\n", err.str());
}

// Without a positive half length only cycle 0 starts a half and the match
// has no known end.
TEST_F(PlayerChangeStateTest, ZeroHalfTimeNeverDividesByZero) {
  ServerParam::instance().half_time = 0;
  state.parse("(ok change_player_type 5 3)", Referee::BEFORE_KICK_OFF, GameTime(0, 5));
  EXPECT_EQ(0, state.changeCount());
  state.parse("(ok change_player_type 6 3)", Referee::BEFORE_KICK_OFF, GameTime(300, 0));
  EXPECT_EQ(1, state.changeCount());
  EXPECT_TRUE(state.canChange(7, 1, Referee::FREE_KICK, GameTime(100000, 0)));

  state.parse("(ok change_player_type 7 3)", Referee::FREE_KICK, GameTime(400, 0));
  state.parse("(ok change_player_type 8 4)", Referee::FREE_KICK, GameTime(500, 0));
  ASSERT_EQ(3, state.changeCount());
  EXPECT_TRUE(state.canChange(7, 0, Referee::BEFORE_KICK_OFF, GameTime(0, 3)));
  EXPECT_FALSE(state.canChange(7, 0, Referee::BEFORE_KICK_OFF, GameTime(600, 0)));
}

}  // namespace
