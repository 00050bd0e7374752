#include "world/referee.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

using SoccerTypes::LEFT;
using SoccerTypes::NEUTRAL;
using SoccerTypes::RIGHT;

struct TextCase {
  const char* text;
  Referee::PlayMode mode;
  SoccerTypes::Side side;
};

const TextCase SERVER_TEXTS[] = {
    {"before_kick_off", Referee::BEFORE_KICK_OFF, NEUTRAL},
    {"time_over", Referee::GAME_OVER, NEUTRAL},
    {"play_on", Referee::PLAY_ON, NEUTRAL},
    {"kick_off_l", Referee::KICK_OFF, LEFT},
    {"kick_off_r", Referee::KICK_OFF, RIGHT},
    {"kick_in_l", Referee::KICK_IN, LEFT},
    {"kick_in_r", Referee::KICK_IN, RIGHT},
    {"free_kick_l", Referee::FREE_KICK, LEFT},
    {"free_kick_r", Referee::FREE_KICK, RIGHT},
    {"corner_kick_l", Referee::CORNER_KICK, LEFT},
    {"corner_kick_r", Referee::CORNER_KICK, RIGHT},
    {"goal_kick_l", Referee::GOAL_KICK, LEFT},
    {"goal_kick_r", Referee::GOAL_KICK, RIGHT},
    {"drop_ball", Referee::PLAY_ON, NEUTRAL},
    {"offside_l", Referee::OFFSIDE, LEFT},
    {"offside_r", Referee::OFFSIDE, RIGHT},
    {"back_pass_l", Referee::BACK_PASS, LEFT},
    {"back_pass_r", Referee::BACK_PASS, RIGHT},
    {"free_kick_fault_l", Referee::FREE_KICK_FAULT, LEFT},
    {"free_kick_fault_r", Referee::FREE_KICK_FAULT, RIGHT},
    {"catch_fault_l", Referee::CATCH_FAULT, LEFT},
    {"catch_fault_r", Referee::CATCH_FAULT, RIGHT},
    {"indirect_free_kick_l", Referee::INDIRECT_FREE_KICK, LEFT},
    {"indirect_free_kick_r", Referee::INDIRECT_FREE_KICK, RIGHT},
    {"penalty_setup_l", Referee::PENALTY_SETUP, LEFT},
    {"penalty_setup_r", Referee::PENALTY_SETUP, RIGHT},
    {"penalty_ready_l", Referee::PENALTY_READY, LEFT},
    {"penalty_ready_r", Referee::PENALTY_READY, RIGHT},
    {"penalty_taken_l", Referee::PENALTY_TAKEN, LEFT},
    {"penalty_taken_r", Referee::PENALTY_TAKEN, RIGHT},
    {"penalty_miss_l", Referee::PENALTY_MISS, LEFT},
    {"penalty_miss_r", Referee::PENALTY_MISS, RIGHT},
    {"penalty_score_l", Referee::PENALTY_SCORE, LEFT},
    {"penalty_score_r", Referee::PENALTY_SCORE, RIGHT},
    {"half_time", Referee::HALF_TIME, NEUTRAL},
    {"time_extended", Referee::TIME_EXTENDED, NEUTRAL},
    {"time_up_without_a_team", Referee::GAME_OVER, NEUTRAL},
    {"time_up", Referee::GAME_OVER, NEUTRAL},
    {"foul_l", Referee::FREE_KICK, RIGHT},
    {"foul_r", Referee::FREE_KICK, LEFT},
    {"goalie_catch_ball_l", Referee::GOALIE_CATCH, LEFT},
    {"goalie_catch_ball_r", Referee::GOALIE_CATCH, RIGHT},
    {"penalty_onfield_l", Referee::PENALTY_ONFIELD, LEFT},
    {"penalty_onfield_r", Referee::PENALTY_ONFIELD, RIGHT},
    {"penalty_foul_l", Referee::PENALTY_FOUL, LEFT},
    {"penalty_foul_r", Referee::PENALTY_FOUL, RIGHT},
    {"penalty_winner_l", Referee::GAME_OVER, NEUTRAL},
    {"penalty_winner_r", Referee::GAME_OVER, NEUTRAL},
    {"penalty_draw", Referee::GAME_OVER, NEUTRAL},
};

std::string hear(int time, const std::string& text) {
  return "(hear " + std::to_string(time) + " referee " + text + ")";
}

