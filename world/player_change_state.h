#ifndef BRENVO_WORLD_PLAYER_CHANGE_STATE_H
#define BRENVO_WORLD_PLAYER_CHANGE_STATE_H

// The record of player-type changes in the match: the type of each own
// player, which opponents changed type, the changes counted against the
// substitution limit and how often each type was given to own players.
// Reads the server's change notices and confirmations; never sends anything
// and never stores a uniform number outside 1 to 11.

#include <map>

#include "param/server_param.h"
#include "world/game_time.h"
#include "world/referee.h"

class PlayerChangeState {
 public:
  PlayerChangeState();

  // One "(ok change_player_type U T)", "(change_player_type U T)" or
  // "(change_player_type U)" message, received in mode at now.
  void parse(const char* message, Referee::PlayMode mode, const GameTime& now);
  // Records type for own player unum; type -1 records that opponent unum
  // changed type.
  void change(int unum, int type);
  // Whether own player unum may be changed to type now.
  bool canChange(int unum, int type, Referee::PlayMode mode, const GameTime& now) const;

  // The recorded type of own player unum; -1 for a bad number.
  int getTeammateType(int unum) const;
  // Whether opponent unum changed type; false for a bad number.
  bool isOpponentChanged(int unum) const;

  int changeCount() const { return change_count; }
  const std::map<int, int>& typeChangeCounts() const { return type_change_counts; }

 private:
  int change_count;                       // confirmed changes counted against subs_max
  std::map<int, int> type_change_counts;  // type id -> confirmed changes of own players to it
  int teammate_types[ServerParam::DEFAULT_MAX_PLAYER + 1];     // by uniform number; index 0 unused
  bool opponent_changed[ServerParam::DEFAULT_MAX_PLAYER + 1];  // by uniform number; index 0 unused
};

#endif
