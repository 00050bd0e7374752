#ifndef BRENVO_WORLD_STAMINA_MODEL_H
#define BRENVO_WORLD_STAMINA_MODEL_H

// Follows the stamina of our players 1 to 11 as the server keeps it:
// stamina, effort, recovery and capacity, advanced once per server step (one
// global view) by the dash that each player's motion shows, and restored
// when the server restores them (a normal half's kick-off, the start of extra
// time, a change of type). It never sees the players' body sense, so every
// value is an estimate. Everything lives in fixed arrays: a view's work
// allocates nothing.

#include <vector>

#include "geom/vector_2d.h"
#include "strategy/player_type.h"
#include "world/coach_visual_sensor.h"
#include "world/game_time.h"
#include "world/half_clock.h"
#include "world/referee.h"

class ServerParam;

class StaminaModel {
 public:
  static constexpr int S_PLAYERS = 11;    // uniform numbers 1..11
  static constexpr int S_MAX_TYPES = 64;  // announced type ids 0..63
  // Cycles over which a player's consumption is averaged.
  static constexpr int S_WINDOW = 300;
  // Missed steps filled in with each player's last dash, at most.
  static constexpr int S_MAX_GAP = 100;
  // A velocity component further than this (metres per cycle) from the
  // player's decay times its move means something else displaced it.
  static constexpr double S_MOTION_TOLERANCE = 1e-3;

  // What the model holds of one of our players.
  struct Player {
    double stamina;
    double effort;
    double recovery;
    double capacity;  // stamina still to be regained in this half
    int type;         // the player type it holds
    bool seen;        // in the latest global view
    bool goalie;      // marked as the goalie in the latest view it was in
  };

  StaminaModel();

  // The server's stamina rules and the length of its halves (half_time and
  // extra_half_time are in seconds in the named form, protocol 8 and later).
  void configure(const ServerParam& server, double version);
  // An announced type; ids outside 0..63 are ignored.
  void addType(const PlayerType& type);

  // One global view of our players, at its game time: one server step for
  // each step since the last view. A view of the same step changes nothing.
  // The first view after kick-off says once on standard error that the
  // players are taken as fresh.
  void observe(const std::vector<CoachVisualSensor::PlayerT>& ours, const GameTime& now);
  // A play mode announced at now: a half's kick-off restores the players.
  void playMode(Referee::PlayMode mode, const GameTime& now);
  // Our player unum now holds type: it is restored. Other numbers are
  // ignored.
  void changeType(int unum, int type);

  // unum 1..11.
  const Player& player(int unum) const { return players[index(unum)].state; }
  // The average gross consumption per cycle (what the dashes cost, not the
  // net loss) over the last S_WINDOW cycles since the player was restored.
  double consumption(int unum) const;
  // The parameters of a type id: the announced record, or the default type
  // made from the server's parameters when that id was not announced.
  const PlayerType& playerType(int id) const;
  const HalfClock& halves() const { return clock; }
  double staminaMax() const { return stamina_max; }
  double staminaCapacity() const { return stamina_capacity; }

 private:
  struct Tracked {
    Player state;
    // The motion in the last view that showed the player.
    Vector2D pos;
    Vector2D vel;
    bool moving_known;  // pos and vel belong to the step before now
    double last_power;  // the last dash read from the motion
    // Gross consumption per cycle, the last S_WINDOW cycles since restored.
    double window[S_WINDOW];
    int window_at;     // slot of the current cycle
    int window_count;  // cycles in the window, the current one included
    double window_sum;
  };

  static int index(int unum) { return unum >= 1 && unum <= S_PLAYERS ? unum - 1 : 0; }

  void restore(Tracked* p) const;
  void advanceWindow(Tracked* p) const;
  // One server step of the player with a dash of this power.
  void step(Tracked* p, double power, bool new_cycle) const;
  // The dash power that took the player from its last view to this one;
  // false when the motion does not show it (power is then what to assume).
  bool readDash(const Tracked& p, const CoachVisualSensor::PlayerT& now, double* power) const;
  // The share of the dash power that a dash at dir degrees from the body
  // turns into acceleration.
  double directionRate(double dir) const;

  Tracked players[S_PLAYERS];
  PlayerType types[S_MAX_TYPES];
  bool announced[S_MAX_TYPES];
  PlayerType default_type;
  HalfClock clock;

  // The server's rules.
  double stamina_max;
  double stamina_capacity;
  double recover_init;
  double recover_dec_thr;
  double recover_dec;
  double recover_min;
  double effort_dec_thr;
  double effort_dec;
  double effort_inc_thr;
  double effort_inc;
  double player_rand;
  double side_dash_rate;
  double back_dash_rate;
  double dash_angle_step;
  double maxpower;

  GameTime last_view;
  bool viewed;          // a view has arrived
  int kicked_off_half;  // the last half whose kick-off restored the players
};

#endif