// The mode, its side and the time of the change to it, checked at once.
void expectState(const Referee& referee, Referee::PlayMode mode, SoccerTypes::Side side,
                 const GameTime& since, const std::string& context = "") {
  EXPECT_EQ(mode, referee.playMode()) << context;
  EXPECT_EQ(side, referee.modeSide()) << context;
  EXPECT_EQ(since, referee.lastChangeTime()) << context;
}

TEST(RefereeTest, StartsBeforeKickOffWithNoScore) {
  const Referee referee;
  expectState(referee, Referee::BEFORE_KICK_OFF, NEUTRAL, GameTime(0, 0));
  EXPECT_EQ(0, referee.scoreLeft());
  EXPECT_EQ(0, referee.scoreRight());
}

TEST(RefereeTest, EveryServerTextGivesItsModeAndSide) {
  ASSERT_EQ(49u, sizeof(SERVER_TEXTS) / sizeof(SERVER_TEXTS[0]));
  for (const TextCase& c : SERVER_TEXTS) {
    Referee referee;
    testing::internal::CaptureStderr();
    referee.parse(hear(42, c.text).c_str(), GameTime(42, 1));
    EXPECT_EQ("", testing::internal::GetCapturedStderr()) << c.text;
    expectState(referee, c.mode, c.side, GameTime(42, 1), c.text);
  }
}

TEST(RefereeTest, GoalTextSetsScore) {
  Referee referee;
  referee.parse("(hear 100 referee goal_l_2)", GameTime(100, 0));
  expectState(referee, Referee::GOAL, LEFT, GameTime(100, 0));
  EXPECT_EQ(2, referee.scoreLeft());
  EXPECT_EQ(0, referee.scoreRight());

  referee.parse("(hear 150 referee goal_r_1)", GameTime(150, 0));
  expectState(referee, Referee::GOAL, RIGHT, GameTime(150, 0));
  EXPECT_EQ(2, referee.scoreLeft());
  EXPECT_EQ(1, referee.scoreRight());
}

struct ScoreCase {
  const char* text;
  SoccerTypes::Side side;
  int score;
};

TEST(RefereeTest, GoalScoreIsReadSafelyFromAnyRemainder) {
  const ScoreCase cases[] = {
      {"goal_l", LEFT, 0},  // nothing after the prefix: a goal with score 0
      {"goal_r", RIGHT, 0},    {"goal_l_", LEFT, 0},
      {"goal_r_x", RIGHT, 0},  {"goal_l_12", LEFT, 12},
      {"goal_r_ 7", RIGHT, 7}, {"goal_l_3abc", LEFT, 3},
      {"goal_r_-4", RIGHT, 0}, {"goal_l_99999999999999999999", LEFT, 2147483647},
  };
  for (const ScoreCase& c : cases) {
    Referee referee;
    const std::pair<Referee::PlayMode, SoccerTypes::Side> judged = referee.judge(c.text);
    EXPECT_EQ(Referee::GOAL, judged.first) << c.text;
    EXPECT_EQ(c.side, judged.second) << c.text;
    EXPECT_EQ(c.score, c.side == LEFT ? referee.scoreLeft() : referee.scoreRight()) << c.text;
  }
}

TEST(RefereeTest, FreeKickInTheStepOfTheGoalieCatchKeepsTheCatch) {
  Referee referee;
  referee.parse("(hear 700 referee goalie_catch_ball_l)", GameTime(700, 0));
  ASSERT_EQ(Referee::GOALIE_CATCH, referee.playMode());

  referee.parse("(hear 700 referee free_kick_l)", GameTime(700, 0));
  expectState(referee, Referee::GOALIE_CATCH, LEFT, GameTime(700, 0));

  referee.parse("(hear 701 referee free_kick_l)", GameTime(701, 0));
  expectState(referee, Referee::FREE_KICK, LEFT, GameTime(701, 0));
}

TEST(RefereeTest, OtherModesReplaceTheCatchInTheSameStep) {
  Referee referee;
  referee.parse("(hear 700 referee goalie_catch_ball_r)", GameTime(700, 0));
  referee.parse("(hear 700 referee foul_r)", GameTime(700, 1));  // a later step
  EXPECT_EQ(Referee::FREE_KICK, referee.playMode());
  EXPECT_EQ(LEFT, referee.modeSide());

  referee.parse("(hear 800 referee goalie_catch_ball_r)", GameTime(800, 0));
  referee.parse("(hear 800 referee play_on)", GameTime(800, 0));
  EXPECT_EQ(Referee::PLAY_ON, referee.playMode());
}

