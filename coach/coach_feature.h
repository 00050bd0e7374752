#ifndef BRENVO_COACH_COACH_FEATURE_H
#define BRENVO_COACH_COACH_FEATURE_H

// The one seam between the coach agent and its opt-in features (scouting the
// opponents, substituting tired players, the team graphic). This header lists
// everything a feature can react to: the agent parses every message once and
// tells each feature that is on what happened, then asks it what to send. A
// feature never reads the socket, never parses a server message the agent
// has already parsed and never sends by itself: its commands go out through
// the FeatureOutbox the agent hands it, and the server's answers to them come
// back to it alone. With no feature on, the agent's path per message is one
// check of an empty list.

#include <string>

#include "world/game_time.h"
#include "world/player_change_state.h"
#include "world/referee.h"

class CLangManager;
class CoachVisualSensor;
class PlayerParam;
class PlayerType;
class ServerParam;
class WorldModelGlobal;

// What the coach knows, for a feature to read while the agent calls it. The
// references stay valid for the life of the agent.
struct CoachKnowledge {
  const GameTime& now;  // the coach's current game time
  const Referee& referee;
  const CoachVisualSensor& visual;  // the latest global view
  const WorldModelGlobal& world;    // own side, announced types, type changes
  const CLangManager& clang;        // the CLang versions our players announced
};

// Where a feature puts the commands it wants sent. The agent sends each at
// once, in order, and remembers it as the feature's, so that the server's
// answer (which comes in order, and for warnings and errors names no
// command) reaches the feature that sent it.
class FeatureOutbox {
 public:
  virtual ~FeatureOutbox() {}
  // One command, its text as it goes on the wire; the server answers it.
  virtual void send(const std::string& command) = 0;
};

class CoachFeature {
 public:
  virtual ~CoachFeature();

  // The server accepted the init: we play on `side`.
  virtual void initAccepted(SoccerTypes::Side side);
  // The server's parameters, each time they arrive.
  virtual void serverParams(const ServerParam& server);
  // The heterogeneous player parameters, each time they arrive.
  virtual void playerParams(const PlayerParam& player);
  // One announced player type.
  virtual void playerType(const PlayerType& type);

  // One global view, parsed into `visual`, at `now` (a standing clock keeps
  // the cycle and counts the views in now.stopped).
  virtual void view(const CoachVisualSensor& visual, const GameTime& now);
  // The referee announced a play mode (also the same one again).
  virtual void playMode(const Referee& referee, const GameTime& now);
  // A change of player type the server announced.
  virtual void typeChange(const TypeChangeNotice& notice, const GameTime& now);

  // The server's answer to `command`, one this feature sent: "(ok ...)",
  // "(warning ...)" or "(error ...)". True when the feature has dealt with
  // it; false lets the agent report it as it reports any answer (and the
  // agent always records what an "(ok change_player_type U T)" confirms).
  virtual bool answer(const std::string& command, const char* message);

  // The end of one batch of messages (all the server sent at once): the
  // moment to send what the batch calls for.
  virtual void batchEnd(const CoachKnowledge& coach, FeatureOutbox* out);
  // One tick of the coach's timer (100 ms), also while the server is silent
  // or the clock stands.
  virtual void tick(const CoachKnowledge& coach, FeatureOutbox* out);
};

#endif
