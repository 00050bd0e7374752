#ifndef BRENVO_WORLD_OPPONENT_SCOUT_H
#define BRENVO_WORLD_OPPONENT_SCOUT_H

// Tells each opponent's heterogeneous player type from its motion in the
// global views, and names a type only when the views prove it. The server
// moves a player by its velocity and then reports that velocity times the
// type's player_decay, so in a cycle where nothing else displaced the player
// the reported velocity is player_decay times the move, exactly. The views
// print six significant digits, so each such move bounds the decay by an
// interval that holds every ratio its printed numbers allow. A type stays
// possible while its decay lies in all but one of an opponent's last
// intervals; the scout names the one possible type, and says nothing while
// two or more remain. Everything per opponent lives in fixed arrays:
// observing a view allocates nothing, except the trace line of a verdict.

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "geom/vector_2d.h"
#include "world/coach_visual_sensor.h"
#include "world/game_time.h"

class PlayerType;

class OpponentScout {
 public:
  static constexpr int S_MAX_TYPES = 64;  // announced type ids 0..63
  static constexpr int S_PLAYERS = 11;    // uniform numbers 1..11
  static constexpr int S_WINDOW = 30;     // samples kept per opponent
  // Samples of the window that may rule a type out while it stays possible:
  // a collision the filters let through.
  static constexpr int S_TOLERATED = 1;
  // Shorter moves (metres) bound the decay too loosely to be worth a sample.
  static constexpr double S_MIN_MOVE = 0.1;
  // Share by which every bound is widened, so that the rounding of the
  // arithmetic that computes it never makes it too narrow.
  static constexpr double S_SLACK = 1e-9;

  // A closed range of decays.
  struct Interval {
    double lo;
    double hi;
  };

  OpponentScout();

  // Keeps an announced type; ids outside 0..63 and decays that are no
  // number are ignored, and the first record of an id is kept.
  void addType(const PlayerType& type);
  // One global view's opponents at the view's game time.
  void observe(const std::vector<CoachVisualSensor::PlayerT>& opponents, const GameTime& now,
               std::ostream& trace);
  // A change of type announced for opponent unum: everything learnt about
  // it is dropped. Uniform numbers outside 1..11 are ignored.
  void forget(int unum, std::ostream& trace);

  // The type named for unum, -1 when none.
  int verdict(int unum) const;
  // Changes whenever the set of verdicts changes.
  unsigned revision() const { return revision_; }
  // "(opponent_types (U T) ...)" for every named opponent in order of U,
  // entries dropped from the end until it fits max_length characters;
  // "(opponent_types)" when nobody is named, empty when not even that fits.
  std::string typesText(std::size_t max_length) const;

  // Half the last step of a number printed with six significant digits
  // (trailing zeros dropped): the printed value is within it of the true
  // one. 0 for a printed 0, which is exact; never too small.
  static double halfStep(double printed);
  // The decays that a move from `from` to `to` with the velocity `vel`
  // reported after it allows, given the printed digits of all six numbers;
  // false when the move bounds nothing or its components disagree.
  static bool decayInterval(const Vector2D& from, const Vector2D& to, const Vector2D& vel,
                            Interval* decays);

 private:
  // Per candidate, how many samples of a window rule it out: bit i of
  // plane k is bit k of candidate i's count, so a sample's whole set of
  // candidates is added or taken away in a few word operations.
  static constexpr int S_PLANES = 5;  // counts up to 31
  static_assert(S_WINDOW < 1 << S_PLANES, "a count must fit the planes");
  static_assert(S_TOLERATED == 1, "possible() reads a count of at most 1 from the planes");

  struct Track {
    bool placed;  // a position is held
    int cycle;    // of the position held
    Vector2D pos;
    int count;  // samples held, at most S_WINDOW
    int next;   // where the next sample goes
    Interval samples[S_WINDOW];
    std::uint64_t ruled_out[S_WINDOW];  // per sample: a bit per candidate it rules out
    std::uint64_t against[S_PLANES];
    int verdict;  // the candidate named, -1 for none
  };

  void clear(Track& track);
  // Takes the player's new position; true with the decays its move allows
  // when that move is a clean sample.
  static bool follow(Track& track, const CoachVisualSensor::PlayerT& player, int cycle,
                     Interval* decays);
  // The candidates that a sample's interval leaves out.
  std::uint64_t ruledOut(const Interval& decays) const;
  // Puts a sample into the window, the oldest leaving a full one.
  void addSample(Track& track, const Interval& decays, std::uint64_t ruled_out);
  // Adds one to, or takes one from, the count of every candidate in the set.
  static void add(Track& track, std::uint64_t candidates);
  static void remove(Track& track, std::uint64_t candidates);
  // The candidates ruled out by at most S_TOLERATED samples of the window.
  std::uint64_t possible(const Track& track) const;
  // Names or withdraws the verdict after a sample, with its trace line.
  void judge(Track& track, int unum, std::ostream& trace);

  // The announced types in the order announced: candidate i is type
  // ids_[i], whose printed player_decay is decays_[i].
  double decays_[S_MAX_TYPES];
  int ids_[S_MAX_TYPES];
  int candidate_count_;
  bool announced_[S_MAX_TYPES];
  // Every candidate's range of decays, widened alike by the largest half
  // step of the printed decays so that ranges in ascending order of decay
  // have their ends in ascending order too: a sample rules out the
  // candidates of a prefix of that order and those of a suffix.
  double lows_[S_MAX_TYPES];               // ascending
  double highs_[S_MAX_TYPES];              // ascending
  std::uint64_t lowest_[S_MAX_TYPES + 1];  // [k]: the k candidates of the lowest decays
  Track tracks_[S_PLAYERS + 1];            // by uniform number; [0] unused
  unsigned revision_;
};

#endif
