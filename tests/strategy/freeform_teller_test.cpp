#include "strategy/freeform_teller.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A short window to keep the tables small: play_on must run 10 cycles,
// then the server lets texts through for 5 cycles in every 10.
FreeformTeller tellerWithWindow(int count_max = 100, int msg_size = 20) {
  FreeformTeller teller;
  teller.setLimits(10, 5, count_max, msg_size);
  return teller;
}

TEST(FreeformTellerTest, PlayOnOpensOnlyTheInsideOfTheServersWindow) {
  FreeformTeller teller = tellerWithWindow();
  const struct {
    int cycle;
    bool play_on;
    bool allowed;
  } rows[] = {
      {0, false, true},  {2, false, true},                      // before kick-off: always
      {3, true, false},                                         // play_on from cycle 3
      {12, true, false}, {13, true, false},                     // the window opens at 13: its edge
      {14, true, true},  {16, true, true},  {17, true, false},  // 17 is its last cycle
      {18, true, false}, {23, true, false}, {24, true, true},
      {26, true, true},  {27, true, false}, {30, false, true},  // a free kick: always
      {31, true, false}, {41, true, false}, {42, true, true},   // play_on runs anew
  };
  for (const auto& row : rows) {
    teller.observe(GameTime(row.cycle, 0), row.play_on);
    EXPECT_EQ(row.allowed, teller.wants("go", GameTime(row.cycle, 0))) << "cycle " << row.cycle;
  }
}

TEST(FreeformTellerTest, PlayOnRunningWhenFirstHeardNeverOpens) {
  FreeformTeller teller = tellerWithWindow();
  for (int cycle = 500; cycle < 540; ++cycle) {
    teller.observe(GameTime(cycle, 0), true);
    EXPECT_FALSE(teller.wants("go", GameTime(cycle, 0))) << cycle;
  }
  teller.observe(GameTime(540, 0), false);
  EXPECT_TRUE(teller.wants("go", GameTime(540, 0)));
}

TEST(FreeformTellerTest, CountAndSizeBoundWhatIsSaid) {
  FreeformTeller teller = tellerWithWindow(2, 5);
  const GameTime now(0, 3);
  teller.observe(now, false);
  EXPECT_FALSE(teller.wants("", now));
  EXPECT_FALSE(teller.wants("abcdef", now));
  EXPECT_TRUE(teller.wants("abcde", now));
  teller.said("abcde");
  EXPECT_FALSE(teller.wants("abcde", now));  // awaiting its answer
  EXPECT_TRUE(teller.wants("b", now));
  teller.said("b");
  EXPECT_EQ(0, teller.left());
  teller.accepted();
  teller.accepted();
  EXPECT_FALSE(teller.wants("c", now));
}

TEST(FreeformTellerTest, AnswersSettleTheTextsAwaitingThemInOrder) {
  FreeformTeller teller = tellerWithWindow();
  const GameTime now(0, 0);
  teller.observe(now, false);
  teller.said("first");
  teller.said("second");
  teller.accepted();      // first
  teller.refusedParse();  // second
  EXPECT_FALSE(teller.wants("first", now));
  EXPECT_FALSE(teller.wants("second", now));
  teller.said("third");
  teller.accepted();
  EXPECT_TRUE(teller.wants("first", now));  // no longer the last accepted
  EXPECT_FALSE(teller.wants("second", now));
  teller.said("fourth");
  teller.refusedTooMany();
  EXPECT_TRUE(teller.stopped());
  EXPECT_FALSE(teller.wants("fifth", now));
}

TEST(FreeformTellerTest, ARefusalForTimingWaitsForTheNextWindow) {
  FreeformTeller teller = tellerWithWindow();
  teller.observe(GameTime(0, 0), false);
  teller.observe(GameTime(3, 0), true);
  teller.observe(GameTime(15, 0), true);
  ASSERT_TRUE(teller.wants("go", GameTime(15, 0)));
  teller.said("go");
  teller.refusedPlayOn();
  EXPECT_FALSE(teller.wants("go", GameTime(16, 0)));
  teller.observe(GameTime(24, 0), true);
  EXPECT_TRUE(teller.wants("go", GameTime(24, 0)));
}

TEST(FreeformTellerTest, ARefusalWhilePlaySeemedStoppedHoldsUntilTheModeChanges) {
  FreeformTeller teller = tellerWithWindow();
  teller.observe(GameTime(0, 0), false);
  teller.said("go");
  teller.refusedPlayOn();
  teller.observe(GameTime(0, 1), false);
  EXPECT_FALSE(teller.wants("go", GameTime(0, 1)));
  teller.observe(GameTime(1, 0), true);
  EXPECT_FALSE(teller.wants("go", GameTime(1, 0)));
  teller.observe(GameTime(12, 0), true);
  EXPECT_TRUE(teller.wants("go", GameTime(12, 0)));
}

}  // namespace
