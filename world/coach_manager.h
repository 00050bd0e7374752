#ifndef BRENVO_WORLD_COACH_MANAGER_H
#define BRENVO_WORLD_COACH_MANAGER_H

// Keeps the coach's current time (counting repeated views while the clock
// stands still), whether the play mode is a stop mode, and whether the coach
// should keep running. The only writer of the current time and of the
// GameTime record of the last stop; it sends nothing and never revives.

#include "world/game_time.h"
#include "world/referee.h"

class CoachManager {
 public:
  CoachManager();

  // False once the coach is to stop; never true again after that.
  bool isAlive() const { return alive; }
  void clearAlive() { alive = false; }

  bool stopMode() const { return stop_mode; }
  // The stop modes: the clock stands still while the server keeps sending views.
  static bool isStopMode(Referee::PlayMode mode);

  // Alarm ticks since the last receive step.
  int silentTicks() const { return silent_ticks; }
  void resetSilentTicks() { silent_ticks = 0; }
  void addSilentTick();

  const GameTime& currentTime() const { return current; }

  // Advances the current time to the cycle of a timed message; by_see_global
  // is true only for "(see_global " views, which alone count stopped steps.
  void updateCurrentTime(const long& cycle, bool by_see_global);
  // Follows the referee's mode; the end of the game clears the alive flag.
  void updateGameMode(const Referee& referee);
  // Whether the silent ticks have passed alarm_cycle_divs x server_down_cycle.
  bool silenceExceeded() const;
  // Called each alarm tick: true when it has just declared the server down.
  bool estimateServerDown();

 private:
  // Publishes the stop that ends at the current time to the GameTime statics.
  void recordStop() const;

  bool alive;
  bool stop_mode;
  int silent_ticks;
  GameTime current;
};

#endif
