#include "world/world_model_global.h"

#include <iostream>

WorldModelGlobal::WorldModelGlobal()
    : our_side_(SoccerTypes::LEFT),
      time_(-1, 0),
      mode_(Referee::BEFORE_KICK_OFF),
      side_(SoccerTypes::NEUTRAL) {}

void WorldModelGlobal::init(char side) {
  if (side == 'l') {
    our_side_ = SoccerTypes::LEFT;
  } else if (side == 'r') {
    our_side_ = SoccerTypes::RIGHT;
  } else {
    std::cerr << "WorldModelGlobal::init unexpected side. [" << side << "]" << std::endl;
  }
}

void WorldModelGlobal::insertPlayerType(const PlayerType& type) {
  // The limit counts entries only, so a repeated id is refused too once the
  // table is full.
  if (player_type_map_.size() >= static_cast<std::size_t>(PlayerTypeSet::S_MAX_PLAYER_TYPE)) {
    std::cerr << "player types over flow" << std::endl;
    return;
  }
  player_type_map_.insert(std::make_pair(type.id, type));
}

void WorldModelGlobal::parseTeamNames(const char* /*message*/) {}

void WorldModelGlobal::updateAfterSeeGlobal(const CoachVisualSensor& /*sensor*/,
                                            const Referee& referee, const GameTime& now) {
  time_ = now;
  mode_ = referee.mode();
  side_ = referee.side();
}
