#ifndef BRENVO_TOOLS_SCOUT_REPORT_H
#define BRENVO_TOOLS_SCOUT_REPORT_H

// What a scouting coach told its players about the opponents' types, read
// back from its free-form messages, beside the truth the server holds.

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "tools/freeform_rules.h"

namespace practice {

// The pairs of "(opponent_types (U T) (U T) ...)", type by uniform number;
// false (and `types` untouched) for any other text.
bool parseOpponentTypes(const std::string& text, std::map<int, int>* types);

// The types told by the last message the server accepted that parses as
// opponent types; empty when none did.
std::map<int, int> lastToldTypes(const std::vector<SayRecord>& says);

// The end table: for each opponent 1 to 11 its true type (`true_types`,
// index 0 unused) and the type last told ("-" for none), then the count of
// says and of each answer. Every line begins "[server] ".
void printScoutReport(const std::vector<int>& true_types, const std::vector<SayRecord>& says,
                      std::ostream& log);

}  // namespace practice

#endif
