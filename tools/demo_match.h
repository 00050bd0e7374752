#ifndef BRENVO_TOOLS_DEMO_MATCH_H
#define BRENVO_TOOLS_DEMO_MATCH_H

// The demo match: a short scripted match that the practice server plays
// against a coach, with a server's referee and answers and a toy physics.

#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "tools/freeform_rules.h"
#include "tools/player_motion.h"
#include "tools/practice_server.h"
#include "tools/server_messages.h"
#include "tools/stamina_rules.h"
#include "tools/substitution_rules.h"
#include "tools/team_graphic_board.h"

namespace practice {

// A type changed by a side's trainer at the start of a cycle.
struct TypeChange {
  int cycle = 0;
  int unum = 0;
  int type = 0;
};

struct DemoOptions {
  std::string coach_path;
  std::string team = "BRENVO2003";
  std::string opponent = "Opponents";
  std::vector<std::string> coach_args;  // appended to -host, -port and -t
  double timeout_s = 60;                // bound for the whole run
  int step_ms = 100;                    // wall time of one simulation step
  int half_time_s = 4;                  // sent in seconds, like current servers
  int init_timeout_ms = 5000;
  int sigterm_grace_ms = 1000;  // how long a coach may take to end after SIGTERM
  bool synch = false;           // synchronous mode: "(think)" after every view, and the
                                // next cycle only once the coach has answered "(done)"
  bool current_server = false;  // 18 player types and pt_max 1, as a version-19 server
                                // announces them with its default settings; to a coach
                                // that declares version 19 or above, the very messages
                                // such a server sent (version19Start), newer names and all
  // The opponents' types for players 1 to 11 (12 entries, index 0 unused,
  // the goalie 0). Empty: on a current server types spread over the 18
  // (defaultOpponentTypes), otherwise the ones a server gives at kick-off.
  std::vector<int> opponent_types;
  std::vector<TypeChange> opponent_changes;  // each announced "(change_player_type U)"
  bool clang_announcements = true;           // our players' "(clang (ver ...))" before kick-off
  FreeformLimits freeform;                   // announced in the server parameters and applied
  unsigned motion_seed = 1;                  // the players' random dashes
  // Players that sprint (tools/player_motion.h) instead of jogging, by
  // uniform number, of our team and of the opponents.
  std::vector<int> our_sprinters;
  std::vector<int> their_sprinters;
  // Opponents 2 and 3 hold types whose announced player_decay differ by
  // 1.5e-5: opponent 3's type (at kick-off) is announced with opponent 2's
  // type's decay plus 1.5e-5, six significant digits as everything the
  // server writes, and moves with a decay 4e-7 above that printed value (a
  // server keeps more digits than it prints). Their types must differ.
  bool close_decays = false;
  // Before kick-off the server waits, at most max_kick_off_wait more stopped
  // steps, until the coach has sent this many "(change_player_type ...)"
  // commands (as a real server in auto mode kicks off kick_off_wait steps
  // after both teams are complete); 0: the kick-off comes after 20 steps.
  int await_changes = 0;
  int max_kick_off_wait = 1000;
  // Our players' types changed by the trainer, announced "(change_player_type
  // U T)"; after kick-off each counts as a substitution.
  std::vector<TypeChange> our_changes;
  int stamina_max = 0;  // announced and applied instead of the server's own; 0: the server's
  // False: nobody touches the ball after kick-off; it lies on the centre spot
  // and the referee drops it after drop_ball_time cycles of play_on.
  bool ball_in_play = true;
  // During play_on, at every cycle divisible by this (0: never), the referee
  // calls a kick-in or a free kick in turn; play goes on dead_ball_cycles
  // later, the clock running meanwhile.
  int dead_ball_every = 0;
  int dead_ball_cycles = 5;
  // 0: no extra time. Otherwise the match stays goalless and goes on into
  // two extra halves of this length, then to penalty shoot-outs that end in
  // a draw (penalty_onfield_l, ten stopped steps, penalty_draw).
  int extra_half_time_s = 0;
  int drop_graphic_tiles = 0;  // one team_graphic command in N goes unanswered
  std::string graphic_out = "team_graphic_received.xpm";  // the team graphic as it arrived
};

// Every player of both teams sprints.
void sprintAll(DemoOptions* options);

// The opponents' types when none are given: the goalie 0 and, on a current
// server, ten different types spread over the 18; otherwise, as a server
// assigns them at the first kick-off, the lowest type ids still free.
std::vector<int> defaultOpponentTypes(bool current_server);

// The scripted match: init, parameters and player types, pre-kick-off views,
// kick-off, a goal by the left side, half time, a second half and time over.
// In play_on every player dashes at random towards its place in the play
// (or sprints), paying for its dashes by the server's stamina rules
// (tools/stamina_rules.h) with the server's motion noise; kick-offs put them
// back in formation at rest. Our players' CLang announcements and their
// opponents' come before kick-off. Cycles last step_ms each; views are sent
// once the coach has said "(eye on)". At the first kick-off the server gives
// types to the field players whose type was not changed and announces the
// opponents' changes. The stamina rules run on every step, the clock
// standing or not; each normal half's kick-off restores every player, the
// start of extra time every player's capacity, a change of type the player.
// The referee drops a ball untouched for drop_ball_time cycles of play_on
// ("drop_ball", then "play_on" in the same cycle) and calls the dead balls
// of DemoOptions. The coach's commands are answered as a server does:
//   (eye on|off)                  -> (ok eye on|off)
//   (check_ball)                  -> (ok check_ball C in_field|goal_l|goal_r|out_of_field)
//   (change_player_type U T)      -> by the substitution rules (tools/substitution_rules.h)
//   (look), (team_names)          -> (ok look C ...), (ok team_names (team l A) (team r B))
//   (compression L)               -> (ok compression L) and the switch
//   (say ...)                     -> by the free-form rules (tools/freeform_rules.h)
//   (team_graphic ...)            -> as tools/team_graphic_board.h says
//   (done), (bye)                 -> counted; the goodbye ends the match
//   anything else                 -> (error illegal_command_form)
// Commands sent to the init port after the init are refused without answer.
class DemoMatch {
 public:
  DemoMatch(PracticeServer* server, const DemoOptions& options, std::ostream& log);

