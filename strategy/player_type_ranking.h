#ifndef BRENVO_STRATEGY_PLAYER_TYPE_RANKING_H
#define BRENVO_STRATEGY_PLAYER_TYPE_RANKING_H

// The order in which the coach prefers player types: the faster a type's
// dashes can make it run, the better, then the more stamina it regains, then
// the lower its id; types that regain too little stamina are left out. Reads
// the types it is given; keeps nothing and writes nothing.

#include <map>
#include <vector>

#include "strategy/player_type.h"

// Ids 1 to last_id of types, without those whose stamina_inc_max is below
// 0.66 times the server's (server_stamina_inc_max) or whose reachable top
// speed is below min_speed, best first. The pointers point into types.
std::vector<const PlayerType*> rankPlayerTypes(const std::map<int, PlayerType>& types, int last_id,
                                               double min_speed, double server_stamina_inc_max);

// The roles policy's ranking: every announced type but the default one,
// whatever its speed.
std::vector<const PlayerType*> rankPlayerTypesForRoles(const std::map<int, PlayerType>& types,
                                                       double server_stamina_inc_max);

#endif
