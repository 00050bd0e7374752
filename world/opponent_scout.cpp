#include "world/opponent_scout.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <ostream>

#include "param/server_param.h"
#include "strategy/player_type.h"

namespace {

// The server keeps every player within the pitch and its margin; a player
// stopped there moved less than its velocity says.
constexpr double LIMIT_X =
    ServerParam::DEFAULT_PITCH_LENGTH / 2 + ServerParam::DEFAULT_PITCH_MARGIN;
constexpr double LIMIT_Y = ServerParam::DEFAULT_PITCH_WIDTH / 2 + ServerParam::DEFAULT_PITCH_MARGIN;
constexpr double LIMIT_SLACK = 1e-3;

// POW10[k] is 10^(k + POW10_LOW), each the double nearest to it.
constexpr int POW10_LOW = -36;
constexpr double POW10[] = {1e-36, 1e-35, 1e-34, 1e-33, 1e-32, 1e-31, 1e-30, 1e-29, 1e-28,
                            1e-27, 1e-26, 1e-25, 1e-24, 1e-23, 1e-22, 1e-21, 1e-20, 1e-19,
                            1e-18, 1e-17, 1e-16, 1e-15, 1e-14, 1e-13, 1e-12, 1e-11, 1e-10,
                            1e-9,  1e-8,  1e-7,  1e-6,  1e-5,  1e-4,  1e-3,  1e-2,  1e-1,
                            1e0,   1e1,   1e2,   1e3,   1e4,   1e5,   1e6};
constexpr int POW10_COUNT = sizeof POW10 / sizeof POW10[0];

// The numbers in [2^b, 2^(b + 1)) meet at most two decades: below `ten`,
// the power of ten within (infinity when none), their half step is `below`,
// from it on `from`. Kept for the b of the numbers a view holds, from about
// 7.9e-31 to 131072.
struct Octave {
  double ten;
  double below;
  double from;
};
constexpr int OCTAVE_LOW = -100;
constexpr int OCTAVE_HIGH = 16;
constexpr int OCTAVE_COUNT = OCTAVE_HIGH - OCTAVE_LOW + 1;

struct Octaves {
  Octave of[OCTAVE_COUNT];
};

constexpr Octaves octaves() {
  Octaves table{};
  double start = 1.0;  // 2^b, exact
  for (int b = 0; b > OCTAVE_LOW; --b) start /= 2;
  for (int b = OCTAVE_LOW; b <= OCTAVE_HIGH; ++b, start *= 2) {
    int k = POW10_COUNT - 1;  // the decade of start
    while (POW10[k] > start) --k;
    const bool ten_within = POW10[k + 1] < 2 * start;
    table.of[b - OCTAVE_LOW] = {ten_within ? POW10[k + 1] : HUGE_VAL, 0.5 * POW10[k - 5],
                                0.5 * POW10[ten_within ? k - 4 : k - 5]};
  }
  return table;
}
constexpr Octaves OCTAVES = octaves();

// Widens a range by the share S_SLACK of each bound.
OpponentScout::Interval widened(double lo, double hi) {
  return {lo - OpponentScout::S_SLACK * std::fabs(lo), hi + OpponentScout::S_SLACK * std::fabs(hi)};
}

}  // namespace

double OpponentScout::halfStep(double printed) {
  const double a = std::fabs(printed);
  if (a == 0.0) return 0.0;
  std::uint64_t bits = 0;
  std::memcpy(&bits, &a, sizeof bits);
  const int binary = static_cast<int>(bits >> 52) - 1023;  // a is in [2^binary, 2^(binary + 1))
  if (binary > OCTAVE_HIGH) return HUGE_VAL;  // no number of a view; infinity and NaN too
  // Smaller numbers get the smallest step kept, larger than theirs.
  const Octave& octave = OCTAVES.of[std::max(binary, OCTAVE_LOW) - OCTAVE_LOW];
  return a < octave.ten ? octave.below : octave.from;
}

