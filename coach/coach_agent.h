#ifndef BRENVO_COACH_COACH_AGENT_H
#define BRENVO_COACH_COACH_AGENT_H

// The online coach: it owns everything the coach knows about the match and
// drives one connection from the init command to the goodbye. sense() runs on
// SIGIO and dispatches every server message to the object that owns it;
// action() runs on SIGALRM and watches the server's liveness. Every message
// leaves through UDPInterface::send; the command texts live in the command
// classes below. The opt-in features that are on hear of what happened and
// send through the seam of coach/coach_feature.h; with none on, the agent
// does what it did without them.

#include <boost/shared_ptr.hpp>
#include <deque>
#include <ostream>
#include <string>

#include "coach/basic_client.h"
#include "coach/coach_feature.h"
#include "strategy/clang_manager.h"
#include "strategy/opponent_scouting.h"
#include "strategy/team_graphic.h"
#include "strategy/tired_substitution.h"
#include "world/coach_manager.h"
#include "world/coach_visual_sensor.h"
#include "world/referee.h"
#include "world/world_model_global.h"

class SoccerAdviser;

// A fixed command of the coach: streamed into a string, sent as one datagram.
class CoachCommand {
 public:
  enum Type {
    INIT = 0,
    BYE = 1,
    CHECK_BALL = 2,
    EYE = 5,
    CHANGE_PLAYER_TYPE = 7,
  };

  virtual ~CoachCommand() {}
  virtual Type type() const = 0;
  virtual std::ostream& toStr(std::ostream& os) const = 0;
  virtual std::string name() const = 0;
};

// "(init TEAM [COACH] (version V))"
class CoachInitCommand : public CoachCommand {
 public:
  CoachInitCommand(const std::string& team_name, double version, const std::string& coach_name);
  Type type() const override { return INIT; }
  std::ostream& toStr(std::ostream& os) const override;
  std::string name() const override { return "init"; }

 private:
  std::string team_name;
  double version;
  std::string coach_name;
};

class CoachByeCommand : public CoachCommand {
 public:
  Type type() const override { return BYE; }
  std::ostream& toStr(std::ostream& os) const override;
  std::string name() const override { return "bye"; }
};

class CoachCheckBallCommand : public CoachCommand {
 public:
  Type type() const override { return CHECK_BALL; }
  std::ostream& toStr(std::ostream& os) const override;
  std::string name() const override { return "check_ball"; }
};

class CoachEyeCommand : public CoachCommand {
 public:
  explicit CoachEyeCommand(bool on);
  Type type() const override { return EYE; }
  std::ostream& toStr(std::ostream& os) const override;
  std::string name() const override { return "eye"; }

 private:
  bool on;
};

// "(change_player_type UNUM TYPE)"
class CoachChangePlayerTypeCommand : public CoachCommand {
 public:
  CoachChangePlayerTypeCommand(int unum, int type);
  Type type() const override { return CHANGE_PLAYER_TYPE; }
  std::ostream& toStr(std::ostream& os) const override;
  std::string name() const override { return "change_player_type"; }

 private:
  int unum;
  int player_type;
};

class CoachAgent : public BasicClient {
 public:
  enum MessageKind {
    MSG_SEE_GLOBAL,
    MSG_HEAR_REFEREE,
    MSG_HEAR_OTHER,
    MSG_THINK,
    MSG_OK_CHECK_BALL,
    MSG_CHANGE_PLAYER_TYPE,
    MSG_CLANG,
    MSG_PLAYER_TYPE,
    MSG_PLAYER_PARAM,
    MSG_SERVER_PARAM,
    MSG_OK,
    MSG_INIT,
    MSG_SCORE,
    MSG_ERROR,
    MSG_WARNING,
    MSG_UNSUPPORTED,
  };

  CoachAgent();
  ~CoachAgent() override;

  bool isServerAlive() const override;
  void start(const Handler& handler) override;
  void sense() override;
  void action() override;
  void finishAll() override;
  virtual void doSubstitute();

  void setAdviser(const boost::shared_ptr<SoccerAdviser>& new_adviser);

  // Reads the configuration: each "--coach-config" file in order, then the
  // whole command line. "--help" prints the usage and ends the connection.
  void init(int argc, const char* const* argv);
  void usage();

  bool connectServer();
  void sendByeCommand();

  // Switches an opt-in feature on; it hears of everything from now on.
  // Features are switched on at start-up, before the connection.
  void addFeature(CoachFeature* feature);

  // Classifies one message by its head and passes the time it carries to the
  // time keeper.
  MessageKind parse(const char* message);
  void parseInitCommand(const char* message);
  void parseOK(const char* message);

 protected:
  // Sends one command as its text; returns UDPInterface::send's result.
  // With wait_ms > 0 a full send buffer is waited for (UDPInterface::send).
  int sendCommand(const CoachCommand& command, int wait_ms = 0);

  Referee referee;
  CoachVisualSensor visual;
  CoachManager manager;
  WorldModelGlobal world;
  CLangManager clang;
  boost::shared_ptr<SoccerAdviser> adviser;
  // Whether the init went out: the server is owed a bye from then on.
  bool init_sent;

  // The opt-in features; each is switched on (addFeature) by its setting.
  OpponentScouting scouting;             // scout_opponents
  TiredSubstitution tired_substitution;  // substitute_tired
  TeamGraphic graphic;                   // team_graphic_file

 private:
  // A command sent while a feature is on, awaiting the server's answer;
  // owner is the feature that sent it, nullptr for the agent's own.
  struct Pending {
    CoachFeature* owner;
    std::string command;
  };
  // The outbox a feature is handed: its commands go out as its own.
  class Outbox : public FeatureOutbox {
   public:
    Outbox(CoachAgent* agent, CoachFeature* owner) : agent(agent), owner(owner) {}
    void send(const std::string& command) override;

   private:
    CoachAgent* agent;
    CoachFeature* owner;
  };

  // The most features, and the most commands awaiting an answer (a server
  // that never answers must not make the queue grow without end).
  static constexpr int S_MAX_FEATURES = 4;
  static constexpr std::size_t S_MAX_PENDING = 64;

  // Acts on one received message.
  void dispatch(MessageKind kind, const char* message, bool* saw_global);
  void applyServerStep();
  // Sends the "(done)" a batch's "(think)" left due.
  void sendDueDone();
  // Ends the connection for this reason.
  void endConnection(EndReason reason);
  bool socketReadable() const;
  // The init command, sent again while the server has not answered it.
  int sendInitCommand();

  // Remembers a command sent, while any feature is on.
  void expectAnswer(CoachFeature* owner, const std::string& command);
  // Hands a server answer to the feature whose command it answers; true
  // when that feature has dealt with it.
  bool answerFeature(const char* message);

  // Whether the server has answered the init as an online coach's; until
  // then an error answer is the server refusing the init.
  bool init_accepted;

  // The opt-in features that are on, in the order they were switched on.
  CoachFeature* features[S_MAX_FEATURES];
  int feature_count;
  std::deque<Pending> pending;  // oldest first
  // With features on, the "(done)" that answers a "(think)" waits for the
  // batch's end, so that what the features send for a step goes before it:
  // a synchronous server starts the next step only after the "(done)".
  bool done_due = false;
  const CoachKnowledge knowledge;
};

#endif
