#include "param/coach_config.h"

CoachConfig& CoachConfig::instance() {
  static CoachConfig config;
  return config;
}

CoachConfig::CoachConfig() {
  setDefaultParam();
  createMap();
}

void CoachConfig::setDefaultParam() {
  team_name = DEFAULT_TEAM_NAME;
  coach_name = DEFAULT_COACH_NAME;
  version = DEFAULT_VERSION;
  use_coach_name = DEFAULT_USE_COACH_NAME;
  alarm_cycle_divs = DEFAULT_ALARM_CYCLE_DIVS;
  server_down_cycle = DEFAULT_SERVER_DOWN_CYCLE;
  host = DEFAULT_HOST;
  port = DEFAULT_PORT;
  use_advise = DEFAULT_USE_ADVISE;
  use_clang = DEFAULT_USE_CLANG;
  clang_version = DEFAULT_CLANG_VERSION;
  use_freeform = DEFAULT_USE_FREEFORM;
  use_hetero_player = DEFAULT_USE_HETERO_PLAYER;
  write_after_game = DEFAULT_WRITE_AFTER_GAME;
}

void CoachConfig::createMap() {
  string_map["team_name"] = &team_name;
  string_map["t"] = &team_name;
  double_map["version"] = &version;
  double_map["v"] = &version;
  string_map["coach_name"] = &coach_name;
  onoff_map["use_coach_name"] = &use_coach_name;
  int_map["alarm_cycle_divs"] = &alarm_cycle_divs;
  int_map["server_down_cycle"] = &server_down_cycle;
  string_map["host"] = &host;
  string_map["h"] = &host;
  int_map["port"] = &port;
  onoff_map["use_advise"] = &use_advise;
  onoff_map["use_clang"] = &use_clang;
  int_map["clang_version"] = &clang_version;
  onoff_map["use_freeform"] = &use_freeform;
  onoff_map["use_hetero_player"] = &use_hetero_player;
  bool_map["write_after_game"] = &write_after_game;
}
