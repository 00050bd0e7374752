#ifndef BRENVO_TOOLS_PRACTICE_SERVER_H
#define BRENVO_TOOLS_PRACTICE_SERVER_H

// A small stand-in for the soccer simulation server, speaking the online
// coach's protocol on 127.0.0.1 only. It is written from the protocol alone
// and shares no code with the coach (plain POSIX sockets and zlib), so a fault
// in the coach's transport or parsers cannot hide behind the same fault here.
// Every wait is bounded by a timeout given by the caller.
//
// PracticeServer is the transport and the message builders; DemoMatch plays a
// short scripted match over it; runDemo starts a coach process and plays the
// demo match against it.

#include <netinet/in.h>
#include <sys/types.h>
#include <zlib.h>

#include <chrono>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace practice {

struct Datagram {
  double t = 0;        // seconds since the server started
  std::string bytes;   // the datagram as it was on the wire
  std::string text;    // inflated if compression was on, cut at the first NUL
  int local_port = 0;  // the server's port it arrived on or left from
};

// One player in a global view; angles in degrees, distances in metres.
struct PlayerView {
  int unum = 0;
  bool goalie = false;
  double x = 0, y = 0, vx = 0, vy = 0, body = 0, neck = 0;
  bool pointing = false;
  double pointto = 0;  // written only when `pointing`
  bool tackle = false;
};

// What a global view shows: the ball and both teams.
struct FieldView {
  std::string left_team, right_team;
  double ball_x = 0, ball_y = 0, ball_vx = 0, ball_vy = 0;
  std::vector<PlayerView> left, right;
};

// The announced abilities of one heterogeneous player type.
struct PlayerTypeValues {
  int id = 0;
  double player_speed_max = 0, stamina_inc_max = 0, player_decay = 0, inertia_moment = 0,
         dash_power_rate = 0, player_size = 0, kickable_margin = 0, kick_rand = 0,
         extra_stamina = 0, effort_max = 0, effort_min = 0;
};

class PracticeServer {
 public:
  // Binds the init port on 127.0.0.1 (any free port).
  PracticeServer();
  ~PracticeServer();

  int port() const { return init_port_; }
  // The port opened by answerInit; 0 before.
  int gamePort() const { return game_port_; }

  // The next datagram on the init port (normally the coach's init command).
  bool waitInit(Datagram* init, int timeout_ms);
  // Opens the game port and sends text from it, as a real server answers an
  // init; from then on everything is sent from the game port.
  void answerInit(const std::string& text);
  // Refuses the init as a real server refuses a client it cannot place:
  // "(error ERROR)" from the init port, with no game port opened. The errors
  // of an online coach's port are no_such_team, already_have_coach,
  // connection_failed and illegal_client_version; the trainer's port answers
  // connected_offline_coach_without_coach_mode.
  void refuseInit(const std::string& error);
  // Answers the init as the players' port does: "(init SIDE UNUM
  // before_kick_off)" from a new port, then a player's first see and
  // sense_body messages.
  void answerAsPlayerPort(char side, int unum);

  // One message and its NUL to the coach; deflated when compression is on.
  void send(const std::string& text);
  // Exactly these bytes, never compressed, no NUL added.
  void sendRaw(const std::string& bytes);

  // The next datagram from the coach on either port, recorded in received().
  // The coach's address is taken from every datagram. False on timeout.
  bool receive(Datagram* d, int timeout_ms);
  // Receives (and records) until a datagram whose text equals `text`.
  bool receiveUntil(const std::string& text, int timeout_ms, Datagram* d = nullptr);

  // Sends "(ok compression L)"; from then on, when L > 0, both directions are
  // one long-lived zlib stream each with a sync flush per message. Datagrams
  // from the coach that are not sync-flushed pieces are read as plain text.
  void enableCompression(int level);
  int compressionLevel() const { return level_; }

  const std::vector<Datagram>& received() const { return received_; }
  const std::vector<Datagram>& sent() const { return sent_; }
  // Seconds since construction.
  double elapsed() const;

  // "(see_global C ...)" as the current server writes it: goals, ball, then
  // the 22 players in kick-off formation, our team first on the left.
  static std::string seeGlobal(int cycle, const std::string& our_team,
                               const std::string& their_team);
  static std::string seeGlobal(int cycle, const FieldView& view);
  static FieldView kickOffView(const std::string& left_team, const std::string& right_team);
  // "(player_type (id N)(player_speed_max V)...)", the named form.
  static std::string playerType(const PlayerTypeValues& type);
  // Type 0 as the server derives it from its default parameters.
  static PlayerTypeValues defaultPlayerType();
  // Ids 0 to 6: the default type and six types of the kind a server with
  // default player parameters generates (top speed 1.2).
  static std::vector<PlayerTypeValues> demoPlayerTypes();
  // "(server_param ...)" and "(player_param ...)" in the named form with the
  // default values, names in alphabetical order like the real server. An
  // override replaces a value (write strings with their quotes) or adds one.
  static std::string serverParam(const std::map<std::string, std::string>& overrides = {});
  static std::string playerParam(const std::map<std::string, std::string>& overrides = {});

