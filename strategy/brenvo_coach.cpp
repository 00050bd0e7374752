#include "strategy/brenvo_coach.h"

#include <algorithm>
#include <iostream>
#include <map>

#include "param/server_param.h"
#include "strategy/player_type.h"

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

// The thresholds are exact doubles; several sit one unit in the last place
// off the plain decimal and decide against types on that plain value.
struct Attempt {
  void (BrenvoCoach::*change)(int);
  bool fallback;  // runs only when the attempt before it found nothing
  double speed;
  double stamina;
};

const Attempt kAttempts[] = {
    {&BrenvoCoach::change_9_10_11, false, 1.19, 31.499999999999996},
    {&BrenvoCoach::change_9_10_11, true, 1.15, 38.25},
    {&BrenvoCoach::change_2_3_6, false, 1.15, 27.0},
    {&BrenvoCoach::change_2_3_6, true, 1.0899999999999999, 40.5},
    {&BrenvoCoach::change_4_5, false, 1.15, 27.0},
    {&BrenvoCoach::change_4_5, true, 1.0999999999999999, 27.0},
    {&BrenvoCoach::change_4_5, true, 1.0699999999999998, 40.5},
    {&BrenvoCoach::change_7_8, false, 1.15, 24.750000000000004},
    {&BrenvoCoach::change_7_8, true, 1.0899999999999999, 36.0},
    {&BrenvoCoach::change_7_8, true, 1.0699999999999998, 40.0},
};

const double kMinStaminaIncRate = 0.66;
const double kMinRealSpeed = 1.05;

}  // namespace

BrenvoCoach::BrenvoCoach() {}

BrenvoCoach::~BrenvoCoach() {}

void BrenvoCoach::doSubstitute() {
  static bool S_first_substituted = false;
  if (S_first_substituted) return;
  if (world.time().cycle != 0) return;
  if (world.time().stopped <= 10) return;
  doFirstSubstitute();
  S_first_substituted = true;
}

void BrenvoCoach::doFirstSubstitute() {
  const std::map<int, PlayerType>& types = world.playerTypeMap();
  std::vector<const PlayerType*> candidates;
  for (int id = 1; id <= 6; ++id) {
    std::map<int, PlayerType>::const_iterator it = types.find(id);
    if (it != types.end()) candidates.push_back(&it->second);
  }

  const double stamina_floor = kMinStaminaIncRate * ServerParam::instance().stamina_inc_max;
  candidates.erase(
      std::remove_if(candidates.begin(), candidates.end(), IsIgnoredStaminaIncMax(stamina_floor)),
      candidates.end());
  candidates.erase(
      std::remove_if(candidates.begin(), candidates.end(), IsIgnoredSpeedMax(kMinRealSpeed)),
      candidates.end());
  // Stable sorts keep the id order as the last tie-break.
  std::stable_sort(candidates.begin(), candidates.end(), TypeStaminaIncComp());
  std::stable_sort(candidates.begin(), candidates.end(), TypeSpeedMaxComp());

  std::cout << "candidate type size " << candidates.size() << std::endl;
  for (const PlayerType* t : candidates) {
    std::cout << "candidate " << t->id << "  max_speed = " << t->real_speed_max
              << "  stam_inc = " << t->stamina_inc_max << "  kmargin = " << t->kickable_margin
              << std::endl;
  }

  std::set<int> used;
  int last = 0;
  for (const Attempt& attempt : kAttempts) {
    if (attempt.fallback && last != 0) continue;
    last = getBestSpeedType(candidates, used, attempt.speed, attempt.stamina);
    (this->*attempt.change)(last);
    used.insert(last);
  }
}

int BrenvoCoach::getBestSpeedType(std::vector<const PlayerType*>& candidates,
                                  const std::set<int>& used, const double& speed_threshold,
                                  const double& stamina_threshold) {
  int best_id = 0;
  double best_kmargin = 0.7;
  double best_stamina_inc = 22.5;
  for (const PlayerType* t : candidates) {
    if (used.count(t->id) != 0) continue;
    if (!(t->real_speed_max > speed_threshold)) continue;
    if (!(t->stamina_inc_max > stamina_threshold)) continue;
    bool take = false;
    if (t->kickable_margin > best_kmargin) {
      take = t->stamina_inc_max > best_stamina_inc - 3.0;
    } else {
      take =
          t->stamina_inc_max > best_stamina_inc + 5.0 && t->kickable_margin > best_kmargin - 0.05;
    }
    if (take) {
      best_id = t->id;
      best_kmargin = t->kickable_margin;
      best_stamina_inc = t->stamina_inc_max;
    }
  }
  return best_id;
}

void BrenvoCoach::changeGroup(const int* unums, int count, int type) {
  if (type == 0) return;
  for (int i = 0; i < count; ++i) {
    std::cout << "change player " << unums[i] << " to type " << type << std::endl;
    sendCommand(CoachChangePlayerTypeCommand(unums[i], type));
  }
}

void BrenvoCoach::change_9_10_11(int type) {
  static const int kUnums[] = {9, 10, 11};
  changeGroup(kUnums, 3, type);
}

void BrenvoCoach::change_2_3_6(int type) {
  static const int kUnums[] = {2, 3, 6};
  changeGroup(kUnums, 3, type);
}

void BrenvoCoach::change_4_5(int type) {
  static const int kUnums[] = {4, 5};
  changeGroup(kUnums, 2, type);
}

void BrenvoCoach::change_7_8(int type) {
  static const int kUnums[] = {7, 8};
  changeGroup(kUnums, 2, type);
}
