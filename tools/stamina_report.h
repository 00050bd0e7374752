#ifndef BRENVO_TOOLS_STAMINA_REPORT_H
#define BRENVO_TOOLS_STAMINA_REPORT_H

// The end of the tiring demo: each of our players' true stamina state, as the
// server kept it, beside the coach's last estimate read from its output, and
// the substitutions after kick-off with the server's answers.

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "tools/stamina_rules.h"
#include "tools/substitution_rules.h"

namespace practice {

// A coach's line "player U at C: stamina S effort E recovery R capacity K".
struct CoachEstimate {
  int cycle = 0;
  StaminaState state;
};

// The last such line of each player, by uniform number.
std::map<int, CoachEstimate> lastCoachEstimates(const std::string& coach_out);

// The table: for each of our players the truth at the cycle of the coach's
// last estimate (or at the last cycle recorded, without one) beside that
// estimate ("-" for none); then the coach's lines "substitute U type T gain
// G" and every change after kick-off with its answer. Every line begins
// "[server] ".
void printStaminaReport(const std::vector<StaminaSnapshot>& truth, const std::string& coach_out,
                        const std::vector<SubstitutionRecord>& changes, std::ostream& log);

}  // namespace practice

#endif