TEST(RefereeTest, UnsupportedTextIsReportedAndChangesNothing) {
  Referee referee;
  referee.parse("(hear 10 referee kick_off_r)", GameTime(10, 0));
  testing::internal::CaptureStderr();
  referee.parse("(hear 20 referee foo_bar)", GameTime(20, 0));
  EXPECT_EQ(" Unsupported playmode : [foo_bar]\n", testing::internal::GetCapturedStderr());
  expectState(referee, Referee::KICK_OFF, RIGHT, GameTime(10, 0));
}

TEST(RefereeTest, UnscannableAnnouncementIsReportedAndChangesNothing) {
  const char* const messages[] = {
      "(hear referee play_on)",
      "(hear 10 referee )",
      "(hear 10 self play_on)",
      "",
  };
  for (const char* message : messages) {
    Referee referee;
    testing::internal::CaptureStderr();
    referee.parse(message, GameTime(10, 0));
    EXPECT_EQ("Referee::parse() playmode scan error.\n", testing::internal::GetCapturedStderr())
        << message;
    expectState(referee, Referee::BEFORE_KICK_OFF, NEUTRAL, GameTime(0, 0), message);
  }
}

TEST(RefereeTest, ModeTextStopsAtTheFirstClosingParenthesisOrTheEnd) {
  Referee referee;
  referee.parse("(hear 5 referee play_on) trailing)", GameTime(5, 0));
  EXPECT_EQ(Referee::PLAY_ON, referee.playMode());
  referee.parse("(hear 6 referee kick_in_l", GameTime(6, 0));
  EXPECT_EQ(Referee::KICK_IN, referee.playMode());
}

TEST(RefereeTest, OverlongModeTextIsUnsupportedWhateverItsPrefix) {
  const std::string long_goal = "goal_l_" + std::string(200, '1');
  const std::string long_word(Referee::MAX_MODE_TEXT + 1, 'x');
  const std::string texts[] = {long_goal, long_word};
  for (const std::string& text : texts) {
    Referee referee;
    testing::internal::CaptureStderr();
    referee.parse(hear(9, text).c_str(), GameTime(9, 0));
    EXPECT_EQ(" Unsupported playmode : [" + text + "]\n", testing::internal::GetCapturedStderr());
    EXPECT_EQ(Referee::BEFORE_KICK_OFF, referee.playMode());
    EXPECT_EQ(0, referee.scoreLeft());
  }
  // A text of exactly the limit is still judged.
  Referee referee;
  const std::string at_limit = "goal_r_" + std::string(Referee::MAX_MODE_TEXT - 7, '0');
  referee.parse(hear(9, at_limit).c_str(), GameTime(9, 0));
  EXPECT_EQ(Referee::GOAL, referee.playMode());
}

TEST(RefereeTest, ParseInitSetsModeButNotTime) {
  Referee referee;
  referee.parseInit("play_on");
  expectState(referee, Referee::PLAY_ON, NEUTRAL, GameTime(0, 0));

  testing::internal::CaptureStderr();
  referee.parseInit("nonsense");
  EXPECT_EQ(" Unsupported playmode : [nonsense]\n", testing::internal::GetCapturedStderr());
  EXPECT_EQ(Referee::BEFORE_KICK_OFF, referee.playMode());
  EXPECT_EQ(LEFT, referee.modeSide());
}

struct ModeCase {
  Referee::PlayMode mode;
  const char* printed;
  int left_code;
  int other_code;
};

