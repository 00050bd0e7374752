#ifndef BRENVO_STRATEGY_BRENVO_COACH_H
#define BRENVO_STRATEGY_BRENVO_COACH_H

// The coach of the coached side. It changes one thing of CoachAgent: once per
// match, before kick-off, it ranks the announced player types and gives four
// role groups of field players the best types left for them, sending one
// change command per player with a trace on standard output. Player 1 is
// never changed, and nothing is changed later in the match. The classic
// policy gives each group one type above fixed floors; the roles policy
// (substitution_policy roles) serves the players one by one within the
// server's pt_max.

#include <set>
#include <vector>

#include "coach/coach_agent.h"

class PlayerType;

class BrenvoCoach : public CoachAgent {
 public:
  BrenvoCoach();
  ~BrenvoCoach() override;

  void doSubstitute() override;

  // The classic policy: four role groups, each given one type.
  void doFirstSubstitute();
  // The roles policy: players 9, 10, 11, 2, 3, 6, 4, 5, 7, 8 one at a time,
  // each given the best-ranked type that fewer than pt_max players hold.
  void doRolesSubstitute();

  // The id of the best candidate above both thresholds that no group took
  // yet, or 0 when none qualifies.
  int getBestSpeedType(const std::vector<const PlayerType*>& candidates, const std::set<int>& used,
                       const double& speed_threshold, const double& stamina_threshold) const;

  void change_9_10_11(int type);
  void change_2_3_6(int type);
  void change_4_5(int type);
  void change_7_8(int type);

 private:
  // Ids 1 to last_id, without the types that recover too slowly or whose
  // reachable top speed is below min_speed, ranked (rankPlayerTypes). Writes
  // the candidate trace.
  std::vector<const PlayerType*> rankCandidates(int last_id, double min_speed) const;
  // Writes the candidate trace of the ranked candidates; returns them.
  std::vector<const PlayerType*> traceCandidates(
      const std::vector<const PlayerType*>& candidates) const;
  // Writes the trace line and sends the change command.
  void changePlayer(int unum, int type);
  void changeGroup(const std::vector<int>& unums, int type);
};

#endif
