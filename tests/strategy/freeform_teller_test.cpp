#include "strategy/freeform_teller.h"

#include <gtest/gtest.h>

namespace {

// A short window keeps the table small: after 10 cycles of play_on the
// server lets texts through for 5 cycles in every 10.
TEST(FreeformTellerTest, PlayOnOpensOnlyTheInsideOfTheServersWindow) {
  FreeformTeller teller;
  teller.setLimits(10, 5, 100, 20);
  const struct {
    int cycle;
    bool play_on;
    bool allowed;
  } rows[] = {
      {0, true, false},  {12, true, false},  // play_on already running: start unknown
      {13, false, true}, {15, false, true},  // stopped: always
      {16, true, false}, {25, true, false},  // play_on from 16
      {26, true, false}, {27, true, true},  {29, true, true},  // window 26..30, edges kept
      {30, true, false}, {31, true, false}, {36, true, false}, {37, true, true},
      {40, false, true}, {41, true, false}, {52, true, true},  // play_on runs anew
  };
  for (const auto& row : rows) {
    teller.observe(GameTime(row.cycle, 0), row.play_on);
    EXPECT_EQ(row.allowed, teller.wants("go", GameTime(row.cycle, 0))) << "cycle " << row.cycle;
  }
}

TEST(FreeformTellerTest, CountSizeAndAnswersDecideWhatIsSaid) {
  FreeformTeller teller;
  teller.setLimits(10, 5, 4, 5);
  const GameTime now(0, 3);
  teller.observe(now, false);
  EXPECT_FALSE(teller.wants("", now));
  EXPECT_FALSE(teller.wants("abcdef", now));
  teller.said("abcde");
  teller.said("b");
  EXPECT_FALSE(teller.wants("abcde", now));  // awaiting its answer
  teller.accepted();                         // abcde
  teller.refusedParse();                     // b
  EXPECT_FALSE(teller.wants("abcde", now));
  EXPECT_FALSE(teller.wants("b", now));
  teller.said("c");
  teller.accepted();
  EXPECT_TRUE(teller.wants("abcde", now));  // no longer the last accepted
  teller.said("d");
  EXPECT_FALSE(teller.wants("e", now));  // all four said
  EXPECT_FALSE(teller.wants("e", GameTime(99, 0)));
  teller.setPace(0, 100);  // four more after each 100 cycles of normal time
  EXPECT_TRUE(teller.wants("e", GameTime(100, 0)));
  teller.setLimits(10, 5, -1, 5);  // no limit at all
  EXPECT_TRUE(teller.wants("e", now));
  teller.refusedTooMany();
  EXPECT_TRUE(teller.stopped());
  EXPECT_FALSE(teller.wants("e", now));
}

// After a text the next waits the server's delay in steps, a standing
// clock's included; a text refused for play_on was not told and holds
// nothing up.
TEST(FreeformTellerTest, TextsFollowEachOtherAtTheServersDelay) {
  FreeformTeller teller;
  teller.setLimits(10, 5, 100, 20);
  teller.setPace(3, 0);
  teller.observe(GameTime(0, 0), false);
  teller.said("a");
  teller.accepted();
  const struct {
    GameTime time;
    bool allowed;
  } rows[] = {{GameTime(0, 1), false},
              {GameTime(0, 2), false},
              {GameTime(0, 2), false},
              {GameTime(1, 0), true}};
  for (const auto& row : rows) {
    teller.observe(row.time, false);
    EXPECT_EQ(row.allowed, teller.wants("b", row.time)) << row.time;
  }
  teller.said("b");
  teller.refusedPlayOn();  // play_on began unheard
  teller.observe(GameTime(2, 0), true);
  teller.observe(GameTime(3, 0), false);
  EXPECT_TRUE(teller.wants("b", GameTime(3, 0)));
}

TEST(FreeformTellerTest, ARefusalForTimingWaitsForTheNextAllowedMoment) {
  FreeformTeller teller;
  teller.setLimits(10, 5, 100, 20);
  teller.observe(GameTime(0, 0), false);
  teller.said("go");
  teller.refusedPlayOn();  // play_on began unheard: hold until it is heard
  EXPECT_FALSE(teller.wants("go", GameTime(0, 1)));
  teller.observe(GameTime(3, 0), true);
  teller.observe(GameTime(15, 0), true);
  ASSERT_TRUE(teller.wants("go", GameTime(15, 0)));
  teller.said("go");
  teller.refusedPlayOn();  // inside the window as counted: wait for the next
  EXPECT_FALSE(teller.wants("go", GameTime(16, 0)));
  teller.observe(GameTime(24, 0), true);
  EXPECT_TRUE(teller.wants("go", GameTime(24, 0)));
}

}  // namespace
