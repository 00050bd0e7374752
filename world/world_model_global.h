#ifndef BRENVO_WORLD_WORLD_MODEL_GLOBAL_H
#define BRENVO_WORLD_WORLD_MODEL_GLOBAL_H

// The coach's summary of the match for the strategy: its own side, the
// player types the server announced (at most seven), the record of type
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
  // Keeps the first record of each id, up to seven types.
  void insertPlayerType(const PlayerType& type);
  // Receives the "(ok team_names " answer; nothing of it is recorded.
  void parseTeamNames(const char* message);
  // Takes time, mode and side after a batch of messages with a global view.
  void updateAfterSeeGlobal(const CoachVisualSensor& sensor, const Referee& referee,
                            const GameTime& now);

  SoccerTypes::Side ourSide() const { return our_side_; }
  const std::map<int, PlayerType>& playerTypeMap() const { return player_type_map_; }
  PlayerChangeState& changeState() { return change_state_; }
  const PlayerChangeState& changeState() const { return change_state_; }
  const GameTime& time() const { return time_; }
  Referee::PlayMode mode() const { return mode_; }
  SoccerTypes::Side side() const { return side_; }

  void setTime(const GameTime& time) { time_ = time; }
  void setMode(Referee::PlayMode mode) { mode_ = mode; }
  void setSide(SoccerTypes::Side side) { side_ = side; }

 private:
  SoccerTypes::Side our_side_;
  std::map<int, PlayerType> player_type_map_;
  PlayerChangeState change_state_;
  GameTime time_;           // latest referee announcement or global view
  Referee::PlayMode mode_;  // latest play mode
  SoccerTypes::Side side_;  // the side that goes with mode_
};

#endif
