#include "strategy/brenvo_coach.h"

#include <iostream>
#include <map>

#include "param/coach_config.h"
#include "param/player_param.h"
#include "param/server_param.h"
#include "strategy/player_type.h"
#include "strategy/player_type_ranking.h"

namespace {

// The thresholds are exact doubles; several sit one unit in the last place
// off the plain decimal and decide against types on that plain value.
struct Attempt {
  void (BrenvoCoach::*change)(int);
  bool fallback;  // runs only when the attempt before it found nothing
  double speed;
  double stamina;
};

const Attempt ATTEMPTS[] = {
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

const double MIN_REAL_SPEED = 1.05;
// The role groups, each in the order its players are changed.
const std::vector<int> GROUP_9_10_11 = {9, 10, 11};
const std::vector<int> GROUP_2_3_6 = {2, 3, 6};
const std::vector<int> GROUP_4_5 = {4, 5};
const std::vector<int> GROUP_7_8 = {7, 8};

// The run waits at cycle 0 for more stopped steps than this.
const int STOPPED_STEPS_BEFORE_RUN = 10;
// Types 1 to this are the candidates; 0 is the default type.
const int LAST_CANDIDATE_ID = 6;

// getBestSpeedType's floor for the first pick, and how far a later candidate
// may trade one quality for the other when it replaces the pick.
const double FLOOR_KICKABLE_MARGIN = 0.7;
const double FLOOR_STAMINA_INC = 22.5;
const double STAMINA_GIVEN_FOR_MARGIN = 3.0;   // a wider margin may cost this much stamina
const double STAMINA_WANTED_FOR_MARGIN = 5.0;  // a narrower margin needs this much more
const double MARGIN_GIVEN_FOR_STAMINA = 0.05;  // and may be at most this much narrower

}  // namespace

BrenvoCoach::BrenvoCoach() {}

BrenvoCoach::~BrenvoCoach() {}

void BrenvoCoach::doSubstitute() {
  static bool S_first_substituted = false;
  if (S_first_substituted) return;
  if (world.gameTime().cycle != 0) return;
  if (world.gameTime().stopped <= STOPPED_STEPS_BEFORE_RUN) return;
  if (CoachConfig::instance().substitutionPolicy() == CoachConfig::ROLES) {
    doRolesSubstitute();
  } else {
    doFirstSubstitute();
  }
  S_first_substituted = true;
}

std::vector<const PlayerType*> BrenvoCoach::rankCandidates(int last_id, double min_speed) const {
  return traceCandidates(rankPlayerTypes(world.playerTypeMap(), last_id, min_speed,
                                         ServerParam::instance().stamina_inc_max));
}

std::vector<const PlayerType*> BrenvoCoach::traceCandidates(
    const std::vector<const PlayerType*>& candidates) const {
  std::cout << "candidate type size " << candidates.size() << std::endl;
  for (const PlayerType* t : candidates) {
    std::cout << "candidate " << t->id << "  max_speed = " << t->real_speed_max
              << "  stam_inc = " << t->stamina_inc_max << "  kmargin = " << t->kickable_margin
              << std::endl;
  }
  return candidates;
}

void BrenvoCoach::doFirstSubstitute() {
  const std::vector<const PlayerType*> candidates =
      rankCandidates(LAST_CANDIDATE_ID, MIN_REAL_SPEED);
  std::set<int> used;
  int last = 0;
  for (const Attempt& attempt : ATTEMPTS) {
    if (attempt.fallback && last != 0) continue;
    last = getBestSpeedType(candidates, used, attempt.speed, attempt.stamina);
    (this->*attempt.change)(last);
    used.insert(last);
  }
}

int BrenvoCoach::getBestSpeedType(const std::vector<const PlayerType*>& candidates,
                                  const std::set<int>& used, const double& speed_threshold,
                                  const double& stamina_threshold) const {
  int best_id = 0;
  double best_kmargin = FLOOR_KICKABLE_MARGIN;
  double best_stamina_inc = FLOOR_STAMINA_INC;
  for (const PlayerType* t : candidates) {
    if (used.count(t->id) != 0) continue;
    if (!(t->real_speed_max > speed_threshold)) continue;
    if (!(t->stamina_inc_max > stamina_threshold)) continue;
    bool take = false;
    if (t->kickable_margin > best_kmargin) {
      take = t->stamina_inc_max > best_stamina_inc - STAMINA_GIVEN_FOR_MARGIN;
    } else {
      take = t->stamina_inc_max > best_stamina_inc + STAMINA_WANTED_FOR_MARGIN &&
             t->kickable_margin > best_kmargin - MARGIN_GIVEN_FOR_STAMINA;
    }
    if (take) {
      best_id = t->id;
      best_kmargin = t->kickable_margin;
      best_stamina_inc = t->stamina_inc_max;
    }
  }
  return best_id;
}

// Each holder of a type counts against pt_max, whoever gave it; the goalie
// keeps the default type, which is never a candidate.
void BrenvoCoach::doRolesSubstitute() {
  const std::vector<const PlayerType*> candidates = traceCandidates(
      rankPlayerTypesForRoles(world.playerTypeMap(), ServerParam::instance().stamina_inc_max));
  int held[ServerParam::DEFAULT_MAX_PLAYER + 1];
  std::map<int, int> holders;
  for (int unum = 1; unum <= ServerParam::DEFAULT_MAX_PLAYER; ++unum) {
    held[unum] = world.changeState().getTeammateType(unum);
    ++holders[held[unum]];
  }
  const int pt_max = PlayerParam::instance().pt_max;
  for (const std::vector<int>* group : {&GROUP_9_10_11, &GROUP_2_3_6, &GROUP_4_5, &GROUP_7_8}) {
    for (const int unum : *group) {
      for (const PlayerType* t : candidates) {
        if (holders[t->id] >= pt_max) continue;
        --holders[held[unum]];
        ++holders[t->id];
        held[unum] = t->id;
        changePlayer(unum, t->id);
        break;
      }
    }
  }
}

void BrenvoCoach::changePlayer(int unum, int type) {
  std::cout << "change player " << unum << " to type " << type << std::endl;
  sendCommand(CoachChangePlayerTypeCommand(unum, type));
}

void BrenvoCoach::changeGroup(const std::vector<int>& unums, int type) {
  if (type == 0) return;
  for (const int unum : unums) changePlayer(unum, type);
}

void BrenvoCoach::change_9_10_11(int type) {
  changeGroup(GROUP_9_10_11, type);
}

void BrenvoCoach::change_2_3_6(int type) {
  changeGroup(GROUP_2_3_6, type);
}

void BrenvoCoach::change_4_5(int type) {
  changeGroup(GROUP_4_5, type);
}

void BrenvoCoach::change_7_8(int type) {
  changeGroup(GROUP_7_8, type);
}
