#ifndef BRENVO_STRATEGY_OPPONENT_SCOUTING_H
#define BRENVO_STRATEGY_OPPONENT_SCOUTING_H

// Scouting during the match, switched on by scout_opponents: names the
// opponents' player types from their motion (OpponentScout) and, with
// use_freeform on too, tells them to the team in free-form text whenever the
// server lets the coach speak (FreeformTeller). Its trace goes to standard
// output, its few diagnostics to standard error; it sends its says through
// the outbox the coach hands it.

#include <string>

#include "coach/coach_feature.h"
#include "strategy/freeform_teller.h"
#include "world/opponent_scout.h"

class OpponentScouting : public CoachFeature {
 public:
  // The protocol version from which the coach speaks "(say (freeform ...))".
  static constexpr double S_FREEFORM_VERSION = 7.0;

  OpponentScouting();

  // Telling on or off, for the protocol version the coach declares. Says
  // once on standard error when that version is too old to tell.
  void configure(bool tell, double version);

  void serverParams(const ServerParam& server) override;
  void playerType(const PlayerType& type) override;
  void view(const CoachVisualSensor& visual, const GameTime& now) override;
  void playMode(const Referee& referee, const GameTime& now) override;
  // An opponent's change of type: everything learnt about it is forgotten.
  void typeChange(const TypeChangeNotice& notice, const GameTime& now) override;
  // The server's answers to a say; an unparsable say is left to the coach's
  // report of errors.
  bool answer(const std::string& command, const char* message) override;
  // Tells the team the current verdicts when they differ from what the
  // server last took and the server lets the coach speak now; its
  // "tell TEXT" trace line goes first.
  void batchEnd(const CoachKnowledge& coach, FeatureOutbox* out) override;

  const OpponentScout& scout() const { return opponent_scout; }

 private:
  OpponentScout opponent_scout;
  FreeformTeller teller;
  bool telling;
  bool play_on;            // as the referee last announced
  int msg_size;            // characters a free-form text may hold
  unsigned text_revision;  // of the verdicts `text` was made from
  bool text_stale;         // `text` must be made again whatever the revision
  std::string text;        // the verdicts as the players hear them
  bool deafness_told;      // the line about players who cannot hear was written
};

#endif
