#include "strategy/adviser_brenvo.h"

#include "world/game_time.h"
#include "world/world_model_global.h"

namespace {

// Advice opens only after this many stopped steps at cycle 0.
const int ADVICE_MIN_STOPPED = 5;

const char* const FIRST_REGIONS[] = {
    " (definer \"RegOppMid\" (rec (pt 5 -18) (pt 30 18)))",
    " (definer \"RegOppSideL\" (rec (pt 5 -34) (pt 30 -18)))",
    " (definer \"RegOppSideR\" (rec (pt 5 18) (pt 30 34)))",
    " (definer \"RegChanceCrossL\" (rec (pt 30 -34) (pt 52.5 -15)))",
    " (definer \"RegChanceCrossR\" (rec (pt 30 15) (pt 52.5 34)))",
    " (definer \"RegGoalChance\" (rec (pt 35 -15) (pt 52.5 15)))",
    " (definer \"RegOurMid\" (rec (pt 5 -20) (pt 30 20)))",
    " (definer \"RegOurSideL\" (rec (pt -30 -34) (pt 0 -20)))",
    " (definer \"RegOurSideR\" (rec (pt -30 20) (pt 0 34)))",
    " (definer \"RegDangerCrossL\" (rec (pt -52.5 -34) (pt -30 -15)))",
    " (definer \"RegDangerCrossR\" (rec (pt -52.5 15) (pt -30 34)))",
    " (definer \"RegDangerous\" (rec (pt -52.5 -15) (pt -30 15)))",
};

const char* const FIRST_RULES[] = {
    " (definerule RuleClear0 direc ((and (bowner our {0}) (bpos \"RegDangerous\"))"
    " (do our {0} (clear (reg \"RegOurSideL\" \"RegOurSideR\")))))",
    " (definerule RuleBlock0 direc ((and (bowner opp {0}) (bpos \"RegDangerous\"))"
    " (do our {0} (intercept))))",
    " (definerule RuluMark0 direc ((and (bowner opp {0})"
    " (bpos (reg \"RegDangerCrossL\" \"RegDangerCrossR\"))) (do our {0} (markl "
    "\"RegDangerous\"))))",
    " (definerule RuleThrough0 direc ((and (bowner our {0}) (bpos \"RegOppMid\"))"
    " (do our {0} (pass (reg \"RegChanceCrossL\" \"RegChanceCrossR\")))))",
    " (definerule RuleThrough1 direc ((and (bowner our {0}) (bpos \"RegOppMid\")"
    " (ppos opp {X} 1 11 (arc (pt ball) 0 3 0 360)))"
    " (do our {0} (clear (reg \"RegChanceCrossL\" \"RegChanceCrossR\")))))",
};

const char* const RULES_ON = "(rule (on all))";

}  // namespace

AdviserBrenvo::AdviserBrenvo()
    : first_regions_defined(false), first_rules_defined(false), first_rules_on(false) {}

bool AdviserBrenvo::execute(const WorldModelGlobal& /*world*/, CLangManager& /*clang*/) {
  return true;
}

bool AdviserBrenvo::isAdviceTiming(const WorldModelGlobal& world,
                                   const CLangManager& /*clang*/) const {
  static GameTime S_last_advice_time(0, 0);
  const GameTime& now = world.gameTime();
  if (now.cycle != 0) return false;
  if (now.stopped <= ADVICE_MIN_STOPPED) return false;
  if (now.stopped <= S_last_advice_time.stopped) return false;
  if (isScriptFinished()) return false;
  S_last_advice_time = now;
  return true;
}

std::ostream& AdviserBrenvo::toCLang(std::ostream& os) {
  if (!first_regions_defined) {
    first_regions_defined = true;
    return defineFirstRegions(os);
  }
  if (!first_rules_defined) {
    first_rules_defined = true;
    return defineFirstRules(os);
  }
  if (!first_rules_on) {
    first_rules_on = true;
    return onFirstRules(os);
  }
  return os;
}

std::ostream& AdviserBrenvo::defineFirstRegions(std::ostream& os) {
  os << "(define";
  for (const char* region : FIRST_REGIONS) os << region;
  return os << ")";
}

std::ostream& AdviserBrenvo::defineFirstRules(std::ostream& os) {
  os << "(define";
  for (const char* rule : FIRST_RULES) os << rule;
  return os << ")";
}

std::ostream& AdviserBrenvo::onFirstRules(std::ostream& os) {
  return os << RULES_ON;
}

std::ostream& AdviserBrenvo::defineHalfTimeRules(std::ostream& os) {
  return os;
}

std::ostream& AdviserBrenvo::onHalfTimeRules(std::ostream& os) {
  return os << RULES_ON;
}

bool AdviserBrenvo::isScriptFinished() const {
  return first_regions_defined && first_rules_defined && first_rules_on;
}

std::ostream& defineHalfTimeRegions(std::ostream& os) {
  return os;
}