 private:
  PracticeServer(const PracticeServer&) = delete;
  PracticeServer& operator=(const PracticeServer&) = delete;

  void sendBytes(const std::string& bytes, const std::string& text);
  bool readFrom(int fd, int port, Datagram* d);
  std::string decode(const std::string& bytes);
  std::string deflateMessage(const std::string& text);

  int init_fd_;
  int init_port_;
  int game_fd_;
  int game_port_;
  sockaddr_in peer_;
  bool has_peer_;
  int level_;
  std::string pending_;  // deflate output of a level change, sent with the next message
  z_stream deflater_;
  z_stream inflater_;
  std::chrono::steady_clock::time_point start_;
  std::vector<Datagram> received_;
  std::vector<Datagram> sent_;
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
  bool synch = false;  // synchronous mode: "(think)" after every view, and the
                       // next cycle only once the coach has answered "(done)"
};

// The scripted match: init, parameters and player types, pre-kick-off views,
// kick-off, a goal by the left side, half time, a second half and time over.
// Cycles last step_ms each; views are sent once the coach has said
// "(eye on)". At the first kick-off the server gives types to the field
// players whose type was not changed and announces the opponents' changes.
// The coach's commands are answered as a server does:
//   (eye on|off)                  -> (ok eye on|off)
//   (check_ball)                  -> (ok check_ball C in_field|goal_l|goal_r|out_of_field)
//   (change_player_type U T)      -> (change_player_type U T) and (ok change_player_type U T),
//       or (warning cannot_sub_while_playon), (warning no_subs_left) after
//       subs_max changes since kick-off, (warning max_of_that_type_on_field)
//       beyond pt_max players of a type, (error illegal_command_form)
//   (look), (team_names)          -> (ok look C ...), (ok team_names (team l A) (team r B))
//   (compression L)               -> (ok compression L) and the switch
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

  bool initReceived() const { return init_received_; }
  bool byeReceived() const { return bye_received_; }
  bool timedOut() const { return timed_out_; }
  int scoreLeft() const { return score_left_; }
  int scoreRight() const { return score_right_; }
  int thinksAnswered() const { return thinks_answered_; }
  int thinksSent() const { return thinks_sent_; }
  // Types of our players 1 to 11 (index 0 unused) as the server holds them.
  const std::vector<int>& ourTypes() const { return our_types_; }
  const std::string& team() const { return team_; }
  const std::string& opponent() const { return options_.opponent; }

 private:
  bool connect();
  void sendParameters();
  bool step();
  void serveUntil(std::chrono::steady_clock::time_point until);
  void answer(const Datagram& d);
  void answerChange(const std::string& text);
  void referee(const std::string& mode);
  void kickOff(char side);
  void assignTypesAtFirstKickOff();
  void resetField();
  void moveWorld();
  void movePlayers();
  std::string ballStatus() const;
  bool stopped() const;

  PracticeServer* server_;
  DemoOptions options_;
  std::ostream& log_;
  std::chrono::steady_clock::time_point deadline_;
  std::chrono::steady_clock::time_point next_step_;
  std::function<bool()> coach_gone_;
  std::string team_;
  FieldView view_;
  FieldView formation_;
  int cycle_ = 0;
  int kick_off_cycle_ = 0;
  std::string mode_ = "before_kick_off";
  bool kicked_off_ = false;
  bool eye_on_ = false;
  bool init_received_ = false;
  bool bye_received_ = false;
  bool timed_out_ = false;
  bool gone_ = false;
  int score_left_ = 0;
  int score_right_ = 0;
  int thinks_sent_ = 0;
  int thinks_answered_ = 0;
  int subs_used_ = 0;
  std::vector<int> our_types_;
};

// Starts the coach (fork/exec of coach_path with -host 127.0.0.1, -port and
// -t, its output inherited), plays the demo match, waits (bounded) for the
// coach to exit, ending it with SIGTERM and then SIGKILL if it hangs, and
// writes a summary. Returns 0 when the match went through (init, goodbye,
// coach exit status 0), 1 otherwise. Every line it writes begins "[server] ".
int runDemo(const DemoOptions& options, std::ostream& log);

}  // namespace practice

#endif