bool OpponentScout::decayInterval(const Vector2D& from, const Vector2D& to, const Vector2D& vel,
                                  Interval* decays) {
  const double starts[2] = {from.x, from.y};
  const double ends[2] = {to.x, to.y};
  const double speeds[2] = {vel.x, vel.y};
  double lo = -HUGE_VAL;
  double hi = HUGE_VAL;
  bool bounded = false;
  for (int i = 0; i < 2; ++i) {
    // v / d = (-v) / (-d): with the move's sign made positive, both boxes
    // keep their form.
    double d = ends[i] - starts[i];
    double v = speeds[i];
    if (d < 0.0) {
      d = -d;
      v = -v;
    }
    const double spread = halfStep(starts[i]) + halfStep(ends[i]);
    // A move the rounding could nearly cancel bounds next to nothing, and
    // its ratios would be ill-conditioned.
    if (!(spread < 0.5 * d)) continue;
    const double d_lo = d - spread;
    const double d_hi = d + spread;
    const double half = halfStep(v);
    const double v_lo = v - half;
    const double v_hi = v + half;
    // Over divisors in [d_lo, d_hi], all positive, v / d is least at the
    // least v, divided by the largest d when that v is not negative, and
    // most at the largest v, divided by the least d when that v is not
    // negative.
    const double least = v_lo / (v_lo >= 0.0 ? d_hi : d_lo);
    const double most = v_hi / (v_hi >= 0.0 ? d_lo : d_hi);
    if (!(least <= most)) return false;  // a number that is none
    lo = std::max(lo, least);
    hi = std::min(hi, most);
    bounded = true;
  }
  if (!bounded) return false;
  const Interval both = widened(lo, hi);
  if (!(both.lo <= both.hi)) return false;
  *decays = both;
  return true;
}

OpponentScout::OpponentScout()
    : decays_(),
      ids_(),
      candidate_count_(0),
      announced_(),
      lows_(),
      highs_(),
      lowest_(),
      tracks_(),
      revision_(0) {
  for (Track& track : tracks_) clear(track);
}

void OpponentScout::clear(Track& track) {
  track.placed = false;
  track.cycle = 0;
  track.pos = Vector2D(0.0, 0.0);
  track.count = 0;
  track.next = 0;
  std::fill(std::begin(track.against), std::end(track.against), 0);
  track.verdict = -1;
}

void OpponentScout::addType(const PlayerType& type) {
  if (type.id < 0 || type.id >= S_MAX_TYPES || announced_[type.id]) return;
  if (!std::isfinite(type.player_decay)) return;  // no order would hold it
  announced_[type.id] = true;
  decays_[candidate_count_] = type.player_decay;
  ids_[candidate_count_] = type.id;
  ++candidate_count_;

  int order[S_MAX_TYPES];
  double widest = 0.0;
  for (int i = 0; i < candidate_count_; ++i) {
    order[i] = i;
    widest = std::max(widest, halfStep(decays_[i]));
  }
  std::sort(order, order + candidate_count_,
            [this](int a, int b) { return decays_[a] < decays_[b]; });
  lowest_[0] = 0;
  for (int k = 0; k < candidate_count_; ++k) {
    const Interval range = widened(decays_[order[k]] - widest, decays_[order[k]] + widest);
    lows_[k] = range.lo;
    highs_[k] = range.hi;
    lowest_[k + 1] = lowest_[k] | std::uint64_t{1} << order[k];
  }
  // Types are announced before the match; should one come later, the
  // samples held are judged again against every range.
  for (Track& track : tracks_) {
    std::fill(std::begin(track.against), std::end(track.against), 0);
    for (int k = 0; k < track.count; ++k) {
      track.ruled_out[k] = ruledOut(track.samples[k]);
      add(track, track.ruled_out[k]);
    }
  }
}

void OpponentScout::observe(const std::vector<CoachVisualSensor::PlayerT>& opponents,
                            const GameTime& now, std::ostream& trace) {
  const std::uint64_t every_candidate = lowest_[candidate_count_];
  for (const CoachVisualSensor::PlayerT& player : opponents) {
    if (player.unum < 1 || player.unum > S_PLAYERS) continue;
    Track& track = tracks_[player.unum];
    Interval decays;
    if (!follow(track, player, now.cycle, &decays)) continue;
    const std::uint64_t out = ruledOut(decays);
    // No announced type moves so: something else moved the player.
    if (out == every_candidate) continue;
    addSample(track, decays, out);
    judge(track, player.unum, trace);
  }
}