  // Plays until time over (then waits briefly for the goodbye), until the
  // coach says goodbye or is gone (`coach_gone` is asked every step), or
  // until the timeout. True when the init and the goodbye were both seen.
  bool play(const std::function<bool()>& coach_gone);

  bool initReceived() const { return init_received; }
  bool byeReceived() const { return bye_received; }
  bool timedOut() const { return timed_out; }
  int scoreLeft() const { return score_left; }
  int scoreRight() const { return score_right; }
  int thinksAnswered() const { return thinks_answered; }
  int thinksSent() const { return thinks_sent; }
  // Types of our players 1 to 11 (index 0 unused) as the server holds them.
  const std::vector<int>& ourTypes() const { return substitutions.types(); }
  // The opponents' types (index 0 unused) as they are now.
  const std::vector<int>& opponentTypes() const { return their_types; }
  const std::vector<SayRecord>& says() const { return freeform.says(); }
  const TeamGraphicBoard& graphic() const { return graphic_board; }
  const std::string& team() const { return coach_team; }
  const std::string& opponent() const { return options.opponent; }
  // The truth of our players' stamina: player U's (1 to 11) now, and every
  // player's at the first step of each cycle divisible by 10 (the state the
  // view of that cycle shows the result of).
  const StaminaState& staminaOf(int unum) const { return stamina[0][unum]; }
  const std::vector<StaminaSnapshot>& staminaHistory() const { return history; }
  // Every change of our players' types: the coach's commands with their
  // answers, the server's own at the first kick-off and the trainer's.
  const std::vector<SubstitutionRecord>& substitutionRecord() const {
    return substitutions.record();
  }

 private:
  enum class Restore { NOTHING, EVERYTHING, CAPACITY };

  bool connect();
  void sendParameters();
  // The server's defaults with these values, the player parameters and the
  // types of the practice server's own making.
  std::vector<std::string> defaultParameters(const std::map<std::string, std::string>& values);
  // Opponent 3's type made close to opponent 2's (DemoOptions::close_decays),
  // in the announced messages and in the types the players move by.
  void makeDecaysClose(std::vector<std::string>* messages);
  bool step();
  void serveUntil(Clock::time_point until);
  // Cycles first to last, with the goals' restarts; false once the match
  // cannot go on. `cycle` is `last` afterwards.
  bool playHalf(int first, int last);
  // Half time, ten stopped steps and the next kick-off.
  bool halfTime(char next_side, Restore restore);
  void playExtraTime(int from);
  void answer(const Datagram& d);
  void answerChange(const std::string& text);
  void referee(const std::string& new_mode);
  void kickOff(char side, Restore restore);
  void resetField();
  void moveWorld();
  void callDeadBalls();
  bool deadBall() const;
  void moveBall();
  void movePlayers();
  void changeOpponentTypes();
  void changeOurTypes();
  void updateStamina();
  void restore(int side, int unum);
  MatchPhase phase() const;
  const PlayerTypeValues& typeOf(int side, int unum) const;
  std::string ballStatus() const;
  bool stopped() const;

  PracticeServer* server;
  DemoOptions options;
  std::ostream& log;
  Clock::time_point deadline;
  Clock::time_point next_step;
  std::function<bool()> is_coach_gone;
  std::string coach_team;
  FieldView view;
  FieldView formation;
  int cycle = 0;
  int kick_off_cycle = 0;
  std::string mode = "before_kick_off";
  bool kicked_off = false;
  bool over = false;  // normal and extra time are played
  bool eye_on = false;
  bool init_received = false;
  bool bye_received = false;
  bool timed_out = false;
  bool gone = false;
  int score_left = 0;
  int score_right = 0;
  int thinks_sent = 0;
  int thinks_answered = 0;
  int changes_received = 0;  // "(change_player_type ...)" commands of the coach
  double coach_version = 0;  // the protocol version of the coach's init; 0 without one
  int player_types;          // as announced in the player parameters
  int pt_max;
  std::vector<int> their_types;
  std::vector<PlayerTypeValues> types;  // as announced (the players move by them)
  std::string server_param;             // the "(server_param ...)" announced
  int drop_ball_time = 100;             // as announced
  FreeformRules freeform;
  SubstitutionRules substitutions;
  TeamGraphicBoard graphic_board;
  PlayerMotion motion;
  StaminaRules stamina_rules;
  StaminaState stamina[2][12];  // by side (ours 0) and uniform number
  std::vector<StaminaSnapshot> history;
  int playon_start = 0;    // cycle of the last change to play_on
  int last_touch = 0;      // cycle the ball was last kicked
  int dead_ball_end = 0;   // cycle play goes on after the dead ball called last
  int dead_balls = 0;      // called so far
  int last_snapshot = -1;  // cycle of the last entry of `history`
  int half_end = 0;        // last cycle of the half being played
};

}  // namespace practice

#endif
