#ifndef BRENVO_STRATEGY_CLANG_MANAGER_H
#define BRENVO_STRATEGY_CLANG_MANAGER_H

// Keeps the coach-language (CLang) versions the coached side's players
// announced: each player's range and the range all of them share, which
// only ever narrows. Opponents' announcements are checked but not kept.
// Never reads past the message it is given.

#include <utility>

#include "param/server_param.h"

class CLangManager {
 public:
  // The initial range and the bounds of an acceptable announcement.
  static const int S_DEFAULT_CLANG_MIN_VER = 7;
  static const int S_DEFAULT_CLANG_MAX_VER = 8;

  CLangManager();

  // One "(clang (ver (p "TEAM" UNUM) MIN MAX))" announcement.
  void parseCLangVer(const char* message);

  int sharedMinVersion() const { return shared_min; }
  int sharedMaxVersion() const { return shared_max; }
  // The range own player unum announced last; (7, 8) before any, and for a
  // number outside 1 to 11.
  std::pair<int, int> playerVersion(int unum) const;
  // Whether any own player has announced its versions (every range kept
  // lies within 7 to 8, so such a player hears free-form text).
  bool anyAnnounced() const { return any_announced; }

 private:
  int shared_min;  // highest minimum any own player announced
  int shared_max;  // lowest maximum any own player announced
  // By uniform number; index 0 unused.
  std::pair<int, int> player_versions[ServerParam::DEFAULT_MAX_PLAYER + 1];
  bool any_announced;
};

#endif
