#include "tools/scout_report.h"

#include <stdio.h>
#include <string.h>

namespace practice {

bool parseOpponentTypes(const std::string& text, std::map<int, int>* types) {
  static const char HEAD[] = "(opponent_types";
  if (text.compare(0, strlen(HEAD), HEAD) != 0) return false;
  std::map<int, int> read;
  const char* at = text.c_str() + strlen(HEAD);
  for (;;) {
    int unum = 0, type = 0, used = 0;
    char close = 0;
    if (sscanf(at, " (%d %d%c%n", &unum, &type, &close, &used) == 3 && close == ')') {
      read[unum] = type;
      at += used;
      continue;
    }
    used = 0;
    sscanf(at, " )%n", &used);
    if (used == 0 || at[used] != '\0') return false;
    break;
  }
  *types = read;
  return true;
}

std::map<int, int> lastToldTypes(const std::vector<SayRecord>& says) {
  std::map<int, int> told;
  for (const SayRecord& say : says) {
    if (say.answer == "(ok say)") parseOpponentTypes(say.text, &told);
  }
  return told;
}

void printScoutReport(const std::vector<int>& true_types, const std::vector<SayRecord>& says,
                      std::ostream& log) {
  const std::map<int, int> told = lastToldTypes(says);
  log << "[server] ---- scouting ----" << std::endl;
  log << "[server] opponent  true type  coach told" << std::endl;
  for (int unum = 1; unum <= 11 && unum < static_cast<int>(true_types.size()); ++unum) {
    const auto entry = told.find(unum);
    char line[64];
    snprintf(line, sizeof(line), "%8d  %9d  %10s", unum, true_types[unum],
             entry == told.end() ? "-" : std::to_string(entry->second).c_str());
    log << "[server] " << line << std::endl;
  }
  std::map<std::string, int> answers;
  for (const SayRecord& say : says) ++answers[say.answer];
  log << "[server] says " << says.size();
  const char* separator = ", answered ";
  for (const auto& answer : answers) {
    log << separator << answer.first << " " << answer.second;
    separator = ", ";
  }
  log << std::endl;
}

}  // namespace practice
