#ifndef BRENVO_PARAM_COACH_CONFIG_H
#define BRENVO_PARAM_COACH_CONFIG_H

// The coach's own settings: identity, server address, timer and liveness
// settings and feature flags. A process-wide singleton holding the defaults
// until the start-up readers override them; read-only after start-up.

#include <string>

#include "param/param_map.h"

class CoachConfig : public ParamMap {
 public:
  static constexpr const char* DEFAULT_TEAM_NAME = "BRENVO2003";
  static constexpr const char* DEFAULT_COACH_NAME = "BRENVO_Coach";
  static constexpr double DEFAULT_VERSION = 9.4;
  static constexpr bool DEFAULT_USE_COACH_NAME = false;
  static constexpr int DEFAULT_ALARM_CYCLE_DIVS = 2;
  static constexpr int DEFAULT_SERVER_DOWN_CYCLE = 30;
  static constexpr const char* DEFAULT_HOST = "localhost";
  static constexpr int DEFAULT_PORT = 6002;
  static constexpr bool DEFAULT_USE_ADVISE = true;
  static constexpr bool DEFAULT_USE_CLANG = true;
  static constexpr int DEFAULT_CLANG_VERSION = 8;
  static constexpr bool DEFAULT_USE_FREEFORM = false;
  static constexpr bool DEFAULT_USE_HETERO_PLAYER = false;
  static constexpr bool DEFAULT_WRITE_AFTER_GAME = false;
  static constexpr const char* DEFAULT_SUBSTITUTION_POLICY = "classic";
  static constexpr bool DEFAULT_SCOUT_OPPONENTS = false;
  static constexpr bool DEFAULT_SUBSTITUTE_TIRED = false;
  static constexpr const char* DEFAULT_TEAM_GRAPHIC_FILE = "";

  // How the coach gives its field players their types before kick-off.
  enum SubstitutionPolicy {
    CLASSIC,  // four role groups, each one type above fixed floors
    ROLES,    // player by player, the best type the server still allows
  };

  static CoachConfig& instance();

  void createMap() override;
  void setDefaultParam() override;

  // The policy that substitution_policy names; classic for any other name.
  SubstitutionPolicy substitutionPolicy() const;
  // Writes one line to standard error when substitution_policy names no
  // policy.
  void reportUnknownPolicy() const;

  std::string team_name;  // also reachable as "t"
  std::string coach_name;
  double version;         // protocol version; also reachable as "v"
  bool use_coach_name;    // on/off
  int alarm_cycle_divs;   // timer ticks per simulator step
  int server_down_cycle;  // silent cycles before the server counts as down
  std::string host;       // also reachable as "h"
  int port;               // the server's online-coach UDP port
  bool use_advise;        // on/off
  bool use_clang;         // on/off
  int clang_version;
  bool use_freeform;                // on/off
  bool use_hetero_player;           // on/off
  bool write_after_game;            // switch
  std::string substitution_policy;  // "classic" or "roles"
  bool scout_opponents;             // on/off: name the opponents' types from their motion
  bool substitute_tired;            // on/off: substitute tired players at dead balls
  std::string team_graphic_file;    // XPM picture sent before kick-off; empty: none

 private:
  CoachConfig();

  static const Row<CoachConfig> S_PARAMS[];  // every setting: name, member, default, alias
};

#endif
