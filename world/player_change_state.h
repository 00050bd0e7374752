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

// What one change message said, as PlayerChangeState read it.
struct TypeChangeNotice {
  int unum;  // 1 to 11; 0 when the message named no player it could take
  // The type of one of our players: the notice "(change_player_type U T)"
  // (the coach's own changes and the trainer's alike) or the confirmation
  // "(ok change_player_type U T)". -1: opponent U changed type, and the
  // server keeps the new type to itself ("(change_player_type U)").
  int type;
  bool confirmation;  // "(ok change_player_type U T)"
  bool ours() const { return type >= 0; }
};

class PlayerChangeState {
 public:
  PlayerChangeState();

  // One "(ok change_player_type U T)", "(change_player_type U T)" or
  // "(change_player_type U)" message, received in mode at now; returns what
  // it said, with unum 0 when it was not taken.
  TypeChangeNotice parse(const char* message, Referee::PlayMode mode, const GameTime& now);
  // Records type for own player unum; type -1 records that opponent unum
  // changed type. False when unum or type is out of range.
  bool change(int unum, int type);
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