const ModeCase MODES[] = {
    {Referee::BEFORE_KICK_OFF, " before_kick_off", 1, 1},
    {Referee::GAME_OVER, " game_over", 2, 2},
    {Referee::PLAY_ON, " play_on", 3, 3},
    {Referee::KICK_OFF, " kick_off", 4, 5},
    {Referee::KICK_IN, " kick_in", 6, 7},
    {Referee::FREE_KICK, " free_kick", 8, 9},
    {Referee::CORNER_KICK, " corner_kick", 10, 11},
    {Referee::GOAL_KICK, " goal_kick", 12, 13},
    {Referee::GOAL, "goal_?", 14, 15},
    {Referee::OFFSIDE, " offside", 17, 18},
    {Referee::RESERVED_10, " Unexpected playmode", 19, 20},
    {Referee::HALF_TIME, " half_time", 21, 21},
    {Referee::RESERVED_12, " Unexpected playmode", 22, 22},
    {Referee::RESERVED_13, " Unexpected playmode", 23, 23},
    {Referee::RESERVED_14, " Unexpected playmode", 24, 25},
    {Referee::RESERVED_15, " Unexpected playmode", 26, 27},
    {Referee::RESERVED_16, " Unexpected playmode", 28, 29},
    {Referee::RESERVED_17, " Unexpected playmode", 30, 31},
    {Referee::BACK_PASS, " back_pass", 32, 33},
    {Referee::FREE_KICK_FAULT, " free_kick_fault", 34, 35},
    {Referee::CATCH_FAULT, " catch_fault", 36, 37},
    {Referee::INDIRECT_FREE_KICK, " indirect_free_kick", 38, 39},
    {Referee::PENALTY_SETUP, " penalty_setup_", 40, 41},
    {Referee::PENALTY_READY, " penalty_ready", 42, 43},
    {Referee::PENALTY_TAKEN, "penalty_taken", 44, 45},
    {Referee::PENALTY_MISS, "penalty_miss", 46, 47},
    {Referee::PENALTY_SCORE, "penalty_score", 48, 49},
    {Referee::PENALTY_ONFIELD, "penalty_onfield_l", 50, 50},
    {Referee::PENALTY_FOUL, "penalty_foul_l", 50, 50},
    {Referee::GOALIE_CATCH, " goalie_catch", 50, 50},
    {Referee::TIME_EXTENDED, " time_extend", 50, 50},
    {Referee::UNSUPPORTED, " Unexpected playmode", 50, 50},
};

TEST(RefereeTest, EveryModeHasItsPrintedNameAndServerCodes) {
  ASSERT_EQ(32u, sizeof(MODES) / sizeof(MODES[0]));
  for (const ModeCase& c : MODES) {
    EXPECT_STREQ(c.printed, Referee::playModeName(c.mode)) << c.mode;
    EXPECT_EQ(c.left_code, Referee::serverPlayMode(c.mode, LEFT)) << c.mode;
    EXPECT_EQ(c.other_code, Referee::serverPlayMode(c.mode, RIGHT)) << c.mode;
    EXPECT_EQ(c.other_code, Referee::serverPlayMode(c.mode, NEUTRAL)) << c.mode;
  }
}

TEST(RefereeTest, ServerCodeFollowsTheAcceptedAnnouncement) {
  Referee referee;
  EXPECT_EQ(1, referee.getServerPlayMode());
  referee.parse("(hear 300 referee drop_ball)", GameTime(300, 0));
  EXPECT_EQ(3, referee.getServerPlayMode());
  referee.parse("(hear 301 referee goal_kick_r)", GameTime(301, 0));
  EXPECT_EQ(13, referee.getServerPlayMode());
  referee.parse("(hear 302 referee corner_kick_l)", GameTime(302, 0));
  EXPECT_EQ(10, referee.getServerPlayMode());
  referee.parse("(hear 303 referee penalty_foul_r)", GameTime(303, 0));
  EXPECT_EQ(50, referee.getServerPlayMode());
}

struct PrintCase {
  const char* text;
  GameTime time;
  const char* line;
};

TEST(RefereeTest, PrintWritesTimeModeAndSideWithoutSeparators) {
  const PrintCase cases[] = {
      {"kick_off_l", {0, 0}, "[0, 0] kick_off Left\n"},
      {"goal_r_3", {44, 2}, "[44, 2]goal_? Right\n"},
      {"penalty_setup_r", {3000, 0}, "[3000, 0] penalty_setup_ Right\n"},
      {"penalty_onfield_r", {3001, 0}, "[3001, 0]penalty_onfield_l Right\n"},
      {"half_time", {3000, 5}, "[3000, 5] half_time Neutral\n"},
      {"time_extended", {6000, 0}, "[6000, 0] time_extend Neutral\n"},
  };
  for (const PrintCase& c : cases) {
    Referee referee;
    referee.parse(hear(c.time.cycle, c.text).c_str(), c.time);
    std::ostringstream os;
    referee.print(os);
    EXPECT_EQ(c.line, os.str()) << c.text;
  }
  std::ostringstream os;
  Referee().print(os);
  EXPECT_EQ("[0, 0] before_kick_off Neutral\n", os.str());
}

TEST(RefereeTest, SideNamesIncludeUnknown) {
  EXPECT_STREQ(" Left", Referee::sideName(LEFT));
  EXPECT_STREQ(" Neutral", Referee::sideName(NEUTRAL));
  EXPECT_STREQ(" Right", Referee::sideName(RIGHT));
  EXPECT_STREQ(" Unknown Side", Referee::sideName(static_cast<SoccerTypes::Side>(-2)));
}

}  // namespace
