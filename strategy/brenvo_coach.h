#ifndef BRENVO_STRATEGY_BRENVO_COACH_H
#define BRENVO_STRATEGY_BRENVO_COACH_H

// The coach of the coached side. It changes one thing of CoachAgent: once per
// match, before kick-off, it ranks the announced player types and gives four
// role groups of field players the best types left for them, sending one
// change command per player with a trace on standard output. Player 1 is
// never changed, and nothing is changed later in the match.

#include <set>
#include <vector>

#include "coach/coach_agent.h"

class PlayerType;

class BrenvoCoach : public CoachAgent {
 public:
  BrenvoCoach();
  ~BrenvoCoach() override;

  void doSubstitute() override;

  void doFirstSubstitute();

  // The id of the best candidate above both thresholds that no group took
  // yet, or 0 when none qualifies.
  int getBestSpeedType(const std::vector<const PlayerType*>& candidates, const std::set<int>& used,
                       const double& speed_threshold, const double& stamina_threshold) const;

  void change_9_10_11(int type);
  void change_2_3_6(int type);
  void change_4_5(int type);
  void change_7_8(int type);

 private:
  void changeGroup(const int* unums, int count, int type);
};

#endif
