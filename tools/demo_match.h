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
#include "tools/team_graphic_board.h"

namespace practice {

// An opponent's type changed by their side at the start of a cycle.
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
  int drop_graphic_tiles = 0;                // one team_graphic command in N goes unanswered
  std::string graphic_out = "team_graphic_received.xpm";  // the team graphic as it arrived
};

// The opponents' types when none are given: the goalie 0 and, on a current
// server, ten different types spread over the 18; otherwise, as a server
// assigns them at the first kick-off, the lowest type ids still free.
std::vector<int> defaultOpponentTypes(bool current_server);

// The scripted match: init, parameters and player types, pre-kick-off views,
// kick-off, a goal by the left side, half time, a second half and time over.
// In play_on every player dashes at random towards its place in the play
// and moves by its type's decay; kick-offs put them back in formation at rest.
// Our players' CLang announcements and their opponents' come before kick-off.
// Cycles last step_ms each; views are sent once the coach has said
// "(eye on)". At the first kick-off the server gives types to the field
// players whose type was not changed and announces the opponents' changes.
// The coach's commands are answered as a server does:
//   (eye on|off)                  -> (ok eye on|off)
//   (check_ball)                  -> (ok check_ball C in_field|goal_l|goal_r|out_of_field)
//   (change_player_type U T)      -> (change_player_type U T) and (ok change_player_type U T),
//       or (warning cannot_sub_while_playon), (warning no_subs_left) after
//       subs_max changes since kick-off, (warning max_of_that_type_on_field)
//       when pt_max other players hold the type (the default type 0 too),
//       (error illegal_command_form)
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
  const std::vector<int>& ourTypes() const { return our_types; }
  // The opponents' types (index 0 unused) as they are now.
  const std::vector<int>& opponentTypes() const { return their_types; }
  const std::vector<SayRecord>& says() const { return freeform.says(); }
  const TeamGraphicBoard& graphic() const { return graphic_board; }
  const std::string& team() const { return coach_team; }
  const std::string& opponent() const { return options.opponent; }

 private:
  bool connect();
  void sendParameters();
  // The server's defaults with these values, the player parameters and the
  // types of the practice server's own making.
  void sendDefaultParameters(const std::map<std::string, std::string>& values);
  bool step();
  void serveUntil(Clock::time_point until);
  void answer(const Datagram& d);
  void answerChange(const std::string& text);
  void referee(const std::string& new_mode);
  void kickOff(char side);
  void assignTypesAtFirstKickOff();
  void resetField();
  void moveWorld();
  void movePlayers();
  void changeOpponentTypes();
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
  bool eye_on = false;
  bool init_received = false;
  bool bye_received = false;
  bool timed_out = false;
  bool gone = false;
  int score_left = 0;
  int score_right = 0;
  int thinks_sent = 0;
  int thinks_answered = 0;
  int subs_used = 0;
  double coach_version = 0;  // the protocol version of the coach's init; 0 without one
  int player_types;          // as announced in the player parameters
  int pt_max;
  std::vector<int> our_types;
  std::vector<int> their_types;
  std::vector<PlayerTypeValues> types;  // as announced
  FreeformRules freeform;
  TeamGraphicBoard graphic_board;
  PlayerMotion motion;
  int playon_start = 0;  // cycle of the last change to play_on
};

}  // namespace practice

#endif
