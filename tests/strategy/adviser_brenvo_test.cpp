#include "strategy/adviser_brenvo.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "strategy/clang_manager.h"
#include "tests/coach/coach_test_support.h"
#include "tests/in_child.h"
#include "world/world_model_global.h"

namespace {

const char REGIONS[] =
    "(define"
    " (definer \"RegOppMid\" (rec (pt 5 -18) (pt 30 18)))"
    " (definer \"RegOppSideL\" (rec (pt 5 -34) (pt 30 -18)))"
    " (definer \"RegOppSideR\" (rec (pt 5 18) (pt 30 34)))"
    " (definer \"RegChanceCrossL\" (rec (pt 30 -34) (pt 52.5 -15)))"
    " (definer \"RegChanceCrossR\" (rec (pt 30 15) (pt 52.5 34)))"
    " (definer \"RegGoalChance\" (rec (pt 35 -15) (pt 52.5 15)))"
    " (definer \"RegOurMid\" (rec (pt 5 -20) (pt 30 20)))"
    " (definer \"RegOurSideL\" (rec (pt -30 -34) (pt 0 -20)))"
    " (definer \"RegOurSideR\" (rec (pt -30 20) (pt 0 34)))"
    " (definer \"RegDangerCrossL\" (rec (pt -52.5 -34) (pt -30 -15)))"
    " (definer \"RegDangerCrossR\" (rec (pt -52.5 15) (pt -30 34)))"
    " (definer \"RegDangerous\" (rec (pt -52.5 -15) (pt -30 15)))"
    ")";

const char RULES[] =
    "(define"
    " (definerule RuleClear0 direc ((and (bowner our {0}) (bpos \"RegDangerous\")) (do our {0} "
    "(clear (reg \"RegOurSideL\" \"RegOurSideR\")))))"
    " (definerule RuleBlock0 direc ((and (bowner opp {0}) (bpos \"RegDangerous\")) (do our {0} "
    "(intercept))))"
    " (definerule RuluMark0 direc ((and (bowner opp {0}) (bpos (reg \"RegDangerCrossL\" "
    "\"RegDangerCrossR\"))) (do our {0} (markl \"RegDangerous\"))))"
    " (definerule RuleThrough0 direc ((and (bowner our {0}) (bpos \"RegOppMid\")) (do our {0} "
    "(pass (reg \"RegChanceCrossL\" \"RegChanceCrossR\")))))"
    " (definerule RuleThrough1 direc ((and (bowner our {0}) (bpos \"RegOppMid\") (ppos opp {X} 1 "
    "11 (arc (pt ball) 0 3 0 360))) (do our {0} (clear (reg \"RegChanceCrossL\" "
    "\"RegChanceCrossR\")))))"
    ")";

std::string next(AdviserBrenvo& adviser) {
  std::ostringstream os;
  EXPECT_EQ(&os, &adviser.toCLang(os));
  return os.str();
}

// Each call writes the next message; the pieces written directly (the
// half-time ones are stubs) leave the script where it is.
TEST(AdviserBrenvoTest, ScriptIsRegionsThenRulesThenSwitchThenNothing) {
  AdviserBrenvo adviser;
  std::ostringstream pieces;
  adviser.defineFirstRules(pieces) << "|";
  adviser.defineHalfTimeRules(pieces) << "|";
  defineHalfTimeRegions(pieces) << "|";
  adviser.onHalfTimeRules(pieces);
  EXPECT_EQ(std::string(RULES) + "|||(rule (on all))", pieces.str());
  EXPECT_EQ(REGIONS, next(adviser));
  EXPECT_EQ(RULES, next(adviser));
  EXPECT_EQ("(rule (on all))", next(adviser));
  EXPECT_EQ("", next(adviser));
  EXPECT_EQ("", next(adviser));
  WorldModelGlobal world;
  CLangManager clang;
  EXPECT_TRUE(adviser.execute(world, clang));
}

// The coach holds its adviser but never consults it: through the stopped
// steps before kick-off, the adviser's moments, nothing goes out and the
// script stays at its start.
TEST(AdviserBrenvoTest, TheCoachHoldsItsAdviserButNeverConsultsIt) {
  coach_test::Peer peer;
  coach_test::TestAgent agent;
  agent.connectTo(peer);
  const boost::shared_ptr<AdviserBrenvo> adviser(new AdviserBrenvo());
  agent.setAdviser(adviser);
  for (int view = 0; view < 12; ++view) {
    agent.feed(peer, {"(see_global 0 ((b) 0 0 0 0))"});
    agent.action();
  }
  EXPECT_EQ(GameTime(0, 12), agent.world.gameTime());
  EXPECT_TRUE(peer.takeAll().empty());
  EXPECT_EQ(REGIONS, next(*adviser));
  GameTime::S_last_stop_cycle = 0;
  GameTime::S_last_stop_count = 0;
}

// The record of the last advice time is one function-local static for the
// whole process and only moves forward; the checks run in a child, where it
// still holds its initial (0, 0).
TEST(AdviserBrenvoTest, TimingOpensOncePerStoppedStepFromTheSixthBeforeKickOff) {
  inChild([] {
    AdviserBrenvo adviser;
    const AdviserBrenvo& timing = adviser;
    WorldModelGlobal world;
    const CLangManager clang;
    const auto at = [&](int cycle, int stopped) {
      world.setTime(GameTime(cycle, stopped));
      return timing.isAdviceTiming(world, clang);
    };
    EXPECT_FALSE(at(0, 3));
    EXPECT_FALSE(at(0, 5));
    EXPECT_TRUE(at(0, 6));
    EXPECT_FALSE(at(0, 6));
    // Another cycle answers false and does not move the record.
    EXPECT_FALSE(at(1, 100));
    EXPECT_FALSE(at(-1, 100));
    EXPECT_TRUE(at(0, 7));

    // A finished script closes the timing, again without moving the record.
    next(adviser);
    EXPECT_TRUE(at(0, 8));
    next(adviser);
    next(adviser);
    EXPECT_FALSE(at(0, 20));
    AdviserBrenvo fresh;
    EXPECT_TRUE(fresh.isAdviceTiming(world, clang));
    // The record is shared: the fresh adviser's answer closes step 20 for all.
    AdviserBrenvo another;
    EXPECT_FALSE(another.isAdviceTiming(world, clang));
  });
}

}  // namespace
