#ifndef BRENVO_STRATEGY_OPPONENT_SCOUTING_H
#define BRENVO_STRATEGY_OPPONENT_SCOUTING_H

// Scouting during the match, switched on by scout_opponents: names the
// opponents' player types from their motion (OpponentScout) and, with
// use_freeform on too, tells them to the team in free-form text whenever the
// server lets the coach speak (FreeformTeller). Its trace goes to standard
// output, its few diagnostics to standard error; it sends nothing itself:
// the coach sends the says it hands out.

#include <string>
#include <vector>

#include "strategy/freeform_teller.h"
#include "world/coach_visual_sensor.h"
#include "world/game_time.h"
#include "world/opponent_scout.h"

class CLangManager;
class PlayerType;
class ServerParam;

class OpponentScouting {
 public:
  // The protocol version from which the coach speaks "(say (freeform ...))".
  static constexpr double S_FREEFORM_VERSION = 7.0;

  OpponentScouting();

  // Telling on or off, for the protocol version the coach declares. Says
  // once on standard error when that version is too old to tell.
  void configure(bool tell, double version);
  void setLimits(const ServerParam& server);

  void addType(const PlayerType& type);
  // The opponents of one global view at its game time.
  void observe(const std::vector<CoachVisualSensor::PlayerT>& opponents, const GameTime& now);
  // A change notice: "(change_player_type U)" names an opponent whose new
  // type the server keeps to itself.
  void noticeChange(const char* message);
  void observeMode(const GameTime& now, bool play_on);
  // A server answer about a say; false when the message is none, or when it
  // is one the coach should still report as it reports any error.
  bool answer(const char* message);

  // The say that tells the team the current verdicts, when they differ from
  // what the server last took and the server lets the coach speak now: its
  // "tell TEXT" trace line is written, and true returned with the command.
  bool nextSay(const GameTime& now, const CLangManager& clang, std::string* command);

  const OpponentScout& scout() const { return opponent_scout; }

 private:
  OpponentScout opponent_scout;
  FreeformTeller teller;
  bool telling;
  int msg_size;            // characters a free-form text may hold
  unsigned text_revision;  // of the verdicts `text` was made from
  bool text_stale;         // `text` must be made again whatever the revision
  std::string text;        // the verdicts as the players hear them
  bool deafness_told;      // the line about players who cannot hear was written
};

#endif
