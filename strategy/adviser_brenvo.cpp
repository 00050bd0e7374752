#include "strategy/adviser_brenvo.h"

#include "world/game_time.h"
#include "world/world_model_global.h"

namespace {

// Advice opens only after this many stopped steps at cycle 0.
const int kAdviceMinStopped = 5;

const char* const kFirstRegions[] = {
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

const char* const kFirstRules[] = {
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

const char* const kRulesOn = "(rule (on all))";

}  // namespace

AdviserBrenvo::AdviserBrenvo()
    : first_regions_defined_(false), first_rules_defined_(false), first_rules_on_(false) {}

bool AdviserBrenvo::execute(const WorldModelGlobal& /*world*/, CLangManager& /*clang*/) {
  return true;
}

bool AdviserBrenvo::isAdviceTiming(const WorldModelGlobal& world,
                                   const CLangManager& /*clang*/) const {
  static GameTime S_last_advice_time(0, 0);
  const GameTime& now = world.time();
  if (now.cycle != 0) return false;
  if (now.stopped <= kAdviceMinStopped) return false;
  if (now.stopped <= S_last_advice_time.stopped) return false;
  if (isScriptFinished()) return false;
  S_last_advice_time = now;
  return true;
}

std::ostream& AdviserBrenvo::toCLang(std::ostream& os) {
  if (!first_regions_defined_) {
    first_regions_defined_ = true;
    return defineFirstRegions(os);
  }
  if (!first_rules_defined_) {
    first_rules_defined_ = true;
    return defineFirstRules(os);
  }
  if (!first_rules_on_) {
    first_rules_on_ = true;
    return onFirstRules(os);
  }
  return os;
}

std::ostream& AdviserBrenvo::defineFirstRegions(std::ostream& os) {
  os << "(define";
  for (const char* region : kFirstRegions) os << region;
  return os << ")";
}

std::ostream& AdviserBrenvo::defineFirstRules(std::ostream& os) {
  os << "(define";
  for (const char* rule : kFirstRules) os << rule;
  return os << ")";
}

std::ostream& AdviserBrenvo::onFirstRules(std::ostream& os) {
  return os << kRulesOn;
}

std::ostream& AdviserBrenvo::defineHalfTimeRules(std::ostream& os) {
  return os;
}

std::ostream& AdviserBrenvo::onHalfTimeRules(std::ostream& os) {
  return os << kRulesOn;
}

bool AdviserBrenvo::isScriptFinished() const {
  return first_regions_defined_ && first_rules_defined_ && first_rules_on_;
}

std::ostream& defineHalfTimeRegions(std::ostream& os) {
  return os;
}
