#ifndef BRENVO_WORLD_WORLD_MODEL_GLOBAL_H
#define BRENVO_WORLD_WORLD_MODEL_GLOBAL_H

// The coach's summary of the match for the strategy: its own side, the
// player types the server announced (at most seven, or with the
// roles policy as many as the server offers), the record of type
// changes, and the latest time, play mode and mode side. Keeps no history
// and never reads the global view itself; that stays in the visual sensor.

#include <map>

#include "strategy/player_type.h"
#include "world/game_time.h"
#include "world/player_change_state.h"
#include "world/referee.h"

class CoachVisualSensor;

class WorldModelGlobal {
 public:
  WorldModelGlobal();

  // Sets the own side from the side letter of the server's init answer.
  void init(char side);
  // The most types the roles policy keeps, whatever the server announces.
  static constexpr int S_MAX_ANNOUNCED_TYPES = 64;

  // Keeps the first record of each id, up to seven types (with the roles
  // policy, up to the player_types the server announced).
  void insertPlayerType(const PlayerType& type);
  // Receives the "(ok team_names " answer; nothing of it is recorded.
  void parseTeamNames(const char* message);
  // Takes time, mode and side after a batch of messages with a global view.
  void updateAfterSeeGlobal(const CoachVisualSensor& sensor, const Referee& referee,
                            const GameTime& now);

  SoccerTypes::Side ourSide() const { return our_side; }
  const std::map<int, PlayerType>& playerTypeMap() const { return player_type_map; }
  PlayerChangeState& changeState() { return change_state_; }
  const PlayerChangeState& changeState() const { return change_state_; }
  const GameTime& gameTime() const { return time; }
  Referee::PlayMode playMode() const { return mode; }
  SoccerTypes::Side modeSide() const { return side; }

  void setTime(const GameTime& now) { time = now; }
  void setMode(Referee::PlayMode new_mode) { mode = new_mode; }
  void setSide(SoccerTypes::Side new_side) { side = new_side; }

  // How many types insertPlayerType keeps.
  static std::size_t playerTypeLimit();

 private:
  SoccerTypes::Side our_side;
  std::map<int, PlayerType> player_type_map;
  PlayerChangeState change_state_;
  GameTime time;           // latest referee announcement or global view
  Referee::PlayMode mode;  // latest play mode
  SoccerTypes::Side side;  // the side that goes with mode
};

#endif
