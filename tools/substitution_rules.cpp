#include "tools/substitution_rules.h"

#include <stdio.h>

#include <algorithm>

namespace practice {

namespace {

std::string notice(int unum, int type) {
  return "(change_player_type " + std::to_string(unum) + " " + std::to_string(type) + ")";
}

}  // namespace

SubstitutionRules::SubstitutionRules(const SubstitutionLimits& limits)
    : limits(limits), held(12, 0), uses(std::max(0, limits.player_types), 0) {}

std::vector<std::string> SubstitutionRules::answer(const std::string& command, MatchPhase phase,
                                                   int cycle, bool* accepted) {
  *accepted = false;
  int unum = 0;
  int type = 0;
  char close = 0;
  const char* error = nullptr;
  if (sscanf(command.c_str(), "(change_player_type %d %d%c", &unum, &type, &close) != 3 ||
      close != ')' || command.find(')') != command.size() - 1) {
    unum = 0;
    error = "(error illegal_command_form)";
  } else {
    error = refusal(unum, type, phase);
  }
  if (error != nullptr) {
    changes.push_back({cycle, unum, type, command, error, kicked_off});
    return {error};
  }
  if (kicked_off) {
    ++subs;
    if (type < static_cast<int>(uses.size())) ++uses[type];
  }
  const std::string ok = "(ok " + notice(unum, type).substr(1);
  hold(unum, type, cycle, command, ok);
  *accepted = true;
  return {notice(unum, type), ok};
}

const char* SubstitutionRules::refusal(int unum, int type, MatchPhase phase) const {
  if (type < 0 || type >= limits.player_types) return "(error out_of_range_player_type)";
  if (unum < 1 || unum > 11) return "(warning no_such_player)";
  if (phase == MatchPhase::PLAY_ON) return "(warning cannot_sub_while_playon)";
  if (phase == MatchPhase::OVER) return "(warning cannot_sub_while_penalty_shootouts)";
  if (kicked_off && subs >= limits.subs_max) return "(warning no_subs_left)";
  if (kicked_off && limited(type) && uses[type] >= limits.pt_max) {
    return "(warning no_left_of_that_type)";
  }
  const long others = std::count(held.begin() + 1, held.end(), type) - (held[unum] == type);
  if (limited(type) && others >= limits.pt_max) return "(warning max_of_that_type_on_field)";
  return nullptr;
}

std::vector<std::string> SubstitutionRules::firstKickOff(int cycle) {
  std::vector<std::string> notices;
  if (kicked_off) return notices;
  for (int unum = 2; unum <= 11; ++unum) {
    if (held[unum] != 0) continue;
    for (int type = 1; type < limits.player_types; ++type) {
      if (std::count(held.begin() + 1, held.end(), type) < limits.pt_max) {
        hold(unum, type, cycle, "", notice(unum, type));
        notices.push_back(notice(unum, type));
        break;
      }
    }
  }
  for (int unum = 1; unum <= 11; ++unum) uses[held[unum]] = 1;
  kicked_off = true;
  return notices;
}

std::string SubstitutionRules::trainerChange(int unum, int type, int cycle) {
  if (unum < 1 || unum > 11 || type < 0 || type >= limits.player_types) return "";
  if (kicked_off) {
    ++subs;
    ++uses[type];
  }
  hold(unum, type, cycle, "", notice(unum, type));
  return notice(unum, type);
}

void SubstitutionRules::hold(int unum, int type, int cycle, const std::string& command,
                             const std::string& answer) {
  held[unum] = type;
  changes.push_back({cycle, unum, type, command, answer, kicked_off});
}

}  // namespace practice
