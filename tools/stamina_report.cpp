#include "tools/stamina_report.h"

#include <stdio.h>

#include <sstream>

namespace practice {

namespace {

std::string stateText(const StaminaState& s) {
  char text[64];
  snprintf(text, sizeof(text), "%7.0f %6.2f %8.2f %8.0f", s.stamina, s.effort, s.recovery,
           s.capacity);
  return text;
}

}  // namespace

std::map<int, CoachEstimate> lastCoachEstimates(const std::string& coach_out) {
  std::map<int, CoachEstimate> last;
  std::istringstream lines(coach_out);
  for (std::string line; std::getline(lines, line);) {
    int unum = 0, end = 0;
    CoachEstimate e;
    StaminaState& s = e.state;
    if (sscanf(line.c_str(), "player %d at %d: stamina %lf effort %lf recovery %lf capacity %lf%n",
               &unum, &e.cycle, &s.stamina, &s.effort, &s.recovery, &s.capacity, &end) == 6 &&
        line[end] == '\0') {
      last[unum] = e;
    }
  }
  return last;
}

void printStaminaReport(const std::vector<StaminaSnapshot>& truth, const std::string& coach_out,
                        const std::vector<SubstitutionRecord>& changes, std::ostream& log) {
  const std::map<int, CoachEstimate> estimates = lastCoachEstimates(coach_out);
  char line[160];
  log << "[server] ---- stamina ----" << std::endl;
  snprintf(line, sizeof(line), "%13s   %-32s   %s", "", "the server's truth",
           "the coach's last estimate");
  log << "[server] " << line << std::endl;
  snprintf(line, sizeof(line), "%6s %6s   %7s %6s %8s %8s   %7s %6s %8s %8s", "player", "cycle",
           "stamina", "effort", "recovery", "capacity", "stamina", "effort", "recovery",
           "capacity");
  log << "[server] " << line << std::endl;
  for (int unum = 1; unum <= 11; ++unum) {
    const auto estimate = estimates.find(unum);
    const bool estimated = estimate != estimates.end();
    const StaminaSnapshot* at = nullptr;
    for (const StaminaSnapshot& snapshot : truth) {
      if (snapshot.unum == unum && (!estimated || snapshot.cycle <= estimate->second.cycle)) {
        at = &snapshot;
      }
    }
    if (at == nullptr) continue;
    snprintf(line, sizeof(line), "%6d %6d   %s   %s", unum, at->cycle, stateText(at->state).c_str(),
             estimated ? stateText(estimate->second.state).c_str() : "      -");
    log << "[server] " << line << std::endl;
  }
  std::istringstream lines(coach_out);
  for (std::string text; std::getline(lines, text);) {
    if (text.compare(0, 11, "substitute ") == 0) log << "[server] coach: " << text << std::endl;
  }
  int made = 0;
  for (const SubstitutionRecord& change : changes) {
    if (!change.after_kick_off) continue;
    made += change.command.empty() || change.answer.compare(0, 4, "(ok ") == 0;
    log << "[server] cycle " << change.cycle << ": "
        << (change.command.empty() ? "the trainer's" : change.command) << " -> " << change.answer
        << std::endl;
  }
  log << "[server] substitutions made: " << made << std::endl;
}

}  // namespace practice
