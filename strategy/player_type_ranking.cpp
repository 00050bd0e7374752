#include "strategy/player_type_ranking.h"

#include <algorithm>
#include <limits>

namespace {

struct IsIgnoredStaminaIncMax {
  explicit IsIgnoredStaminaIncMax(double threshold) : threshold(threshold) {}
  bool operator()(const PlayerType* t) const { return t->stamina_inc_max < threshold; }
  double threshold;
};

struct IsIgnoredSpeedMax {
  explicit IsIgnoredSpeedMax(double threshold) : threshold(threshold) {}
  bool operator()(const PlayerType* t) const { return t->real_speed_max < threshold; }
  double threshold;
};

struct TypeStaminaIncComp {
  bool operator()(const PlayerType* a, const PlayerType* b) const {
    return a->stamina_inc_max > b->stamina_inc_max;
  }
};

struct TypeSpeedMaxComp {
  bool operator()(const PlayerType* a, const PlayerType* b) const {
    return a->real_speed_max > b->real_speed_max;
  }
};

const double MIN_STAMINA_INC_RATE = 0.66;

}  // namespace

std::vector<const PlayerType*> rankPlayerTypes(const std::map<int, PlayerType>& types, int last_id,
                                               double min_speed, double server_stamina_inc_max) {
  std::vector<const PlayerType*> candidates;
  for (auto it = types.lower_bound(1); it != types.end() && it->first <= last_id; ++it) {
    candidates.push_back(&it->second);
  }

  const double stamina_floor = MIN_STAMINA_INC_RATE * server_stamina_inc_max;
  candidates.erase(
      std::remove_if(candidates.begin(), candidates.end(), IsIgnoredStaminaIncMax(stamina_floor)),
      candidates.end());
  candidates.erase(
      std::remove_if(candidates.begin(), candidates.end(), IsIgnoredSpeedMax(min_speed)),
      candidates.end());
  // Stable sorts keep the id order as the last tie-break.
  std::stable_sort(candidates.begin(), candidates.end(), TypeStaminaIncComp());
  std::stable_sort(candidates.begin(), candidates.end(), TypeSpeedMaxComp());
  return candidates;
}

std::vector<const PlayerType*> rankPlayerTypesForRoles(const std::map<int, PlayerType>& types,
                                                       double server_stamina_inc_max) {
  return rankPlayerTypes(types, std::numeric_limits<int>::max(),
                         -std::numeric_limits<double>::infinity(), server_stamina_inc_max);
}
