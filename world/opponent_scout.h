#ifndef BRENVO_WORLD_OPPONENT_SCOUT_H
#define BRENVO_WORLD_OPPONENT_SCOUT_H

// Tells each opponent's heterogeneous player type from its motion in the
// global views. The server moves a player by its velocity and then reports
// that velocity times the type's player_decay, so in a cycle where nothing
// else displaced the player, the reported velocity is player_decay times the
// distance moved, in the same direction. The scout keeps the last ratios of
// each opponent and names a type only when one announced type is clearly the
// nearest; where types are too close to tell apart it says nothing.
// Everything per opponent lives in fixed arrays: observing a view allocates
// nothing, except the trace line of a new verdict.

#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

#include "world/coach_visual_sensor.h"
#include "world/game_time.h"

class PlayerType;

class OpponentScout {
 public:
  static constexpr int S_MAX_TYPES = 64;   // announced type ids 0..63
  static constexpr int S_PLAYERS = 11;     // uniform numbers 1..11
  static constexpr int S_WINDOW = 15;      // ratios kept per opponent
  static constexpr int S_MIN_SAMPLES = 5;  // ratios needed for a verdict
  // The nearest type must be this many times nearer than the second.
  static constexpr double S_SEPARATION = 3.0;
  // Shorter moves (metres) carry too much of the views' rounding.
  static constexpr double S_MIN_MOVE = 0.1;
  // Largest velocity component across the move (metres per cycle) still
  // taken for rounding rather than for something else displacing the player.
  static constexpr double S_MAX_ACROSS = 5e-4;
  // Ratios this far outside the announced decays are not decays.
  static constexpr double S_DECAY_MARGIN = 0.02;
  // A move may exceed a type's reachable top speed by this share plus this
  // many metres before the type is ruled out (the server's motion noise).
  static constexpr double S_SPEED_SHARE = 0.05;
  static constexpr double S_SPEED_SLACK = 0.01;

  OpponentScout();

  // Keeps an announced type; ids outside 0..63 are ignored, and the first
  // record of an id is kept.
  void addType(const PlayerType& type);
  // One global view's opponents at the view's game time.
  void observe(const std::vector<CoachVisualSensor::PlayerT>& opponents, const GameTime& now,
               std::ostream& trace);
  // A change of type announced for opponent unum: everything learnt about
  // it is dropped. Uniform numbers outside 1..11 are ignored.
  void forget(int unum, std::ostream& trace);

  // The type last named for unum, -1 when none.
  int verdict(int unum) const;
  // Changes whenever the set of verdicts changes.
  unsigned revision() const { return revision_; }
  // "(opponent_types (U T) ...)" for every identified opponent in order of
  // U, entries dropped from the end until it fits max_length characters;
  // "(opponent_types)" when none is identified, empty when not even that fits.
  std::string typesText(std::size_t max_length) const;

 private:
  // An announced type as the scout compares it.
  struct Candidate {
    double decay;
    // The square of the longest one-cycle move the type can make (metres),
    // tolerance included.
    double reach2;
    int id;
  };

  struct Track {
    int cycle;  // of the stored position; NO_CYCLE when there is none
    double x, y;
    int count;  // ratios held, at most S_WINDOW
    int next;   // where the next ratio goes in ratios
    double ratios[S_WINDOW];
    double longest_move2;  // square of the longest accepted move, metres
    int verdict;           // the type last named, -1 for none
  };

  static constexpr int NO_CYCLE = -2;

  void clear(Track& track);
  // Takes the player's new position; true when it added a ratio.
  bool follow(Track& track, const CoachVisualSensor::PlayerT& player, int cycle);
  void addRatio(Track& track, double ratio);
  // The type the samples name, or -1 when they do not name one for sure.
  int judge(const Track& track) const;

  Candidate candidates_[S_MAX_TYPES];  // in the order announced
  int candidate_count_;
  bool announced_[S_MAX_TYPES];
  double lowest_decay_;
  double highest_decay_;
  Track tracks_[S_PLAYERS + 1];  // by uniform number; [0] unused
  unsigned revision_;
};

#endif
