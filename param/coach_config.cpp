#include "param/coach_config.h"

#include <iostream>

// Every setting in registration order: name, member, default, alias.
const ParamMap::Row<CoachConfig> CoachConfig::S_PARAMS[] = {
    {"team_name", &CoachConfig::team_name, DEFAULT_TEAM_NAME, "t"},
    {"version", &CoachConfig::version, DEFAULT_VERSION, "v"},
    {"coach_name", &CoachConfig::coach_name, DEFAULT_COACH_NAME},
    {"use_coach_name", &CoachConfig::use_coach_name, DEFAULT_USE_COACH_NAME},
    {"alarm_cycle_divs", &CoachConfig::alarm_cycle_divs, DEFAULT_ALARM_CYCLE_DIVS},
    {"server_down_cycle", &CoachConfig::server_down_cycle, DEFAULT_SERVER_DOWN_CYCLE},
    {"host", &CoachConfig::host, DEFAULT_HOST, "h"},
    {"port", &CoachConfig::port, DEFAULT_PORT},
    {"use_advise", &CoachConfig::use_advise, DEFAULT_USE_ADVISE},
    {"use_clang", &CoachConfig::use_clang, DEFAULT_USE_CLANG},
    {"clang_version", &CoachConfig::clang_version, DEFAULT_CLANG_VERSION},
    {"use_freeform", &CoachConfig::use_freeform, DEFAULT_USE_FREEFORM},
    {"use_hetero_player", &CoachConfig::use_hetero_player, DEFAULT_USE_HETERO_PLAYER},
    {"write_after_game", &CoachConfig::write_after_game, DEFAULT_WRITE_AFTER_GAME, SWITCH},
    {"substitution_policy", &CoachConfig::substitution_policy, DEFAULT_SUBSTITUTION_POLICY},
    {"scout_opponents", &CoachConfig::scout_opponents, DEFAULT_SCOUT_OPPONENTS},
    {"substitute_tired", &CoachConfig::substitute_tired, DEFAULT_SUBSTITUTE_TIRED},
    {"team_graphic_file", &CoachConfig::team_graphic_file, DEFAULT_TEAM_GRAPHIC_FILE},
};

CoachConfig& CoachConfig::instance() {
  static CoachConfig config;
  return config;
}

CoachConfig::CoachConfig() {
  setDefaultParam();
  createMap();
}

void CoachConfig::setDefaultParam() {
  defineRows(*this, S_PARAMS, DEFAULT);
}

void CoachConfig::createMap() {
  defineRows(*this, S_PARAMS, REGISTER);
}

CoachConfig::SubstitutionPolicy CoachConfig::substitutionPolicy() const {
  return substitution_policy == "roles" ? ROLES : CLASSIC;
}

void CoachConfig::reportUnknownPolicy() const {
  if (substitution_policy == "classic" || substitution_policy == "roles") return;
  std::cerr << "substitution_policy \"" << substitution_policy
            << "\" is unknown (classic or roles); classic is used" << std::endl;
}
