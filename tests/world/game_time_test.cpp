#include "world/game_time.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>

namespace {

class GameTimeTest : public testing::Test {
 protected:
  void TearDown() override { setLastStop(0, 0); }

  static void setLastStop(int cycle, int count) {
    GameTime::S_last_stop_cycle = cycle;
    GameTime::S_last_stop_count = count;
  }
};

struct AddCase {
  int stop_cycle, stop_count;
  GameTime from;
  long n;
  GameTime result;
};

TEST_F(GameTimeTest, AdditionCountsTheExtraStepsOfTheLastStopOnly) {
  const AddCase cases[] = {
      {0, 0, {5, 0}, 3, {8, 0}},      {0, 0, {0, 0}, 0, {0, 0}},    {10, 4, {8, 0}, 2, {10, 0}},
      {10, 4, {8, 0}, 5, {10, 3}},    {10, 4, {8, 0}, 6, {10, 4}},  {10, 4, {8, 0}, 7, {11, 0}},
      {10, 4, {8, 0}, 100, {104, 0}}, {10, 4, {10, 2}, 2, {10, 4}}, {10, 4, {10, 2}, 3, {11, 0}},
      {10, 4, {10, 0}, 0, {10, 0}},   {10, 4, {10, 2}, 0, {10, 2}}, {10, 4, {12, 0}, 3, {15, 0}},
      {10, 4, {7, 2}, 0, {7, 0}},     {10, 4, {7, 2}, 5, {12, 0}},  {10, 4, {9, 0}, 1, {10, 0}},
      {10, 0, {9, 0}, 2, {11, 0}},
  };
  for (const AddCase& c : cases) {
    setLastStop(c.stop_cycle, c.stop_count);
    EXPECT_EQ(c.result, c.from + c.n) << c.from << " + " << c.n << " with last stop ["
                                      << c.stop_cycle << ", " << c.stop_count << "]";
  }
}

struct SubCase {
  GameTime from;
  long n;
  GameTime result;
};

TEST_F(GameTimeTest, SubtractionUsesTheStoppedCountThenTheCycleNeverBelowZero) {
  setLastStop(10, 4);  // must not matter
  // Taking back stopped steps alone leaves the cycle as it is, even one below
  // 0; going back past them clamps it.
  const SubCase cases[] = {
      {{3, 0}, 5, {0, 0}}, {{10, 3}, 2, {10, 1}}, {{10, 3}, 4, {9, 0}},  {{10, 3}, 3, {10, 0}},
      {{0, 2}, 5, {0, 0}}, {{20, 0}, 0, {20, 0}}, {{-5, 3}, 3, {-5, 0}}, {{-5, 3}, 4, {0, 0}},
  };
  for (const SubCase& c : cases) {
    EXPECT_EQ(c.result, c.from - c.n) << c.from << " - " << c.n;
  }
}

TEST_F(GameTimeTest, NegativeStepCountsGoTheOtherWay) {
  setLastStop(10, 4);
  EXPECT_EQ(GameTime(3, 0), GameTime(5, 0) + (-2L));
  EXPECT_EQ(GameTime(10, 4), GameTime(10, 1) - (-3L));
  EXPECT_EQ(GameTime(0, 0), GameTime(5, 0) + LONG_MIN);
}

TEST_F(GameTimeTest, HugeStepCountsSaturateInsteadOfWrapping) {
  EXPECT_EQ(GameTime(INT_MAX, 0), GameTime(INT_MAX - 1, 0) + LONG_MAX);
  EXPECT_EQ(GameTime(0, 0), GameTime(5, 0) - LONG_MAX);
  EXPECT_EQ(GameTime(0, 0), GameTime(5, 3) - LONG_MAX);
  setLastStop(10, 4);
  EXPECT_EQ(GameTime(INT_MAX, 0), GameTime(10, 2) + LONG_MAX);
}

struct DiffCase {
  GameTime later, earlier;
  long steps;
};

TEST_F(GameTimeTest, DifferenceCountsStepsBetweenTimes) {
  setLastStop(10, 4);
  const DiffCase cases[] = {
      {{10, 3}, {10, 1}, 2},
      {{12, 2}, {10, 0}, 4},
      {{12, 0}, {10, 0}, 2},
      {{10, 1}, {10, 3}, -2},
      // From inside the last stop its remaining steps count first.
      {{12, 0}, {10, 3}, 3},
      {{11, 0}, {10, 4}, 1},
      // Stopped counts of other cycles are dropped at the next step.
      {{12, 0}, {7, 2}, 5},
      // The earlier time on the left gives the negated count.
      {{10, 0}, {12, 2}, -4},
      {{10, 3}, {12, 0}, -3},
  };
  for (const DiffCase& c : cases) {
    EXPECT_EQ(c.steps, c.later - c.earlier) << c.later << " - " << c.earlier;
  }
}

TEST_F(GameTimeTest, DifferenceFromAStoppedTimeUndoesAddition) {
  setLastStop(10, 4);
  const GameTime starts[] = {{10, 1}, {10, 3}, {7, 2}, {12, 5}};
  for (const GameTime& start : starts) {
    for (long n = 0; n < 20; ++n) {
      const GameTime end = start + n;
      if (end.cycle == start.cycle && end.stopped < start.stopped) continue;
      EXPECT_EQ(n, end - start) << start << " + " << n << " = " << end;
    }
  }
}

TEST_F(GameTimeTest, EqualityComparesBothFields) {
  EXPECT_TRUE(GameTime(5, 1) == GameTime(5, 1));
  EXPECT_TRUE(GameTime(5, 1) != GameTime(5, 2));
  EXPECT_TRUE(GameTime(5, 1) != GameTime(6, 1));
}

TEST_F(GameTimeTest, PrintsCycleAndStoppedInBrackets) {
  std::ostringstream os;
  os << GameTime(120, 3) << GameTime(-1, 0);
  EXPECT_EQ("[120, 3][-1, 0]", os.str());
}

}  // namespace
