#include "world/world_model_global.h"

#include <algorithm>
#include <iostream>

#include "param/coach_config.h"
#include "param/player_param.h"

WorldModelGlobal::WorldModelGlobal()
    : our_side(SoccerTypes::LEFT),
      time(-1, 0),
      mode(Referee::BEFORE_KICK_OFF),
      side(SoccerTypes::NEUTRAL) {}

void WorldModelGlobal::init(char letter) {
  if (letter == 'l') {
    our_side = SoccerTypes::LEFT;
  } else if (letter == 'r') {
    our_side = SoccerTypes::RIGHT;
  } else {
    std::cerr << "WorldModelGlobal::init unexpected side. [" << letter << "]" << std::endl;
  }
}

// The classic policy looks at seven types; the roles policy at every type
// the server says it offers, up to a bound on what a server may claim.
std::size_t WorldModelGlobal::playerTypeLimit() {
  if (CoachConfig::instance().substitutionPolicy() == CoachConfig::CLASSIC) {
    return PlayerTypeSet::S_MAX_PLAYER_TYPE;
  }
  const int announced = PlayerParam::instance().player_types;
  return static_cast<std::size_t>(std::clamp(announced, 0, S_MAX_ANNOUNCED_TYPES));
}

void WorldModelGlobal::insertPlayerType(const PlayerType& type) {
  // The limit counts entries only, so a repeated id is refused too once the
  // table is full.
  if (player_type_map.size() >= playerTypeLimit()) {
    std::cerr << "player types over flow" << std::endl;
    return;
  }
  player_type_map.insert(std::make_pair(type.id, type));
}

void WorldModelGlobal::parseTeamNames(const char* /*message*/) {}

void WorldModelGlobal::updateAfterSeeGlobal(const CoachVisualSensor& /*sensor*/,
                                            const Referee& referee, const GameTime& now) {
  time = now;
  mode = referee.playMode();
  side = referee.modeSide();
}
