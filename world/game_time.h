#ifndef BRENVO_WORLD_GAME_TIME_H
#define BRENVO_WORLD_GAME_TIME_H

// The coach's measure of time: the server's cycle plus how many further
// global views of that cycle arrived while the game clock stood still.
// A plain value; the two statics describe the last completed stop and are
// written only by the time keeper (CoachManager).

#include <iosfwd>

class GameTime {
 public:
  // The last cycle at which the clock stood still, and how many stopped
  // steps it lasted. Read by the arithmetic below.
  static int S_last_stop_cycle;
  static int S_last_stop_count;

  int cycle;    // the server's cycle number as received
  int stopped;  // further views of that cycle while play was stopped

  GameTime(int cycle = 0, int stopped = 0) : cycle(cycle), stopped(stopped) {}  // NOLINT

  // The time n steps later. Every cycle is one step except the last stop
  // cycle, which is followed by S_last_stop_count extra steps. A negative n
  // goes back as operator-(-n) does.
  GameTime operator+(long n) const;
  // The time n steps earlier, never before cycle 0; the statics are not read.
  // A negative n goes forward as operator+(-n) does.
  GameTime operator-(long n) const;
  // The number of steps from other to this time (negative when this time is
  // the earlier one).
  long operator-(const GameTime& other) const;

  bool operator==(const GameTime& t) const { return cycle == t.cycle && stopped == t.stopped; }
  bool operator!=(const GameTime& t) const { return !(*this == t); }
};

// Writes "[cycle, stopped]".
std::ostream& operator<<(std::ostream& os, const GameTime& t);

// A cycle number from a wider count, saturated at the bounds of int.
int toCycle(long cycle);

#endif
