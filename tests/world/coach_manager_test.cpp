#include "world/coach_manager.h"

#include <gtest/gtest.h>

#include "param/coach_config.h"

namespace {

class CoachManagerTest : public testing::Test {
 protected:
  void TearDown() override {
    GameTime::S_last_stop_cycle = 0;
    GameTime::S_last_stop_count = 0;
    CoachConfig::instance().setDefaultParam();
  }

  // Announces a mode the way the dispatcher does: time first, then the mode.
  void announce(int cycle, const char* text) {
    manager.updateCurrentTime(cycle, false);
    referee.parse(("(hear " + std::to_string(cycle) + " referee " + text + ")").c_str(),
                  manager.currentTime());
    manager.updateGameMode(referee);
  }

  static GameTime lastStop() {
    return GameTime(GameTime::S_last_stop_cycle, GameTime::S_last_stop_count);
  }

  CoachManager manager;
  Referee referee;
};

TEST_F(CoachManagerTest, StartsAliveInStopModeAtZero) {
  EXPECT_TRUE(manager.isAlive());
  EXPECT_TRUE(manager.stopMode());
  EXPECT_EQ(0, manager.silentTicks());
  EXPECT_EQ(GameTime(0, 0), manager.currentTime());
}

TEST_F(CoachManagerTest, ViewsOfAStoppedCycleCountStepsUntilTheNextCycle) {
  manager.updateCurrentTime(0, true);
  EXPECT_EQ(GameTime(0, 1), manager.currentTime());
  manager.updateCurrentTime(0, true);
  announce(0, "before_kick_off");  // a hear message of the same cycle counts nothing
  EXPECT_EQ(GameTime(0, 2), manager.currentTime());
  manager.updateCurrentTime(0, true);
  EXPECT_EQ(GameTime(0, 3), manager.currentTime());

  announce(0, "kick_off_l");  // still counted under the stop
  EXPECT_EQ(GameTime(0, 3), manager.currentTime());
  EXPECT_FALSE(manager.stopMode());
  EXPECT_EQ(GameTime(0, 0), lastStop());

  manager.updateCurrentTime(1, true);
  EXPECT_EQ(GameTime(1, 0), manager.currentTime());
  EXPECT_EQ(GameTime(0, 3), lastStop());
}

TEST_F(CoachManagerTest, RunningModeResetsARepeatedCycleAndClosesAnOpenStop) {
  announce(57, "play_on");
  manager.updateCurrentTime(57, true);
  EXPECT_EQ(GameTime(57, 0), manager.currentTime());

  // Stop at 57 for two views, then play resumes in the same cycle.
  announce(57, "offside_l");
  manager.updateCurrentTime(57, true);
  manager.updateCurrentTime(57, true);
  EXPECT_EQ(GameTime(57, 2), manager.currentTime());
  announce(57, "free_kick_r");
  manager.updateCurrentTime(57, true);
  EXPECT_EQ(GameTime(57, 0), manager.currentTime());
  EXPECT_EQ(GameTime(57, 2), lastStop());
}

TEST_F(CoachManagerTest, JumpOutOfAStopIsReportedAndTaken) {
  for (int i = 0; i < 4; ++i) manager.updateCurrentTime(0, true);
  announce(120, "goal_l_1");
  for (int i = 0; i < 4; ++i) manager.updateCurrentTime(120, true);
  ASSERT_EQ(GameTime(120, 4), manager.currentTime());

  testing::internal::CaptureStderr();
  manager.updateCurrentTime(125, true);
  EXPECT_EQ("Stop Mode: previous server time is incorrect?? [120, 4] -> 125\n",
            testing::internal::GetCapturedStderr());
  EXPECT_EQ(GameTime(125, 0), manager.currentTime());
  EXPECT_EQ(GameTime(120, 4), lastStop());
}

TEST_F(CoachManagerTest, StopEndingWithoutExtraViewsIsStillRecorded) {
  GameTime::S_last_stop_cycle = 99;
  GameTime::S_last_stop_count = 9;
  testing::internal::CaptureStderr();
  manager.updateCurrentTime(1, false);
  EXPECT_EQ("", testing::internal::GetCapturedStderr());
  EXPECT_EQ(GameTime(0, 0), lastStop());
  EXPECT_EQ(GameTime(1, 0), manager.currentTime());
}

TEST_F(CoachManagerTest, OnlyTheListedModesStopTheClock) {
  for (int m = Referee::BEFORE_KICK_OFF; m <= Referee::UNSUPPORTED; ++m) {
    const Referee::PlayMode mode = static_cast<Referee::PlayMode>(m);
    const bool stop = mode == Referee::BEFORE_KICK_OFF || mode == Referee::GOAL ||
                      mode == Referee::OFFSIDE || mode == Referee::BACK_PASS ||
                      mode == Referee::FREE_KICK_FAULT || mode == Referee::CATCH_FAULT;
    EXPECT_EQ(stop, CoachManager::isStopMode(mode)) << m;
  }
  announce(10, "back_pass_r");
  EXPECT_TRUE(manager.stopMode());
  announce(11, "half_time");
  EXPECT_FALSE(manager.stopMode());
  EXPECT_TRUE(manager.isAlive());
}

TEST_F(CoachManagerTest, EveryGameOverTextEndsTheCoach) {
  const char* const texts[] = {"time_over",        "time_up",          "time_up_without_a_team",
                               "penalty_winner_l", "penalty_winner_r", "penalty_draw"};
  for (const char* text : texts) {
    CoachManager fresh;
    Referee ref;
    ref.parse((std::string("(hear 6000 referee ") + text + ")").c_str(), GameTime(6000, 0));
    fresh.updateGameMode(ref);
    EXPECT_FALSE(fresh.isAlive()) << text;
    EXPECT_FALSE(fresh.stopMode()) << text;
  }
}

TEST_F(CoachManagerTest, ServerIsDownOnlyAfterTheConfiguredSilence) {
  CoachConfig& config = CoachConfig::instance();
  config.alarm_cycle_divs = 2;
  config.server_down_cycle = 30;
  for (int i = 0; i < 60; ++i) manager.addSilentTick();
  testing::internal::CaptureStderr();
  EXPECT_FALSE(manager.estimateServerDown());
  EXPECT_EQ("", testing::internal::GetCapturedStderr());
  EXPECT_TRUE(manager.isAlive());

  manager.addSilentTick();
  testing::internal::CaptureStderr();
  EXPECT_TRUE(manager.estimateServerDown());
  EXPECT_EQ("server is down??\n", testing::internal::GetCapturedStderr());
  EXPECT_FALSE(manager.isAlive());
}

TEST_F(CoachManagerTest, SilenceCountRestartsAfterAReceive) {
  CoachConfig::instance().alarm_cycle_divs = 1;
  CoachConfig::instance().server_down_cycle = 3;
  for (int i = 0; i < 3; ++i) manager.addSilentTick();
  manager.resetSilentTicks();
  manager.addSilentTick();
  EXPECT_EQ(1, manager.silentTicks());
  EXPECT_FALSE(manager.estimateServerDown());
  EXPECT_TRUE(manager.isAlive());
}

TEST_F(CoachManagerTest, AliveNeverReturnsOnceCleared) {
  manager.clearAlive();
  announce(1, "play_on");
  manager.updateCurrentTime(2, true);
  EXPECT_FALSE(manager.isAlive());
}

}  // namespace
