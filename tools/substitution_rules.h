#ifndef BRENVO_TOOLS_SUBSTITUTION_RULES_H
#define BRENVO_TOOLS_SUBSTITUTION_RULES_H

// The server's rules for changing the types of the coach's team, and its
// answers to "(change_player_type U T)". Owns the types our players hold,
// the count of substitutions, the uses of each type since the first kick-off
// and the record of every change; sends nothing and moves nobody.
//
// The answers, checked in this order:
//   not "(change_player_type U T)" with whole numbers -> (error illegal_command_form)
//   T outside 0 to player_types - 1                   -> (error out_of_range_player_type)
//   U not on the field (1 to 11)                      -> (warning no_such_player)
//   during play_on                                    -> (warning cannot_sub_while_playon)
//   normal and extra time are over                    -> (warning
//   cannot_sub_while_penalty_shootouts) after the first kick-off:
//     subs_max substitutions made (the trainer's too) -> (warning no_subs_left)
//     T used pt_max times                             -> (warning no_left_of_that_type)
//   pt_max other players hold T                       -> (warning max_of_that_type_on_field)
//   otherwise the notice and the confirmation: (change_player_type U T), (ok change_player_type U
//   T)
// A type is used once by the team's players at the first kick-off, however
// many held it, and once more by each substitution to it. With
// allow_mult_default_type type 0 is never limited.

#include <string>
#include <vector>

namespace practice {

struct SubstitutionLimits {
  int player_types = 18;
  int subs_max = 3;
  int pt_max = 1;
  bool allow_mult_default_type = false;
};

// When a command comes, as far as the rules care.
enum class MatchPhase { BEFORE_KICK_OFF, PLAY_ON, STOPPED, OVER };

// One change of our team: the coach's command and its answer, or the
// trainer's change (command empty), or the server's own at the first
// kick-off (command empty, answer the notice).
struct SubstitutionRecord {
  int cycle = 0;
  int unum = 0;  // 0 when the command could not be read
  int type = 0;
  std::string command;
  std::string answer;  // the last message of the answer
  bool after_kick_off = false;
};

class SubstitutionRules {
 public:
  explicit SubstitutionRules(const SubstitutionLimits& limits);

  // Answers a command at `cycle`: the messages to send, in order. When they
  // accept it, *accepted is set and U holds T.
  std::vector<std::string> answer(const std::string& command, MatchPhase phase, int cycle,
                                  bool* accepted);

  // The first kick-off: each field player whose type was never changed gets
  // the lowest type id that fewer than pt_max players hold; the types held
  // then count as used once. Returns the notices "(change_player_type U T)".
  std::vector<std::string> firstKickOff(int cycle);

  // The trainer gives U type T (after kick-off it counts as a substitution).
  // Returns the notice; nothing (and no change) for a player or a type that
  // does not exist.
  std::string trainerChange(int unum, int type, int cycle);

  // Types of players 1 to 11 (index 0 unused).
  const std::vector<int>& types() const { return held; }
  int substitutions() const { return subs; }
  const std::vector<SubstitutionRecord>& record() const { return changes; }

 private:
  // Why U may not take T now, or nullptr.
  const char* refusal(int unum, int type, MatchPhase phase) const;
  bool limited(int type) const { return type != 0 || !limits.allow_mult_default_type; }
  void hold(int unum, int type, int cycle, const std::string& command, const std::string& answer);

  SubstitutionLimits limits;
  bool kicked_off = false;
  int subs = 0;
  std::vector<int> held;  // by uniform number
  std::vector<int> uses;  // by type, from the first kick-off
  std::vector<SubstitutionRecord> changes;
};

}  // namespace practice

#endif