bool OpponentScout::follow(Track& track, const CoachVisualSensor::PlayerT& player, int cycle,
                           Interval* decays) {
  // Written so that no cycle, however large, overflows.
  const bool consecutive = track.placed && cycle > track.cycle && cycle - 1 == track.cycle;
  const Vector2D from = track.pos;
  // A standing clock keeps the cycle: only the position is refreshed.
  track.placed = true;
  track.cycle = cycle;
  track.pos = player.pos;
  if (!consecutive) return false;

  const double dx = player.pos.x - from.x;
  const double dy = player.pos.y - from.y;
  if (!(dx * dx + dy * dy >= S_MIN_MOVE * S_MIN_MOVE)) return false;
  if (!(std::fabs(player.pos.x) < LIMIT_X - LIMIT_SLACK &&
        std::fabs(player.pos.y) < LIMIT_Y - LIMIT_SLACK)) {
    return false;
  }
  return decayInterval(from, player.pos, player.vel, decays);
}

std::uint64_t OpponentScout::ruledOut(const Interval& decays) const {
  // The ranges wholly below the sample's, found by halving without a
  // branch; then those that begin within it, seldom more than one.
  const double* first = highs_;
  for (int length = candidate_count_; length > 1;) {
    const int half = length / 2;
    first = first[half - 1] < decays.lo ? first + half : first;
    length -= half;
  }
  int below = static_cast<int>(first - highs_);
  below += below < candidate_count_ && highs_[below] < decays.lo;
  int reached = below;
  while (reached < candidate_count_ && lows_[reached] <= decays.hi) ++reached;
  return lowest_[below] | (lowest_[candidate_count_] & ~lowest_[reached]);
}

void OpponentScout::addSample(Track& track, const Interval& decays, std::uint64_t ruled_out) {
  if (track.count == S_WINDOW) {
    remove(track, track.ruled_out[track.next]);
  } else {
    ++track.count;
  }
  track.samples[track.next] = decays;
  track.ruled_out[track.next] = ruled_out;
  add(track, ruled_out);
  track.next = track.next + 1 == S_WINDOW ? 0 : track.next + 1;
}

void OpponentScout::add(Track& track, std::uint64_t candidates) {
  std::uint64_t carry = candidates;
  for (std::uint64_t& plane : track.against) {
    const std::uint64_t next = plane & carry;
    plane ^= carry;
    carry = next;
  }
}

void OpponentScout::remove(Track& track, std::uint64_t candidates) {
  std::uint64_t borrow = candidates;
  for (std::uint64_t& plane : track.against) {
    const std::uint64_t next = ~plane & borrow;
    plane ^= borrow;
    borrow = next;
  }
}

std::uint64_t OpponentScout::possible(const Track& track) const {
  std::uint64_t twice = 0;  // counts of 2 and more
  for (int k = 1; k < S_PLANES; ++k) twice |= track.against[k];
  return lowest_[candidate_count_] & ~twice;
}

void OpponentScout::judge(Track& track, int unum, std::ostream& trace) {
  const std::uint64_t left = possible(track);
  if (track.verdict >= 0) {
    if ((left >> track.verdict & 1) != 0) return;
    track.verdict = -1;
    ++revision_;
    trace << "opponent " << unum << " type unknown" << std::endl;
  }
  // Exactly one candidate left.
  if (left == 0 || (left & (left - 1)) != 0) return;
  track.verdict = __builtin_ctzll(left);
  ++revision_;
  trace << "opponent " << unum << " type " << ids_[track.verdict] << std::endl;
}

void OpponentScout::forget(int unum, std::ostream& trace) {
  if (unum < 1 || unum > S_PLAYERS) return;
  Track& track = tracks_[unum];
  if (track.verdict >= 0) ++revision_;
  clear(track);
  trace << "opponent " << unum << " changed type" << std::endl;
}

int OpponentScout::verdict(int unum) const {
  if (unum < 1 || unum > S_PLAYERS) return -1;
  const int candidate = tracks_[unum].verdict;
  return candidate < 0 ? -1 : ids_[candidate];
}

std::string OpponentScout::typesText(std::size_t max_length) const {
  std::string text = "(opponent_types";
  if (text.size() + 1 > max_length) return std::string();
  for (int unum = 1; unum <= S_PLAYERS; ++unum) {
    const int type = verdict(unum);
    if (type < 0) continue;
    const std::string entry = " (" + std::to_string(unum) + " " + std::to_string(type) + ")";
    if (text.size() + entry.size() + 1 > max_length) break;
    text += entry;
  }
  return text + ")";
}
