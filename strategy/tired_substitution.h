#ifndef BRENVO_STRATEGY_TIRED_SUBSTITUTION_H
#define BRENVO_STRATEGY_TIRED_SUBSTITUTION_H

// Substituting tired players, switched on by substitute_tired: follows our
// players' stamina (StaminaModel) and, at a dead ball within a half, puts
// the best player type the server still allows in place of the field player
// whose substitution saves the most stamina the player would otherwise lack
// before the half ends. Its trace goes to standard output, the server's
// refusals to standard error; it sends only through the outbox it is
// handed, one command at a time, and a view's work allocates nothing.

#include <map>
#include <string>
#include <vector>

#include "coach/coach_feature.h"
#include "strategy/player_type.h"
#include "world/stamina_model.h"

class TiredSubstitution : public CoachFeature {
 public:
  static constexpr int S_TRACE_PERIOD = 500;  // cycles between two stamina traces
  // Cycles a command is waited for before it counts as unanswered.
  static constexpr int S_ANSWER_WAIT = 50;

  TiredSubstitution();

  // The protocol version the coach declares, and whether it asks for the
  // global views. Without them it cannot substitute: it says so once on
  // standard error.
  void configure(double version, bool use_advise);

  void serverParams(const ServerParam& server) override;
  void playerParams(const PlayerParam& player) override;
  void playerType(const PlayerType& type) override;
  void view(const CoachVisualSensor& visual, const GameTime& now) override;
  void playMode(const Referee& referee, const GameTime& now) override;
  void typeChange(const TypeChangeNotice& notice, const GameTime& now) override;
  bool answer(const std::string& command, const char* message) override;
  void batchEnd(const CoachKnowledge& coach, FeatureOutbox* out) override;

  // What substituting unum with new_type at cycle gains: the stamina it would
  // lack before the half ends and would not lack after the substitution.
  double gain(int unum, int new_type, int cycle) const;
  // The best type by the roles ranking that the server still allows; -1
  // when none is left.
  int bestType() const;
  // Substitutions left: subs_max less our changes announced after kick-off.
  int substitutionsLeft() const;
  // Whether a play mode is a dead ball within a half.
  static bool isDeadBall(Referee::PlayMode mode);

  const StaminaModel& model() const { return stamina; }

 private:
  static constexpr int S_TYPES = StaminaModel::S_MAX_TYPES;

  // A message of game time now arrived: the step before it is complete.
  void noteStep(const GameTime& now);
  void noteKickOff(const GameTime& now);
  // Our player unum holds type from now on, as the server announced.
  void noteChange(int unum, int type, const GameTime& now);
  // The decision after a complete step that ended in mode ended.
  void decide(Referee::PlayMode ended, const CoachKnowledge& coach, FeatureOutbox* out);
  bool typeAllowed(int type) const;
  // One line per player of our team in the latest view.
  void traceStamina(int cycle) const;

  StaminaModel stamina;
  std::map<int, PlayerType> types;  // every announced type, for the ranking
  std::vector<int> ranked;          // the roles ranking of types, best first
  bool ranking_stale;               // types or parameters came since it was made
  double version;
  bool views;  // the coach asks for global views
  double server_stamina_inc_max;
  int subs_max;
  int pt_max;

  bool viewed;      // a global view has arrived
  bool kicked_off;  // the first kick-off is past (or the coach came after it)
  GameTime kick_off_time;
  int kick_off_types[StaminaModel::S_PLAYERS + 1];  // held at the first kick-off
  int subs_of_type[S_TYPES];                        // substitutions to each type
  int subs_made;
  bool refused[S_TYPES];  // types the server refused, not to be tried again
  bool server_says_none_left;

  GameTime step_time;           // the step whose messages are arriving
  Referee::PlayMode step_mode;  // the play mode standing in it so far
  bool stepped;
  bool decision_due;
  Referee::PlayMode ended_mode;  // the mode at the end of the last complete step

  bool pending;  // a command waits for its answer
  int pending_since;
  bool acted_in_dead_ball;  // one substitution per dead ball
  int traced_cycle;
};

#endif
