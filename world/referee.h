#ifndef BRENVO_WORLD_REFEREE_H
#define BRENVO_WORLD_REFEREE_H

// Turns the referee's announcements into the current play mode, the side it
// favours, the time of the last change and the score. Owns the vocabulary of
// play modes: the server texts, the server codes and the printed names.
// Never stores UNSUPPORTED; a text it does not know changes nothing.

#include <functional>
#include <iosfwd>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "world/game_time.h"

namespace SoccerTypes {
enum Side { LEFT = 1, NEUTRAL = 0, RIGHT = -1 };
}  // namespace SoccerTypes

class Referee {
 public:
  // Values 10 and 12 to 17 are reserved: no server text produces them, but
  // they keep their places and their server codes.
  enum PlayMode {
    BEFORE_KICK_OFF = 0,
    GAME_OVER,
    PLAY_ON,
    KICK_OFF,
    KICK_IN,
    FREE_KICK,
    CORNER_KICK,
    GOAL_KICK,
    GOAL,
    OFFSIDE,
    RESERVED_10,
    HALF_TIME,
    RESERVED_12,
    RESERVED_13,
    RESERVED_14,
    RESERVED_15,
    RESERVED_16,
    RESERVED_17,
    BACK_PASS,
    FREE_KICK_FAULT,
    CATCH_FAULT,
    INDIRECT_FREE_KICK,
    PENALTY_SETUP,
    PENALTY_READY,
    PENALTY_TAKEN,
    PENALTY_MISS,
    PENALTY_SCORE,
    PENALTY_ONFIELD,
    PENALTY_FOUL,
    GOALIE_CATCH,
    TIME_EXTENDED,
    UNSUPPORTED = 31
  };

  // Mode texts longer than this are not play modes: they are reported as
  // unsupported and change nothing.
  static constexpr int MAX_MODE_TEXT = 63;

  Referee();

  // Handles one "(hear TIME referee MODE)" announcement received at now.
  void parse(const char* message, const GameTime& now);
  // Sets mode and side from a bare mode text; the change time is kept.
  void parseInit(const char* text);
  // Classifies a mode text; a goal text also sets that team's score.
  std::pair<PlayMode, SoccerTypes::Side> judge(const std::string& text);

  // The server's numeric code of the current mode and side.
  int getServerPlayMode() const;
  // "[cycle, stopped]" followed by the printed mode and side names.
  void print(std::ostream& os) const;

  // The server's numeric code of a mode awarded to side.
  static int serverPlayMode(PlayMode mode, SoccerTypes::Side side);
  // The printed names, blanks as they are written in print().
  static const char* playModeName(PlayMode mode);
  static const char* sideName(SoccerTypes::Side side);

  PlayMode playMode() const { return mode; }
  SoccerTypes::Side modeSide() const { return side; }
  const GameTime& lastChangeTime() const { return last_change_time; }
  int scoreLeft() const { return score_left; }
  int scoreRight() const { return score_right; }

 private:
  // judge() on a view of the text: looking a mode up never copies it.
  std::pair<PlayMode, SoccerTypes::Side> judgeText(std::string_view text);

  // Keyed so that a std::string_view finds its entry without a std::string.
  std::map<std::string, std::pair<PlayMode, SoccerTypes::Side>, std::less<>> mode_table;
  GameTime last_change_time;
  SoccerTypes::Side side;
  PlayMode mode;
  int score_left;
  int score_right;
};

#endif
